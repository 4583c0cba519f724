#!/bin/sh
# Builds the sparse core's benchmarks (Release, in their own build directory)
# and runs them, then prints the tables of bench/README.md.
#
#   bench/run_sparse_core.sh                                   # the whole suite
#   bench/run_sparse_core.sh --benchmark_filter='/1000/'       # a part of it
#
# Arguments go to the benchmark program. TAVEX_BENCH_BUILD_DIR chooses the
# build directory (default: build-bench in the repository root).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TAVEX_BENCH_BUILD_DIR:-$root/build-bench}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVEX_BUILD_BENCH=ON \
    -DTAVEX_BUILD_CLI=OFF -DTAVEX_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target sparse_core_bench

results="$build/sparse_core_bench.json"
"$build/bench/sparse_core_bench" --benchmark_out="$results" --benchmark_out_format=json "$@"
echo
python3 "$root/bench/summarise_sparse_core.py" "$results"
