#!/usr/bin/env bash
# A mutation check of the test suite: each mutant (one sed edit of one
# source file) is built incrementally and run against the whole suite; a
# mutant is killed when a test fails (the golden cases first, as the
# quickest verdict, then the whole suite) and fails again when rerun alone
# (a test that fails only once, on a loaded machine, kills nothing; the whole
# suite runs to its end, so that such a test cannot hide one that fails for
# the mutant).  Prints one line per mutant and the score.  The sources are
# restored after each mutant.
#   scripts/mutation-check.sh [BUILD_DIR] [MUTANTS_FILE]
# BUILD_DIR (default build) must be configured with -DSITEDRAIN_TESTS=ON.
# MUTANTS_FILE (default scripts/mutants.txt): lines "file|sed expression|what".
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
mutants=${2:-scripts/mutants.txt}
targets=(--target sitedrain sitedrain_tests)
cmake --build "$build" -j2 "${targets[@]}" >/dev/null || { echo "the unmutated build fails"; exit 2; }
killed=0 total=0
while IFS='|' read -r file expr what; do
  [[ -z "$file" || "$file" == \#* ]] && continue
  total=$((total + 1))
  cp "$file" "$file.unmutated"
  sed -i "$expr" "$file"
  if cmp -s "$file" "$file.unmutated"; then
    verdict="NOT APPLIED"
  elif ! cmake --build "$build" -j2 "${targets[@]}" >/dev/null 2>&1; then
    verdict="killed (build)"; killed=$((killed + 1))
  elif ! ctest --test-dir "$build" -j2 -R GoldenCase >/dev/null 2>&1 </dev/null; then
    verdict="killed"; killed=$((killed + 1))
  elif ctest --test-dir "$build" -j2 >/dev/null 2>&1 </dev/null ||
    ctest --test-dir "$build" --rerun-failed >/dev/null 2>&1 </dev/null; then
    verdict="SURVIVED"
  else
    verdict="killed"; killed=$((killed + 1))
  fi
  mv "$file.unmutated" "$file"
  # The restored file keeps the copy's older time: without a newer one the
  # mutated objects would stay in the build for the next mutants.
  touch "$file"
  printf '%-15s %-40s %s\n' "$verdict" "$file" "$what"
done <"$mutants"
cmake --build "$build" -j2 "${targets[@]}" >/dev/null
echo "killed $killed of $total"
