#!/usr/bin/env bash
# Installs what is missing, builds the game, its tests and benchmarks, and
# passes every test: once plainly, once under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")"
. tools/packages.sh
install_missing

jobs=$(nproc)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

cmake -S . -B build-san -DCMAKE_BUILD_TYPE=Debug -DMORVASK_SANITIZE=ON -DMORVASK_BENCH=OFF
cmake --build build-san -j"$jobs"
(cd build-san && ctest --output-on-failure -j"$jobs" -LE nosan)

# The benchmarks run once, briefly, so that they never rot.
for b in build/bench/bench_*; do
  [ -x "$b" ] && "$b" --benchmark_min_time=0.01
done
