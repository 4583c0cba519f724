#!/bin/sh
# The loop run on generated GPS networks (bench/loops_bench.cpp): builds
# loops_bench in a Release build with -DTAVEX_BUILD_BENCH=ON in build-bench/
# (another directory through TAVEX_BENCH_BUILD_DIR) and runs it on networks
# of 1,000, 10,000 and 100,000 stations, or on the sizes given.
set -e
cd "$(dirname "$0")/.."
build=${TAVEX_BENCH_BUILD_DIR:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVEX_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target loops_bench -j2 >/dev/null
"$build/bench/loops_bench" "$@"
