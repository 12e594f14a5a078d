#!/usr/bin/env bash
# The START cue from the Start command to the audio device (SDL's dummy driver), as the first cue
# of a fresh process and again once the device has closed; one bench/first_cue process a run.
# Prints one tab-separated row per figure (figure, measured, baseline, result, target, met).
# Usage: bench/first_cue.sh BUILD_DIR   (CUE_RUNS overrides)
set -euo pipefail

build=${1:-build}
runs=${CUE_RUNS:-9}
program=$build/bench/first_cue
[[ -x $program ]] || { echo "first_cue.sh: $program is not built" >&2; exit 1; }

work=$(mktemp -d /tmp/zum32-cue.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/zum32" "$work/runtime"
chmod 700 "$work/runtime"
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib.sh"
expected_ini 1 >"$work/config/zum32/ZUM32.INI"

for ((run = 0; run < runs; ++run)); do
  QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime \
    "$program" 2>>"$work/log" >>"$work/times" || { cat "$work/log" >&2; exit 1; }
done

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
for which in first again; do
  col=$([[ $which == first ]] && echo 2 || echo 4)
  ms=$(awk -v c="$col" '{print $c}' "$work/times" | median)
  worst=$(awk -v c="$col" '{print $c}' "$work/times" | sort -g | tail -n 1)
  if [[ $which == first ]]; then
    figure="START cue from the command to the audio device, first cue of the process (median of $runs)"
  else
    figure="… the same once the device has closed after the last cue (median of $runs)"
  fi
  awk -v f="$figure" -v m="$ms" -v w="$worst" 'BEGIN {
    printf "%s\t%.1f ms\t—\t%.1f ms at worst\t≤ 30 ms\t%s\n", f, m, w, m <= 30 ? "yes" : "no" }'
done
