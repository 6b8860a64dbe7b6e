#!/usr/bin/env bash
# A writer saves the task file in place in two writes 1.4 s apart, both within one two-second
# step of the file's old DOS stamp, and a change-watch tick reads the file between them: the
# finished file is still loaded, so the next minute tick launches both items.
source "$(dirname "$0")/harness.sh"
scenario_begin two-writes

marker=$(winpath "$items/marker.exe")
write_launch '<First>' "path=$marker" 'params=first' '</First>' \
  '<Second>' "path=$marker" 'params=second' '</Second>'
write_tasks '# nothing yet'
start_probe quillmar
start_pendulon main '-w quillmar'
# The start waits for second 00; the writes then fall at seconds 20.3 and 21.7 of a minute.
sleep 5
now=$(now_ms)
target=$(((now / 60000 + 1) * 60000 + 20300))
sleep "$(((target - now) / 1000)).$(printf '%03d' $(((target - now) % 1000)))"
tasks=$app/lib/tasks.qef
printf '* * * * * First\r\n' >"$tasks"
sleep 1.4
printf '* * * * * Second\r\n' >>"$tasks"

if wait_for_events "$marker_log" launched 2 60; then
  sleep 5
  # The two markers start side by side and race to their log, so the order is not checked here.
  check "both lines of the finished file run" "first second" \
    "$(events "$marker_log" launched | awk -F'\t' '{ n = split($3, a, " "); print a[n] }' | sort | xargs)"
else
  fail "both lines of the finished file run at the next minute tick"
  events "$marker_log" launched
fi

expect_end_after_family_closes main
