#!/usr/bin/env bash
# Runs two commands at once: the first in the foreground at full priority, the second beside it at
# a low priority, in a session of its own so that an interrupt ends the whole of it. The second's
# output goes to LOG and is shown once the first has ended. Fails when either fails.
# Usage: lanes.sh LOG 'FIRST COMMAND' 'SECOND COMMAND'
set -uo pipefail

log=$1
first=$2
second=$3

setsid nice -n 10 bash -c "$second" >"$log" 2>&1 </dev/null &
beside=$!
trap 'kill -- -$beside 2>/dev/null; exit 130' INT TERM
bash -c "$first"
first_status=$?
if kill -0 "$beside" 2>/dev/null; then
  echo "Waiting for the checks beside ($log)..."
fi
wait "$beside"
second_status=$?
cat "$log"
((first_status == 0 && second_status == 0))
