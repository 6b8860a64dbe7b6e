#!/usr/bin/env bash
# qefcheck.exe beside the real executable: while the executer runs, its header says so from the
# executer's window and the run log; once the family is gone, that it ended and why; and
# qefcheck --follow, started before the executer, says every event in words as it is written.
source "$(dirname "$0")/harness.sh"
scenario_begin qefcheck
: "${QEFCHECK_EXE:?}"
cp "$QEFCHECK_EXE" "$app/qefcheck.exe"

marker=$(winpath "$items/marker.exe")
missing=$(winpath "$items")'\no-such-program.exe'
write_tasks '* * * * * Marker' '* * * * * Missing'
write_launch '<Marker>' "path=$marker" '</Marker>' '<Missing>' "path=$missing" '</Missing>'
log=$app/lib/pendulon.log

# Runs qefcheck.exe on the folder and prints the header's line about the executer.
pendulon_line() {
  "$wine_loader" "$app/qefcheck.exe" "$(winpath "$app")" </dev/null 2>&1 | tr -d '\r' |
    grep '^  Pendulon: ' || true
}
# The hour and minute of the stamp of the log's first line of an event.
clock_of() {
  tr -d '\r' <"$log" | awk -F'\t' -v event="$1" '$2 == event { print substr($1, 12, 5); exit }'
}

# The minute after an hour and minute: the first minute a start walks is the one after its load.
minute_after() {
  date -u -d "@$(($(date -u -d "2000-01-01 $1" +%s) + 60))" +%H:%M
}

# The follower starts before the log is turned on, and waits for it.
start_program follow "$app/qefcheck.exe" --follow "$(winpath "$app")"
deadline=$(($(now_ms) + 60000))
until grep -q 'waiting for' "$run_dir/follow.out" 2>/dev/null || [ "$(now_ms)" -ge "$deadline" ]; do
  sleep 0.2
done
: >"$log"
start_probe quillmar
start_pendulon main '-w quillmar'

if wait_for_events "$marker_log" launched 1 150; then
  sleep 3
  check "while it runs, the header says so from its window and the run log, and names the copy" \
    "  Pendulon: running (its window is there); running since $(clock_of start) according to the run log; the first minute it walked was $(minute_after "$(clock_of load)"); the copy running is $(winpath "$app/pendulon.exe")" \
    "$(pendulon_line)"
else
  fail "a launch at the first tick"
fi

expect_end_after_family_closes main
sleep 2
check "once the family is gone, the header says when it ended and why" \
  "  Pendulon: not running (its window is not there); last started $(clock_of start), ended $(clock_of end) (the family's windows were gone)" \
  "$(pendulon_line)"

followed=$(tr -d '\r' <"$run_dir/follow.out")
for said in \
  "waiting for $(winpath "$app")\\lib\\pendulon.log, which is not there" \
  "Pendulon started (version " \
  "loaded the task file $(winpath "$app")\\lib\\tasks.qef: 2 lines, 2 of them task lines" \
  "line 1 \"Marker\": the shell answered " \
  "line 2 \"Missing\": the shell answered 2 (file not found) for $missing" \
  "Pendulon ended: the family's windows were gone, after "; do
  if [[ $followed == *"$said"* ]]; then
    pass "--follow says: $said"
  else
    fail "--follow says: $said"
    printf '%s\n' "$followed" | sed 's/^/       /'
  fi
done
