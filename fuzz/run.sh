#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a set time: run.sh <build folder> <seconds>.
# New inputs go to <build>/fuzz-corpus/<target>, so the committed seeds under fuzz/corpus stay as
# they are; a crash leaves its input in <build>/fuzz-artifacts and fails the run.
set -uo pipefail

build=${1:?build folder}
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
status=0

for exe in "$build"/fuzz/*_fuzz; do
  [[ -x "$exe" ]] || continue
  name=$(basename "$exe" _fuzz)
  work="$build/fuzz-corpus/$name"
  artifacts="$build/fuzz-artifacts"
  log="$build/fuzz-logs/$name.log"
  mkdir -p "$work" "$artifacts" "$(dirname "$log")"
  dict=()
  [[ -f "$here/$name.dict" ]] && dict=(-dict="$here/$name.dict")
  SDL_AUDIODRIVER=dummy "$exe" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$name-" "${dict[@]}" "$work" "$here/corpus/$name" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [[ $rc -ne 0 ]]; then
    echo "fuzz $name: FAILED after ${runs:-?} executions (log: $log)"
    grep -E 'ERROR|runtime error|SUMMARY|Test unit written|_fuzz:' "$log" | head -20
    status=1
  else
    echo "fuzz $name: ${runs:-?} executions in ${seconds} s, no fault"
  fi
done
exit $status
