#!/usr/bin/env bash
# The run log on the real executable: an empty lib\pendulon.log turns it on; the start, the first
# load with the first minute it walks, and each launch are recorded with the shell's answer (ok
# for the marker, "file not found" for a path that does not exist); deleting the file while the
# program runs turns it off, and the program does not create it again.
source "$(dirname "$0")/harness.sh"
scenario_begin run-log

marker=$(winpath "$items/marker.exe")
missing=$(winpath "$items")'\no-such-program.exe'
write_tasks '* * * * * Marker' '* * * * * Missing'
write_launch '<Marker>' "path=$marker" 'params=logged' '</Marker>' \
  '<Missing>' "path=$missing" '</Missing>'
log=$app/lib/pendulon.log
: >"$log"

# Prints the log's lines of one event, without the time stamp and the CR.
log_events() {
  tr -d '\r' <"$log" | awk -F'\t' -v event="$1" '$2 == event' | cut -f2-
}

start_probe quillmar
start_pendulon main '-w quillmar'

if wait_for_events "$marker_log" launched 1 150; then
  sleep 5
  check "every line ends in CR LF" 0 "$(grep -cv $'\r$' "$log" || true)"
  check "every line begins with the local time to the millisecond and its offset" 0 \
    "$(grep -cvE '^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}[+-][0-9]{2}:[0-9]{2}'$'\t' "$log" || true)"
  check "the start is recorded as accepted" accepted "$(log_events start | cut -f5)"
  check "the start names the executable" "$(esc "$(winpath "$app/pendulon.exe")")" \
    "$(log_events start | cut -f3)"
  check "the first load is recorded with its lines and task lines" "first 2 2" \
    "$(log_events load | head -1 | cut -f2,4,5 | tr '\t' ' ')"
  # Every minute is due, so the minute the marker first ran in (its own clock) is the first walked.
  check "the first load names the first minute walked: the marker's first" \
    "$(awk -F'\t' '$2 == "launched" { print substr($1, 1, 5); exit }' "$marker_log")" \
    "$(log_events load | head -1 | cut -f6 | cut -c12-16)"
  marker_line=$(log_events launch | awk -F'\t' '$4 == "Marker"' | head -1)
  check "the launch is recorded with its line, item, request and the shell's ok" \
    "$(printf '1\tMarker\topen\t%s\tlogged\t%s\tok' "$(esc "$marker")" "$(esc "$(winpath "$items")")")" \
    "$(echo "$marker_line" | cut -f3-8,10)"
  check "the shell's number for the launch is above 32" yes \
    "$([ "$(echo "$marker_line" | cut -f9)" -gt 32 ] && echo yes)"
  check "the bad path is recorded with the shell's answer: file not found" \
    "$(printf '2\tMissing\t%s\t2\tfile not found' "$(esc "$missing")")" \
    "$(log_events launch | awk -F'\t' '$4 == "Missing"' | head -1 | cut -f3,4,6,9,10)"
else
  fail "a launch at the first tick"
fi

rm -f "$log"
if wait_for_events "$marker_log" launched 2 90; then
  sleep 5
  check "a deleted log is not created again" absent "$([ -e "$log" ] && echo present || echo absent)"
else
  fail "a launch at the second tick, with the log turned off"
fi
check "no box was shown" 0 "$(count_events "$probe_log" box)"

expect_end_after_family_closes main
check "the end is not recorded either" absent "$([ -e "$log" ] && echo present || echo absent)"
