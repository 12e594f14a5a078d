#!/usr/bin/env bash
# make bench: runs the start-up, idle and first-cue scripts and every Google Benchmark program of a
# build, then prints one Markdown table of every figure against its baseline from the same run.
# Usage: bench/run.sh BUILD_DIR [WEB_SITE HELLO_SITE]. Each program's own output is kept in
# BUILD_DIR/bench/*.log. With the browser build's site and its minimal baseline page, the page's
# figures too (bench/web_page.py).
# Exits 1 when a target is missed.
set -euo pipefail

build=${1:-build}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[[ -d $build/bench ]] || { echo "run.sh: $build/bench is missing: no Google Benchmark (libbenchmark-dev)?" >&2; exit 1; }
rows=$(mktemp /tmp/zum32-bench-rows.XXXXXX)
trap 'rm -f "$rows"' EXIT

for script in startup_peers startup_idle first_cue; do
  echo "Running $script.sh (start-up and idle take a few minutes each)..." >&2
  if ! bash "$here/$script.sh" "$build" >>"$rows" 2>"$build/bench/$script.log"; then
    tail -n 20 "$build/bench/$script.log" >&2
    exit 1
  fi
done
if [[ $# -ge 3 ]]; then
  echo "Running web_page.py (the browser build in headless chromium)..." >&2
  if ! /usr/bin/python3 "$here/web_page.py" "$2" "$3" >>"$rows" 2>"$build/bench/web_page.log"; then
    tail -n 20 "$build/bench/web_page.log" >&2
    exit 1
  fi
fi
for program in "$build"/bench/*_bench; do
  [[ -x $program ]] || continue
  name=$(basename "$program")
  echo "Running $name..." >&2
  if ! "$program" --benchmark_color=false >>"$rows" 2>"$build/bench/$name.log"; then
    tail -n 20 "$build/bench/$name.log" >&2
    exit 1
  fi
done

cpu=$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)
echo
echo "$(date '+%Y-%m-%d'), ${cpu:-unknown CPU}, $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| Figure | Measured | Baseline (same run) | Result | Target | Met |"
echo "|---|---|---|---|---|---|"
awk -F'\t' 'NF == 6 {printf "| %s | %s | %s | %s | %s | %s |\n", $1, $2, $3, $4, $5, $6}' "$rows"
missed=$(awk -F'\t' 'NF == 6 && $6 == "no"' "$rows" | wc -l)
echo
if ((missed > 0)); then
  echo "$missed target(s) missed."
  exit 1
fi
echo "Every target met."
