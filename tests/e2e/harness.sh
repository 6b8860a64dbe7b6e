# The scenarios' common ground: a folder, an X display and a Wine prefix (with one server) for
# each scenario; the executer installed there with its lib folder; the probe standing in for the
# family; the marker as the item to launch; waiting and checking. Sourced by each scenario.
# The Wine side comes from scripts/lib/wine.sh: besides what is below, scenarios use its
# winpath, now_ms, start_program, running, wait_end, probe and start_probe.
#
# From the test's environment: PENDULON_EXE, PROBE_EXE, MARKER_EXE (the build's programs) and
# E2E_WORK (the folder that holds the template prefix and a folder per scenario).

set -euo pipefail
e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../scripts/lib/wine.sh
source "$e2e_dir/../../scripts/lib/wine.sh"

: "${PENDULON_EXE:?}" "${PROBE_EXE:?}" "${MARKER_EXE:?}" "${E2E_WORK:?}"
template=$E2E_WORK/template

readonly kTitle="Vostrelin Quillmar 2.5 Task Executer"
readonly kRefusal=$'This program is used internally by Vostrelin Quillmar \nand should not be run directly!'

failures=0
passes=0

# --- checks ------------------------------------------------------------------------------------

pass() {
  passes=$((passes + 1))
  echo "ok   - $1"
}

fail() {
  failures=$((failures + 1))
  echo "FAIL - $1"
}

# check DESCRIPTION EXPECTED SEEN
check() {
  if [ "$2" == "$3" ]; then
    pass "$1"
  else
    fail "$1"
    printf '       expected: %s\n       seen:     %s\n' "$2" "$3"
  fi
}

# The log format of the probe and the marker (tools/common/ToolLog.h): fields escaped like this.
esc() {
  local s=$1
  s=${s//\\/\\\\}
  s=${s//$'\t'/\\t}
  s=${s//$'\r'/\\r}
  s=${s//$'\n'/\\n}
  printf '%s' "$s"
}

# Prints a log's lines of one event, without their time stamps.
events() {
  [ -f "$1" ] || return 0
  awk -F'\t' -v event="$2" '$2 == event' "$1" | cut -f2-
}

count_events() {
  events "$1" "$2" | wc -l
}

# Prints the nth (from 1) line of one event, without its time stamp.
nth_event() {
  events "$1" "$2" | sed -n "$3p"
}

# The log line of a box as the probe records it: an error box with one OK button.
box_line() {
  printf 'box\t%s\t%s\t%s\tOK\terror' "$(esc "$1")" "$(esc "$2")" "$3"
}

# --- time --------------------------------------------------------------------------------------

# Waits until the log holds at least COUNT lines of the event; false after TIMEOUT seconds.
# wait_for_events LOG EVENT COUNT TIMEOUT
wait_for_events() {
  local deadline=$(($(now_ms) + $4 * 1000))
  while [ "$(count_events "$1" "$2")" -lt "$3" ]; do
    [ "$(now_ms)" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

# Sleeps until SECONDS past the next minute boundary.
sleep_past_next_minute() {
  local now target
  now=$(now_ms)
  target=$(((now / 60000 + 1) * 60000 + $1 * 1000))
  sleep "$(((target - now) / 1000)).$(printf '%03d' $(((target - now) % 1000)))"
}

# --- programs ----------------------------------------------------------------------------------

# Starts the scenario's executer as program NAME of start_program.
# start_pendulon NAME ARGS...
start_pendulon() {
  local name=$1
  shift
  start_program "$name" "$app/pendulon.exe" "$@"
}

# Closes the family's window and checks that the executer started as NAME then ends with code 0.
# expect_end_after_family_closes NAME
expect_end_after_family_closes() {
  local ended
  probe close quillmar
  ended=$(wait_end "$1" 60)
  check "ends with code 0 once the family's windows are gone" 0 "${ended%% *}"
}

# --- files -------------------------------------------------------------------------------------

# Writes the lines given as a Windows text file.
write_lines() {
  local file=$1
  shift
  mkdir -p "$(dirname "$file")"
  printf '%s\r\n' "$@" >"$file.new"
  mv "$file.new" "$file"
}

write_tasks() {
  write_lines "$app/lib/tasks.qef" "$@"
}

write_launch() {
  write_lines "$app/lib/launch.qef" "$@"
}

# --- a scenario's life -------------------------------------------------------------------------

# Makes the scenario's folder: the executer with an empty lib folder, the probe and the marker
# in items, a work folder; then its display, its prefix and its Wine server.
scenario_begin() {
  root=$E2E_WORK/$1
  run_dir=$root
  app="$root/Quillmar App"
  items=$root/items
  work=$root/work
  probe_exe=$items/probe.exe
  probe_log=$root/probe.log
  probe_commands=$root/probe.commands
  marker_log=$items/marker.log
  trap scenario_end EXIT
  trap 'exit 1' INT TERM
  rm -rf "$root"
  mkdir -p "$app/lib" "$items" "$work"
  cp "$PENDULON_EXE" "$app/pendulon.exe"
  cp "$PROBE_EXE" "$probe_exe"
  cp "$MARKER_EXE" "$items/marker.exe"
  start_display
  copy_prefix "$template" "$root/prefix"
  export WINEPREFIX=$root/prefix
  start_server
}

# Stops the probe and every Wine process of the prefix, its server and the display, then tells
# the verdict. Runs on every exit.
scenario_end() {
  local status=$?
  trap - EXIT INT TERM
  stop_all
  if ! check_template_intact "$template"; then
    failures=$((failures + 1))
  fi
  if [ "$failures" -ne 0 ] || [ "$status" -ne 0 ]; then
    echo "--- probe log"
    cat "$probe_log" 2>/dev/null || true
    echo "--- marker log"
    cat "$marker_log" 2>/dev/null || true
  fi
  echo "$passes passed, $failures failed"
  # In a trap a bare exit would give the status from before the trap: name it.
  if [ "$failures" -eq 0 ] && [ "$status" -eq 0 ]; then
    exit 0
  fi
  exit 1
}
