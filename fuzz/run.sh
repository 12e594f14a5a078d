#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a set time, as many at once as there are cores:
# run.sh <build folder> <seconds> [targets at once]. Each target is one process on one core, so
# each has its whole time however many run beside it.
# New inputs go to <build>/fuzz-corpus/<target>, so the committed seeds under fuzz/corpus stay as
# they are; a crash leaves its input in <build>/fuzz-artifacts and fails the run.
set -uo pipefail

build=${1:?build folder}
seconds=${2:-60}
at_once=${3:-$(nproc)}
here=$(cd "$(dirname "$0")" && pwd)
status=0

# Runs one target; its exit status goes to <log>.status.
run_target() {
  local exe=$1 name=$2 log=$3
  local work="$build/fuzz-corpus/$name" artifacts="$build/fuzz-artifacts" dict=()
  mkdir -p "$work" "$artifacts"
  [[ -f "$here/$name.dict" ]] && dict=(-dict="$here/$name.dict")
  SDL_AUDIODRIVER=dummy "$exe" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$name-" "${dict[@]}" "$work" "$here/corpus/$name" >"$log" 2>&1
  echo $? >"$log.status"
}

names=()
for exe in "$build"/fuzz/*_fuzz; do
  [[ -x "$exe" ]] || continue
  name=$(basename "$exe" _fuzz)
  mkdir -p "$build/fuzz-logs"
  rm -f "$build/fuzz-logs/$name.log.status"
  while (($(jobs -pr | wc -l) >= at_once)); do wait -n; done
  run_target "$exe" "$name" "$build/fuzz-logs/$name.log" &
  names+=("$name")
done
wait

for name in "${names[@]}"; do
  log="$build/fuzz-logs/$name.log"
  rc=$(cat "$log.status" 2>/dev/null || echo 1)
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
