#!/usr/bin/env bash
# How a start goes wrong. Started any other way than with the one argument "-w quillmar" in
# double quotes, the executer shows its refusal box over its main window and, once OK is pressed,
# ends with code 0. Started right but without a task file, it reports the file over its
# application window at second 00 and goes on until the family's windows are gone.
source "$(dirname "$0")/harness.sh"
scenario_begin start

# An item that a wrongly accepted start would launch.
write_launch '<Marker>' "path=$(winpath "$items/marker.exe")" '</Marker>'
write_tasks '* * * * * Marker'
start_probe quillmar

# Each start as Wine passes it on: no argument, the wrong case in one quoted argument, and the
# right words as two arguments.
starts=('' '-W quillmar' '-w|quillmar')
for i in "${!starts[@]}"; do
  IFS='|' read -r -a args <<<"${starts[$i]}"
  what="start with (${starts[$i]//|/ })"
  probe hold
  start_pendulon refused$i "${args[@]}"
  if ! wait_for_events "$probe_log" box $((i + 1)) 90; then
    fail "$what: a box appears"
    break
  fi
  check "$what: the refusal box" "$(box_line Pendulon "$kRefusal" TfrmPendulon)" \
    "$(nth_event "$probe_log" box $((i + 1)))"
  # The box is modal: the program waits for it.
  sleep 3
  check "$what: still running while the box is open" yes "$(running refused$i && echo yes)"
  probe release
  ended=$(wait_end refused$i 30)
  check "$what: ends with code 0 after OK" 0 "${ended%% *}"
done
check "a refused start launches nothing" 0 "$(count_events "$marker_log" launched)"

rm "$app/lib/tasks.qef"
start_pendulon missing '-w quillmar'
missing="Cannot open file $(winpath "$app")\\lib\\tasks.qef."
if wait_for_events "$probe_log" box 4 150; then
  check "a missing task file is reported" "$(box_line "$kTitle" "$missing" TApplication)" \
    "$(nth_event "$probe_log" box 4)"
  wait_for_events "$probe_log" gone 4 30 || fail "the box closes on OK"
  sleep 3
  check "still running after OK" yes "$(running missing && echo yes)"
else
  fail "a box for the missing task file"
fi
probe close quillmar
ended=$(wait_end missing 60)
check "then ends with code 0 once the family's windows are gone" 0 "${ended%% *}"

# Wine hands a GUI program's exit code through, so the codes checked above are real.
probe quit 3
ended=$(wait_end probe 30)
check "Wine passes on a GUI program's exit code" 3 "${ended%% *}"
