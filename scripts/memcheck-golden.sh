#!/usr/bin/env bash
# Runs bundled cases under Valgrind's memcheck on two threads (the storms side
# by side, on fibers), and compares every output file, the console and the
# exit status with the case's expected folder.  Any memcheck error (a leak
# included) fails.
#   scripts/memcheck-golden.sh [--exe build/sitedrain] CASE...   (names under tests/cases)
set -euo pipefail
cd "$(dirname "$0")/.."
exe=build/sitedrain
if [ "${1:-}" = --exe ]; then
  exe=$2
  shift 2
fi
[ $# -gt 0 ] || { echo "usage: $0 [--exe PROGRAM] CASE..." >&2; exit 2; }
exe=$(realpath "$exe")
memcheck_error=9  # the exit status of a run in which memcheck found an error
failed=0
for name in "$@"; do
  source_dir=tests/cases/$name
  work=$(mktemp -d "${TMPDIR:-/tmp}/sitedrain_memcheck_${name}_XXXXXX")
  find "$source_dir" -maxdepth 1 -type f ! -name case.md -exec cp {} "$work" \;
  status=0
  (cd "$work" && valgrind --tool=memcheck --leak-check=full --error-exitcode=$memcheck_error \
    --log-file=memcheck.log "$exe" --threads 2 </dev/null >console.out 2>&1) || status=$?
  verdict=""
  if [ "$status" = $memcheck_error ] || grep -q "ERROR SUMMARY: [1-9]" "$work/memcheck.log"; then
    verdict=" memcheck errors;"
    sed -n '1,60p' "$work/memcheck.log"
  fi
  differs=""
  for want in "$source_dir"/expected/*; do
    file=$(basename "$want")
    case $file in
      console.txt) got=$work/console.out ;;
      exit.txt) got=$work/exit.out && echo "$status" >"$got" ;;
      *) got=$work/$file ;;
    esac
    cmp -s "$want" "$got" || differs="$differs $file"
  done
  [ -n "$differs" ] && verdict="$verdict differs:$differs"
  verdict=${verdict:- ok}
  echo "memcheck $name:$verdict ($(grep -o 'ERROR SUMMARY: [0-9]* errors' "$work/memcheck.log"))"
  if [ "$verdict" = " ok" ]; then rm -rf "$work"; else failed=1; echo "  kept in $work"; fi
done
exit $failed
