#!/usr/bin/env bash
# Idle CPU of the game against bench/bare_window, and of the game with a sound device against the
# same play without one, each pair side by side in one Xvfb over the same seconds; prints one
# tab-separated row per figure (figure, measured, baseline, result, target, met). Start-up and
# memory are startup_peers.sh's.
# Usage: bench/startup_idle.sh BUILD_DIR   (IDLE_RUNS and IDLE_SECONDS override)
set -euo pipefail

build=${1:-build}
game=$build/zum32
bare=$build/bench/bare_window
idle_runs=${IDLE_RUNS:-3}
idle_seconds=${IDLE_SECONDS:-10}
for program in "$game" "$bare" "$build/bench/cpu_time"; do
  [[ -x $program ]] || { echo "startup_idle.sh: $program is not built" >&2; exit 1; }
done
for tool in Xvfb xdpyinfo xdotool iconv; do
  command -v "$tool" >/dev/null || { echo "startup_idle.sh: $tool is missing (make deps)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/zum32-bench.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do stop "$pid"; done
  rm -rf "$work"
}
trap cleanup EXIT

die() { echo "startup_idle.sh: $*" >&2; exit 1; }

# The game starts without a message box, on level 3.
mkdir -p "$work/config/zum32" "$work/runtime"
chmod 700 "$work/runtime"
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib.sh"
expected_ini 3 >"$work/config/zum32/ZUM32.INI"

start_xvfb "$work" || die "no X server"
pids+=("$XVFB_PID")
export QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
# SDL_AUDIODRIVER chooses below whether a sound device exists: "none" names no driver at all.

has_window() { [[ -n $(xdotool search --onlyvisible --pid "$1" 2>/dev/null) ]]; }
shown_or_ended() { has_window "$1" || not_running "$1"; }

# Starts a program and waits for its window; sets started_pid.
start() {
  local log=$1; shift
  "$@" >"$log" 2>&1 &
  started_pid=$!
  pids+=("$started_pid")
  wait_until 60 shown_or_ended "$started_pid" || true
  has_window "$started_pid" || die "$1 showed no window: $(head -c 2000 "$log"); X server: $(kill -0 "$XVFB_PID" 2>&1 && echo running) $(tail -n 5 "$work/xvfb.log")"
}

running() { [[ -e /proc/$1 && $(awk '{print $3}' /proc/"$1"/stat 2>/dev/null) != Z ]]; }
not_running() { ! running "$1"; }

# Ends a program we started (politely, then after 5 s for good) and forgets its id.
stop() {
  kill "$1" 2>/dev/null || true
  wait_until 5 not_running "$1" || kill -9 "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
  local kept=() pid
  for pid in "${pids[@]}"; do [[ $pid == "$1" ]] || kept+=("$pid"); done
  pids=("${kept[@]}")
}

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

window_width() { xdotool getwindowgeometry "$1" 2>/dev/null | awk '/Geometry:/ {split($2, s, "x"); print s[1]}'; }
is_playing() { [[ $(window_width "$1") == 480 ]]; }

# CPU time (ns) that the game and the bare window used over the idle seconds, as "game bare".
measure_idle() {
  local before after
  before=($("$build/bench/cpu_time" "$1" "$2"))
  sleep "$idle_seconds"
  after=($("$build/bench/cpu_time" "$1" "$2"))
  echo "$((after[0] - before[0])) $((after[1] - before[1]))"
}

# Ctrl+N on the game's window; returns once the level-3 board shows.
start_play() {
  local window
  window=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -1)
  [[ -n $window ]] || die "no game window found"
  xdotool windowfocus --sync "$window"
  xdotool key --clearmodifiers ctrl+n
  wait_until 20 is_playing "$window" || die "Ctrl+N did not start a game"
}

# Idle: two programs run side by side, so that both are measured over the same seconds of a shared
# machine. Without a sound device, the game against the animated bare window: the title, then
# play. Then play with a sound device (SDL's dummy driver, whose thread wakes as a real device's
# does while open) against the same play without one: the clock's cue sounds every second, and
# the device must not keep waking between the cues.
: >"$work/idle"
for ((run = 0; run < idle_runs; ++run)); do
  export SDL_AUDIODRIVER=none
  start "$work/game-idle.log" "$game"; game_pid=$started_pid
  start "$work/bare-idle.log" "$bare" --animate; bare_pid=$started_pid
  sleep 2
  title=$(measure_idle "$game_pid" "$bare_pid")
  start_play "$game_pid"
  sleep 2
  play=$(measure_idle "$game_pid" "$bare_pid")
  stop "$game_pid"; stop "$bare_pid"

  SDL_AUDIODRIVER=dummy start "$work/game-idle.log" "$game"; sound_pid=$started_pid
  start "$work/silent-idle.log" "$game"; silent_pid=$started_pid
  start_play "$sound_pid"
  start_play "$silent_pid"
  sleep 2
  sound=$(measure_idle "$sound_pid" "$silent_pid")
  stop "$sound_pid"; stop "$silent_pid"
  echo "$title $play $sound" >>"$work/idle"
done

idle_col() { awk -v col="$1" '{print $col}' "$work/idle" | median; }
# Each ratio is the median of the per-run ratios, each taken over the same seconds.
idle_ratio() { awk -v a="$1" -v b="$2" '{print $a / $b}' "$work/idle" | median; }

row() {  # figure, measured ns, baseline ns, baseline name, ratio, limit
  awk -v f="$1" -v m="$2" -v b="$3" -v n="$4" -v r="$5" -v l="$6" 'BEGIN {
    printf "%s\t%.1f ms\t%.1f ms (%s)\t%.2f×\t≤ %s×\t%s\n", f, m / 1e6, b / 1e6, n, r, l, r <= l ? "yes" : "no"
  }'
}
if ((idle_runs > 0)); then
  row "Idle CPU, ${idle_seconds} s on the animated title (median of $idle_runs)" "$(idle_col 1)" "$(idle_col 2)" \
    "bare window animating" "$(idle_ratio 1 2)" 1.5
  row "Idle CPU, ${idle_seconds} s of level-3 play with no input (median of $idle_runs)" "$(idle_col 3)" "$(idle_col 4)" \
    "bare window animating" "$(idle_ratio 3 4)" 3
  row "… the same with a sound device (SDL dummy driver; the clock's cue every second)" "$(idle_col 5)" \
    "$(idle_col 6)" "the same play without a device" "$(idle_ratio 5 6)" 1.2
fi
