#!/usr/bin/env bash
# Makes docs/report_example.png, the README's picture of the HTML report:
# builds sitedrain, runs the bundled example with --report in a temporary
# folder and takes a screenshot of the report's first screen with headless
# Chromium (Debian package chromium, installed when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
SITEDRAIN_DEPS_REPORT=1 source scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target sitedrain >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp examples/pond_design/PSnamel.nml examples/pond_design/params.txt examples/pond_design/cd_*.csv \
  "$work"/
build/sitedrain --report "$work/report.html" "$work" </dev/null >"$work/console.txt"
mkdir -p docs
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$work/profile" --hide-scrollbars --window-size=1000,1800 \
  --screenshot="$PWD/docs/report_example.png" "file://$work/report.html" >/dev/null 2>&1
echo "docs/report_example.png"
