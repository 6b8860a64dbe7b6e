#!/usr/bin/env bash
# The family is still writing the task file when it starts the executer: the first load is
# refused with one box, and the table loads as soon as the writer lets go, without another save
# and without another box, so the next minute tick launches the item.
source "$(dirname "$0")/harness.sh"
scenario_begin locked-start

write_launch '<Marker>' "path=$(winpath "$items/marker.exe")" 'params=locked' '</Marker>'
write_tasks '* * * * * Marker'
tasks=$(winpath "$app/lib/tasks.qef")
start_probe quillmar
probe lock "$tasks"
wait_for_events "$probe_log" locked 1 30 || fail "the probe holds the task file"
start_pendulon main '-w quillmar'

if wait_for_events "$probe_log" box 1 150; then
  check "one box for the refused first load" \
    "$(box_line "$kTitle" "Cannot open file $tasks." TApplication)" "$(nth_event "$probe_log" box 1)"
else
  fail "a box for the refused first load"
fi
# Held a few seconds longer, while the change watch keeps trying.
sleep 5
probe unlock "$tasks"

if wait_for_events "$marker_log" launched 1 90; then
  pass "the item is launched at the next minute tick"
else
  fail "the item is launched at the next minute tick"
fi
check "no further box" 1 "$(count_events "$probe_log" box)"

expect_end_after_family_closes main
