#!/usr/bin/env bash
# Runs every bundled case that has an expected folder (tests/cases/*/expected)
# with the Windows executable under Wine, and compares as the Linux test
# suite does: every expected output file and the exit status byte for byte,
# the console after removing the Windows console's CR and the PDM model's
# per-step lines.  Wine is installed when missing; its prefix is a fresh
# temporary folder.
#   scripts/windows-golden.sh [path/to/sitedrain.exe]   (default dist/sitedrain.exe)
set -euo pipefail
cd "$(dirname "$0")/.."
exe="$(realpath "${1:-dist/sitedrain.exe}")"
if [ ! -x /usr/lib/wine/wine64 ] && ! command -v wine64 >/dev/null 2>&1; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq wine wine64
fi
command -v curl >/dev/null 2>&1 || {
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq curl
}
wine64="$(command -v wine64 || echo /usr/lib/wine/wine64)"
wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver64)"
tmp="$(mktemp -d)"
export WINEDEBUG=-all WINEPREFIX="$tmp/prefix" WINEDLLOVERRIDES="mscoree,mshtml="
# this prefix's server ends before its folder goes
trap '"$wineserver" -k >/dev/null 2>&1 || true; "$wineserver" -w >/dev/null 2>&1 || true; rm -rf "$tmp"' EXIT
"$wine64" wineboot --init >/dev/null 2>&1 || true

failed=0
# A Linux path as the Windows program under Wine sees it (drive Z:).
winepath_of() { echo "Z:${1//\//\\}"; }
# Prints the verdict of one run from the list bad (empty: all matched).
verdict() {
  if [ ${#bad[@]} -eq 0 ]; then
    echo "ok     $1"
  else
    echo "FAILED $1: ${bad[*]}"
    failed=1
  fi
}

for case in tests/cases/*/; do
  name="$(basename "$case")"
  expected="$case/expected"
  [ -d "$expected" ] || continue
  dir="$tmp/$name"
  mkdir -p "$dir"
  find "$case" -mindepth 1 -maxdepth 1 -type f -exec cp {} "$dir/" \;
  status=0
  (cd "$dir" && "$wine64" "$exe" </dev/null >"$tmp/$name.console" 2>&1) || status=$?
  bad=()
  for want in "$expected"/*; do
    file="$(basename "$want")"
    case "$file" in
      console.txt)
        tr -d '\r' <"$tmp/$name.console" | { grep -Ev '^ [ +.0-9e-]+$' || true; } |
          cmp -s - "$want" || bad+=(console) ;;
      exit.txt)
        [ "$status" = "$(cat "$want")" ] || bad+=("exit status $status") ;;
      *)
        cmp -s "$dir/$file" "$want" || bad+=("$file") ;;
    esac
  done
  # a stopped run leaves no output file that its case does not expect
  if [ ! -f "$expected/report.txt" ] && [ "$status" != 0 ]; then
    for f in "$dir"/*; do
      [ -f "$case/$(basename "$f")" ] || bad+=("unexpected $(basename "$f")")
    done
  fi
  verdict "$name"
done

# Paths in the control file with '\' and '/': the pond design case with its
# inputs in a folder named 'in\' and its outputs in one named 'out/'.
case=tests/cases/pond_design
dir="$tmp/paths"
mkdir -p "$dir/in" "$dir/out"
find "$case" -mindepth 1 -maxdepth 1 -type f ! -name PSnamel.nml -exec cp {} "$dir/in/" \;
sed -e "s/IPATH = 2\*' '/IPATH = 2*'in\\\\'/" -e "s|OPATH = 8\*' '|OPATH = 8*'out/'|" \
  "$case/PSnamel.nml" >"$dir/PSnamel.nml"
grep -q "IPATH = 2\*'in\\\\'" "$dir/PSnamel.nml"
(cd "$dir" && "$wine64" "$exe" </dev/null >/dev/null 2>&1) || true
bad=()
for want in "$case"/expected/*; do
  file="$(basename "$want")"
  [ "$file" = console.txt ] || [ "$file" = exit.txt ] || cmp -s "$dir/out/$file" "$want" || bad+=("$file")
done
verdict "pond_design with paths in\\ and out/"

# The same case again over the outputs of the first run: the check that no
# two names are one file tells existing files apart on Windows too.
status=0
(cd "$dir" && "$wine64" "$exe" </dev/null >/dev/null 2>&1) || status=$?
bad=()
[ "$status" = 0 ] || bad+=("exit status $status")
for want in "$case"/expected/*; do
  file="$(basename "$want")"
  [ "$file" = console.txt ] || [ "$file" = exit.txt ] || cmp -s "$dir/out/$file" "$want" || bad+=("$file")
done
verdict "pond_design run again over its own outputs"

# The site file: the bundled site-file example gives the pond design case's
# outputs and its console after the first line (which names the file read).
case=tests/cases/pond_design
dir="$tmp/site_file"
mkdir -p "$dir"
cp examples/pond_site/site.toml examples/pond_site/*.csv "$dir/"
status=0
(cd "$dir" && "$wine64" "$exe" </dev/null >"$tmp/site_file.console" 2>&1) || status=$?
bad=()
[ "$status" = 0 ] || bad+=("exit status $status")
tr -d '\r' <"$tmp/site_file.console" | tail -n +2 | cmp -s - <(tail -n +2 "$case/expected/console.txt") ||
  bad+=(console)
for want in "$case"/expected/*; do
  file="$(basename "$want")"
  [ "$file" = console.txt ] || [ "$file" = exit.txt ] || cmp -s "$dir/$file" "$want" || bad+=("$file")
done
verdict "pond_site (site file)"
# The browser front end: `sitedrain.exe serve` under Wine, its cases page
# fetched with the session, the bundled site-file example run through it,
# its outputs compared with the pond design case's expected files.
ws="$tmp/serve"
mkdir -p "$ws/pond_site"
cp examples/pond_site/* "$ws/pond_site/"
"$wine64" "$exe" serve --port 0 --workspace "$(winepath_of "$ws")" </dev/null >"$tmp/serve.out" 2>&1 &
serve_pid=$!
address=""
for _ in $(seq 1 120); do
  address="$(grep -o 'http://127\.0\.0\.1:[0-9]*/?token=[0-9a-f]*' "$tmp/serve.out" || true)"
  [ -n "$address" ] && break
  sleep 1
done
bad=()
if [ -z "$address" ]; then
  bad+=("no address from serve")
else
  base="${address%%/?token=*}"
  jar="$tmp/cookies"
  curl -s -c "$jar" -b "$jar" -L "$address" >"$tmp/cases.html" || bad+=("cases page")
  grep -q 'pond_site' "$tmp/cases.html" || bad+=("the case on the cases page")
  csrf="$(grep -o 'name="csrf" value="[0-9a-f]*' "$tmp/cases.html" | head -1 | sed 's/.*value="//')"
  curl -s -b "$jar" -o /dev/null -d "csrf=$csrf&case=pond_site" "$base/run" || bad+=("run")
  state=""
  for _ in $(seq 1 600); do
    state="$(curl -s -b "$jar" "$base/progress?case=pond_site" | grep -o '"state": "[a-z]*"' || true)"
    case "$state" in *running*|*waiting*) sleep 1 ;; *) break ;; esac
  done
  [ "$state" = '"state": "finished"' ] || bad+=("run ended as $state")
  for want in tests/cases/pond_design/expected/*; do
    file="$(basename "$want")"
    [ "$file" = console.txt ] || [ "$file" = exit.txt ] || cmp -s "$ws/pond_site/$file" "$want" || bad+=("$file")
  done
  [ -s "$ws/pond_site/report.html" ] || bad+=("report.html")
fi
kill "$serve_pid" 2>/dev/null || true
wait "$serve_pid" 2>/dev/null || true
verdict "serve: the site-file example run through the browser front end"
exit $failed
