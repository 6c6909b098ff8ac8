#!/usr/bin/env bash
# Builds sitedrain and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSITEDRAIN_TESTS=ON
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
