#!/usr/bin/env bash
# Rewrites the expected files of golden cases from the current build, for a
# change of output that was reviewed, and prints what changed.  The tests
# never call it.
#   scripts/update-golden.sh CASE...     (names of folders of tests/cases)
# Runs build/sitedrain in a copy of each case as the golden case test does
# (empty standard input, console with standard error, the PDM model's
# per-call lines left out) and replaces CASE/expected with every file the
# run wrote, console.txt and exit.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -gt 0 ] || { echo "usage: scripts/update-golden.sh CASE..." >&2; exit 2; }
exe=$PWD/build/sitedrain
[ -x "$exe" ] || { echo "build/sitedrain is missing: build first" >&2; exit 2; }
for name in "$@"; do
  case_dir=tests/cases/$name
  [ -d "$case_dir/expected" ] || { echo "no golden case '$name'" >&2; exit 2; }
done
for name in "$@"; do
  case_dir=tests/cases/$name
  run=$(mktemp -d) fresh=$(mktemp -d)
  find "$case_dir" -maxdepth 1 -type f -exec cp {} "$run" \;
  status=0
  (cd "$run" && "$exe" </dev/null >.console 2>&1) || status=$?
  grep -v -E '^ [ +.0-9e-]+$' "$run/.console" >"$fresh/console.txt" || true
  echo "$status" >"$fresh/exit.txt"
  for f in "$run"/*; do
    [ -f "$f" ] && [ ! -e "$case_dir/$(basename "$f")" ] && cp "$f" "$fresh/"
  done
  diff -ru "$case_dir/expected" "$fresh" || true
  rm -rf "$case_dir/expected"
  mkdir "$case_dir/expected"
  cp "$fresh"/* "$case_dir/expected/"
  rm -rf "$run" "$fresh"
  echo "updated $case_dir/expected"
done
