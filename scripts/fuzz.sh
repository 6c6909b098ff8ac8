#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for a bounded time.
#   scripts/fuzz.sh [seconds per target] [target ...]
# Targets: control_file parameter_file descriptor_file xml_descriptor site_file
# (default: all five).
# The corpora grow in build-fuzz/corpus/<target>, seeded from the inputs of
# tests/cases; a finding is written to build-fuzz/findings/ and ends the
# script with status 1.
set -euo pipefail
cd "$(dirname "$0")/.."
SITEDRAIN_DEPS_FUZZ=1 source scripts/deps.sh
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(control_file parameter_file descriptor_file xml_descriptor site_file)

CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Release -DSITEDRAIN_FUZZ=ON \
  -DSITEDRAIN_TESTS=OFF >/dev/null
cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}"

# Seeds: the bundled cases' input files.  A descriptor seed starts with the
# four bytes that choose the run: line count, flags, durations, return periods.
seed() {
  local target="$1" dir="build-fuzz/corpus/$1"
  mkdir -p "$dir"
  for case_dir in tests/cases/*/; do
    local name
    name="$(basename "$case_dir")"
    case "$target" in
      control_file) cp "$case_dir/PSnamel.nml" "$dir/seed_$name" ;;
      parameter_file)
        for f in "$case_dir"/*; do
          case "$(basename "$f")" in PSnamel.nml | case.md | *.csv | *.xml | expected) ;;
            *) cp "$f" "$dir/seed_$name" ;;
          esac
        done ;;
      descriptor_file)
        for csv in "$case_dir"/*.csv; do
          [ -f "$csv" ] || continue  # a case with an XML export
          local lines
          lines=$(wc -l <"$csv")
          { printf "\\$(printf '%03o' $(( (lines - 1) % 40 )))\\x00\\x1f\\x1c"; cat "$csv"; } \
            >"$dir/seed_$name"
          { printf "\\$(printf '%03o' $(( (lines - 1) % 40 )))\\x1d\\xff\\xff"; cat "$csv"; } \
            >"$dir/seed_${name}_seasonal"
        done ;;
      site_file)
        for toml in examples/*/site.toml; do
          [ -f "$toml" ] && cp "$toml" "$dir/seed_$(basename "$(dirname "$toml")")"
        done ;;
      xml_descriptor)
        for xml in "$case_dir"/*.xml; do
          [ -f "$xml" ] || continue
          { printf '\x01\x01\x1c\x1e'; cat "$xml"; } >"$dir/seed_$name"
          { printf '\x26\x02\x7e\x7e'; cat "$xml"; } >"$dir/seed_${name}_point"
        done ;;
    esac
  done
}

mkdir -p build-fuzz/findings
export ASAN_OPTIONS="allocator_may_return_null=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
for t in "${targets[@]}"; do
  seed "$t"
  echo "=== fuzz_$t: ${seconds} s"
  max_len=4096
  if [ "$t" = xml_descriptor ]; then max_len=16384; fi  # an export is up to about 10 kB
  if ! build-fuzz/fuzz_"$t" "build-fuzz/corpus/$t" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -max_len="$max_len" -artifact_prefix="build-fuzz/findings/${t}_" \
      -print_final_stats=1 2>"build-fuzz/fuzz_$t.log"; then
    status=1
    tail -n 60 "build-fuzz/fuzz_$t.log"
  fi
  grep -E '^(stat::number_of_executed_units|Done)' "build-fuzz/fuzz_$t.log" || true
done
exit $status
