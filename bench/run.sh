#!/usr/bin/env bash
# Runs the benchmark cases: production on all threads and on one, and the
# reference path, with console output to a file.  Builds first.
#   bench/run.sh [case ...]     (default: every folder of bench/cases)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target sitedrain_bench >/dev/null
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(final_horton horton green_ampt pdm typical large)
for c in "${cases[@]}"; do
  build/sitedrain_bench "bench/cases/$c"
  build/sitedrain_bench "bench/cases/$c" --threads 1
  [ "$c" = large ] || build/sitedrain_bench "bench/cases/$c" --reference
done
