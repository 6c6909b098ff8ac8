#!/usr/bin/env bash
# Builds sitedrain and runs the bundled example pond design (its site file
# examples/pond_site/site.toml) in examples/pond_site/out/, then shows its
# report and says where the HTML report and the CSV tables are.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)" --target sitedrain
out=examples/pond_site/out
rm -rf "$out" && mkdir -p "$out"
cp examples/pond_site/site.toml examples/pond_site/cd_*.csv "$out"/
build/sitedrain --report "$out/report.html" --csv "$out/csv" "$out" </dev/null
echo
echo "=== $out/report.txt"
cat "$out/report.txt"
echo
echo "The HTML report: $PWD/$out/report.html"
echo "  open it in a browser (file://$PWD/$out/report.html); print it to PDF from there."
echo "The CSV tables:  $PWD/$out/csv/"
