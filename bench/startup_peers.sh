#!/usr/bin/env bash
# Start-up from outside the process, by X events (bench/startup.sh: the first MapNotify and the
# first XDamage of the top-level, selected before the program is forked): the game's title frame,
# peak memory and shared objects against the minimal Qt window (bench/qthello.cpp), and, when
# Debian's sgt-puzzles is installed, sgt-pattern and sgt-mines as peers, all in one run. The
# programs alternate over PASSES passes of RUNS runs, as the machine's speed drifts.
# Prints one tab-separated row per figure (figure, measured, baseline, result, target, met).
# Usage: bench/startup_peers.sh BUILD_DIR   (PASSES and RUNS override)
set -euo pipefail

build=${1:-build}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
passes=${PASSES:-2}
runs=${RUNS:-5}
game=$build/zum32
bare=$build/bench/qthello
for program in "$game" "$bare"; do
  [[ -x $program ]] || { echo "startup_peers.sh: $program is not built" >&2; exit 1; }
done

work=$(mktemp -d /tmp/zum32-startup.XXXXXX)
trap 'rm -rf "$work"' EXIT

# A private home with every records table filled. startup.sh -H keeps this environment.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
source "$here/../tests/e2e/lib.sh"
mkdir -p "$XDG_CONFIG_HOME/zum32"
expected_ini 3 >"$XDG_CONFIG_HOME/zum32/ZUM32.INI"

programs=("game:$game" "bare:$bare")
for peer in sgt-pattern sgt-mines; do
  [[ -x /usr/games/$peer ]] && programs+=("$peer:/usr/games/$peer")
done
csv=$work/runs.csv
for ((pass = 0; pass < passes; ++pass)); do
  for entry in "${programs[@]}"; do
    label=${entry%%:*}
    SDL_AUDIODRIVER=dummy bash "$here/startup.sh" -H -n "$runs" -w 1 -r 1 -i 1 -b none -l "$label" -c "$csv" \
      -- "${entry#*:}" >/dev/null 2>>"$work/startup.log" ||
      { cat "$work/startup.log" >&2; exit 1; }
  done
done

# The median of one column (by name) over every run of one label.
median() {
  awk -F, -v label="$1" -v name="$2" '
    NR == 1 { for (i = 1; i <= NF; ++i) if ($i == name) col = i; next }
    $1 == label && $col ~ /^[0-9.]+$/ { print $col }' "$csv" |
    sort -g | awk '{v[NR] = $1} END {if (NR) print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}
n=$((passes * runs))
bare_ms=$(median bare paint_ms) bare_kb=$(median bare hwm_kb) bare_so=$(median bare nso)
game_ms=$(median game paint_ms)
awk -v f="Start-up to the first title frame, X events in Xvfb (median of $n)" -v m="$game_ms" -v b="$bare_ms" 'BEGIN {
  r = m / b; printf "%s\t%.1f ms\t%.1f ms (minimal Qt window)\t%.2f×\t≤ 1.25×\t%s\n", f, m, b, r, r <= 1.25 ? "yes" : "no" }'
for entry in "${programs[@]:2}"; do
  label=${entry%%:*}
  awk -v f="… $label (GTK 3), a peer, to its first frame" -v m="$(median "$label" paint_ms)" -v b="$bare_ms" \
      -v kb="$(median "$label" hwm_kb)" 'BEGIN {
    printf "%s\t%.1f ms, %.1f MB peak\t%.1f ms (minimal Qt window)\t%.2f×\t—\t—\n", f, m, kb * 1024 / 1e6, b, m / b }'
done
awk -v n="$n" -v g="$(median game hwm_kb)" -v b="$bare_kb" 'BEGIN {
  d = (g - b) * 1024 / 1e6
  printf "Peak resident memory 1 s after start (median of %d)\t%.1f MB\t%.1f MB (minimal Qt window)\t%+.1f MB\t≤ +6 MB\t%s\n",
    n, g * 1024 / 1e6, b * 1024 / 1e6, d, d <= 6 ? "yes" : "no" }'
awk -v n="$n" -v g="$(median game nso)" -v b="$bare_so" 'BEGIN {
  d = g - b
  printf "Shared objects mapped 1 s after start (median of %d)\t%d\t%d (minimal Qt window)\t%+d\t≤ +6\t%s\n",
    n, g, b, d, d <= 6 ? "yes" : "no" }'
