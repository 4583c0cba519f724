#!/bin/sh
# Builds the end-to-end adjustment benchmark (Release, in the benchmarks'
# build directory), runs every network in its own process — so that each
# peak resident set belongs to one run — and prints the tables of
# bench/README.md.
#
#   bench/run_adjustment.sh                 # 1,000, 10,000 and 100,000 stations
#   bench/run_adjustment.sh 1000 10000      # chosen sizes
#
# TAVEX_BENCH_BUILD_DIR chooses the build directory (default: build-bench in
# the repository root). External reliability costs a solve per unknown, so it
# runs only up to TAVEX_BENCH_EXTERNAL_LIMIT stations (default 10000). Then
# free 2D networks of 500, 2,000 and 10,000 stations on inner constraints
# beside the same networks on minimal constraints, and a 50,000-station
# national GPS network (TAVEX_BENCH_SKIP_DATUM=1 leaves them out).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVEX_BENCH_BUILD_DIR:-$root/build-bench}
sizes=${*:-1000 10000 100000}
external_limit=${TAVEX_BENCH_EXTERNAL_LIMIT:-10000}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVEX_BUILD_BENCH=ON \
    -DTAVEX_BUILD_CLI=OFF -DTAVEX_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target adjustment_bench

results="$build/adjustment_bench.jsonl"
: >"$results"
for stations in $sizes; do
    for network in 2d gps levelling; do
        externals=""
        [ "$stations" -le "$external_limit" ] && externals=--external-reliability
        for external in "" $externals; do
            echo "$network $stations $external" >&2
            "$build/bench/adjustment_bench" "$network" "$stations" $external >>"$results"
        done
    done
done
# Free networks on inner constraints beside the same networks on minimal
# constraints, and a national GNSS network (about 3.3 baselines a station).
if [ -z "${TAVEX_BENCH_SKIP_DATUM:-}" ]; then
    for stations in 500 2000 10000; do
        for datum in "" --inner-constraints; do
            echo "2d $stations $datum" >&2
            "$build/bench/adjustment_bench" 2d "$stations" $datum >>"$results"
        done
    done
    echo "gps 50000 --national" >&2
    "$build/bench/adjustment_bench" gps 50000 --national >>"$results"
fi
echo
python3 "$root/bench/summarise_adjustment.py" "$results"
