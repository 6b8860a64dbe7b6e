#!/usr/bin/env bash
# One executer's life while the family is there: at the first minute tick it launches the due
# item with its parameters and working folder, once; a second copy started beside it ends with
# code 0 without launching; an edited task file is picked up before the next tick; the working
# folder defaults to the item's own folder; once the family's windows are gone (near misses
# left open) it ends by itself with code 0.
source "$(dirname "$0")/harness.sh"
scenario_begin launch

marker=$(winpath "$items/marker.exe")
write_tasks '# due every minute' '* * * * * Marker' '* * * 13 * Never'
write_launch \
  '<Marker>' "path=$marker" 'params=first "two words" 3' "dir=$(winpath "$work")" '</Marker>' \
  '<Other>' "path=$marker" 'params=other' '</Other>' \
  '<Never>' "path=$marker" 'params=never' '</Never>'

# Only the menu editor of the family, and two windows that must not count as it.
start_probe editor:shown decoy-class decoy-caption
start_pendulon first '-w quillmar'
# The first copy takes its caption, which is what the second one looks for.
probe find TfrmPendulon Quillmar v.2.5 Final Release
wait_for_events "$probe_log" found 1 60 || fail "the first copy takes its caption"
start_pendulon second '-w quillmar'

# The second copy waits for second 00 like the first, then sees the first and ends.
ended=$(wait_end second 130)
check "a second copy ends with code 0" 0 "${ended%% *}"

if wait_for_events "$marker_log" launched 1 150; then
  sleep 8
  check "one launch at the first tick" 1 "$(count_events "$marker_log" launched)"
  check "the item is launched with its parameters in its folder" \
    "$(printf 'launched\t%s\t%s' "$(esc "$(winpath "$work")")" "$(esc "\"$marker\" first \"two words\" 3")")" \
    "$(nth_event "$marker_log" launched 1)"
else
  fail "a launch at the first tick"
fi

check "the first copy is still running" yes "$(running first && echo yes)"

# The edit lands early in the minute; the next tick runs the new line only.
write_tasks '* * * * * Other'
if wait_for_events "$marker_log" launched 2 90; then
  sleep 8
  check "one launch at the second tick" 2 "$(count_events "$marker_log" launched)"
  check "the edited task file's item, in the folder of its path" \
    "$(printf 'launched\t%s\t%s' "$(esc "$(winpath "$items")")" "$(esc "\"$marker\" other")")" \
    "$(nth_event "$marker_log" launched 2)"
else
  fail "a launch at the second tick, after the edit"
fi

closed=$(now_ms)
probe close editor
ended=$(wait_end first 60)
if [ "$ended" = running ]; then
  fail "ends once the family's windows are gone"
else
  check "ends with code 0 once the family's windows are gone" 0 "${ended%% *}"
  took=$(((${ended#* } - closed) / 1000))
  echo "     ended ${took} s after the last family window went"
  check "ends within about 10 s of that" yes "$([ "$took" -le 20 ] && echo yes)"
fi
