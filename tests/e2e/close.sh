#!/usr/bin/env bash
# The ways the executer is told to end from outside: a close request sent to its main window or
# to its application window ends it like the watchdog's close, and the end of the session ends
# it at once. Each message is sent while the executer still waits for second 00; it is handled
# as the message loop begins, before the first minute tick, so nothing is launched.
source "$(dirname "$0")/harness.sh"
scenario_begin close

write_launch '<Marker>' "path=$(winpath "$items/marker.exe")" '</Marker>'
write_tasks '* * * * * Marker'
start_probe quillmar

for way in 'send-close TfrmPendulon' 'send-close TApplication' 'end-session TApplication'; do
  name=${way// /-}
  start_pendulon "$name" '-w quillmar'
  probe "$way"
  ended=$(wait_end "$name" 100)
  check "$way: the executer ends with code 0" 0 "${ended%% *}"
done
check "the messages were delivered" 3 "$(count_events "$probe_log" sent)"
check "nothing was launched" 0 "$(count_events "$marker_log" launched)"
check "the family's window stayed open meanwhile" 0 "$(count_events "$probe_log" closed)"
