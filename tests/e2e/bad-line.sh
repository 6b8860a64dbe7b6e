#!/usr/bin/env bash
# A task line without a space fails the walk at every minute tick with a box over the
# application window; the executer goes on, and a box whose text is still open is not shown
# again. The settings window alone keeps it running, and then the main window alone. The run
# log's record of each box names the line whose walk raised it.
source "$(dirname "$0")/harness.sh"
scenario_begin bad-line

write_launch '<Marker>' "path=$(winpath "$items/marker.exe")" '</Marker>'
write_tasks '# the line below has no space' 'nospace'
: >"$app/lib/pendulon.log"
start_probe settings:shown
start_pendulon main '-w quillmar'

bad="List index out of bounds (0)"
if wait_for_events "$probe_log" box 1 150; then
  check "reported at the first tick" "$(box_line "$kTitle" "$bad" TApplication)" \
    "$(nth_event "$probe_log" box 1)"
else
  fail "a box at the first tick"
fi
wait_for_events "$probe_log" gone 1 30 || fail "the box closes on OK"

probe open quillmar
probe close settings
probe hold
if wait_for_events "$probe_log" box 2 90; then
  check "reported again at the next tick" "$(box_line "$kTitle" "$bad" TApplication)" \
    "$(nth_event "$probe_log" box 2)"
else
  fail "a box at the next tick"
fi

# The tick after that fails the same way while the box is still open.
sleep_past_next_minute 10
check "no second box while one with the same text is open" 2 "$(count_events "$probe_log" box)"
check "still running with the box open" yes "$(running main && echo yes)"
probe release
wait_for_events "$probe_log" gone 2 30 || fail "the box closes on OK"

expect_end_after_family_closes main
check "nothing was launched" 0 "$(count_events "$marker_log" launched)"
check "the log names line 2 in each box it records" "$bad 2|$bad 2" \
  "$(tr -d '\r' <"$app/lib/pendulon.log" | awk -F'\t' '$2 == "box-open" { print $3 " " $4 }' |
    paste -sd'|')"
