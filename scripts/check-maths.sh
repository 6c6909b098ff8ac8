#!/usr/bin/env bash
# The full check of the elementary functions (src/maths) against MPFR: the
# test suite's Maths tests with N random arguments per range instead of the
# CI's 10 000 (default N = 3 500 000: at least 10^7 per function).  Prints
# per range the count of arguments and of misrounded results.
#   scripts/check-maths.sh [N]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSITEDRAIN_TESTS=ON >/dev/null
cmake --build build -j2 --target sitedrain_tests >/dev/null
export SITEDRAIN_MATHS_ARGS="${1:-3500000}"
# exp and the logarithms in one process, pow in the other
build/sitedrain_tests --gtest_filter='Maths.ExpLogLog10AgainstMpfr:Maths.SpecialValues' &
first=$!
status=0
build/sitedrain_tests --gtest_filter='Maths.PowAgainstMpfr' || status=1
wait "$first" || status=1
exit $status
