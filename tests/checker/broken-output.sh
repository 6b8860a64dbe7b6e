#!/usr/bin/env bash
# qefcheck's own process on Linux: a report that cannot be written ends it with status 2 and one
# line on stderr, on a full disk and into a pipe whose reader has gone.
# Arguments: the qefcheck program, a folder to check.
set -uo pipefail
qefcheck=$1 folder=$2
failures=0
said="qefcheck: the report could not be written in full"

err=$("$qefcheck" "$folder" 2>&1 >/dev/full)
status=$?
[ "$status" = 2 ] || { echo "FAIL - into /dev/full: status $status"; failures=1; }
[[ $err == "$said"* ]] || { echo "FAIL - into /dev/full: $err"; failures=1; }

# The reader ends before qefcheck writes a byte.
temp=$(mktemp -d)
trap 'rm -rf "$temp"' EXIT
{ sleep 0.5; "$qefcheck" --json "$folder" 2>"$temp/err"; echo $? >"$temp/status"; } | true
status=$(cat "$temp/status")
[ "$status" = 2 ] || { echo "FAIL - into a closed pipe: status $status"; failures=1; }
[[ $(cat "$temp/err") == "$said"* ]] || { echo "FAIL - into a closed pipe: $(cat "$temp/err")"; failures=1; }
exit "$failures"
