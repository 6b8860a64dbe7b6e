# The scenarios' common ground: a folder, an X display and a Wine prefix (with one server) for
# each scenario; the executer installed there with its lib folder; the probe standing in for the
# family; the marker as the item to launch; waiting and checking. Sourced by each scenario.
#
# From the test's environment: PENDULON_EXE, PROBE_EXE, MARKER_EXE (the build's programs) and
# E2E_WORK (the folder that holds the template prefix and a folder per scenario).

set -euo pipefail
e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=prefix.sh
source "$e2e_dir/prefix.sh"

: "${PENDULON_EXE:?}" "${PROBE_EXE:?}" "${MARKER_EXE:?}" "${E2E_WORK:?}"
template=$E2E_WORK/template

readonly kTitle="Vostrelin Quillmar 2.5 Task Executer"
readonly kRefusal=$'This program is used internally by Vostrelin Quillmar \nand should not be run directly!'

failures=0
passes=0
xvfb_pid=""
watchdog_pid=""

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

now_ms() {
  date +%s%3N
}

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

# Starts a Windows program in the background; its exit code and end time go to NAME.end.
# start_program NAME EXE ARGS...
start_program() {
  local name=$1
  shift
  rm -f "$root/$name.end"
  (
    set +e
    "$wine_loader" "$@" >"$root/$name.out" 2>&1
    echo "$? $(now_ms)" >"$root/$name.end"
  ) &
}

start_pendulon() {
  local name=$1
  shift
  start_program "$name" "$app/pendulon.exe" "$@"
}

running() {
  [ ! -f "$root/$1.end" ]
}

# Waits for the program to end; prints "CODE END-MS", or "running" after TIMEOUT seconds.
# wait_end NAME TIMEOUT
wait_end() {
  local deadline=$(($(now_ms) + $2 * 1000))
  while running "$1"; do
    if [ "$(now_ms)" -ge "$deadline" ]; then
      echo running
      return 0
    fi
    sleep 0.2
  done
  cat "$root/$1.end"
}

# Sends the probe a command (see tools/probe/Probe.cpp).
probe() {
  echo "$*" >>"$probe_commands"
}

# Starts the probe with the family windows named, and waits until they exist.
start_probe() {
  : >"$probe_commands"
  start_program probe "$root/items/probe.exe" "$(winpath "$probe_log")" \
    "$(winpath "$probe_commands")" "$@"
  wait_for_events "$probe_log" ready 1 60 || {
    echo "the probe did not start"
    exit 1
  }
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

start_xvfb() {
  local display_file=$root/display
  : >"$display_file"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  local tries=0
  while [ ! -s "$display_file" ]; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || {
      echo "Xvfb did not start"
      exit 1
    }
    sleep 0.1
  done
  export DISPLAY=:$(cat "$display_file")
}

# Makes the scenario's folder: the executer with an empty lib folder, the probe and the marker
# in items, a work folder; then its display, its prefix and its Wine server.
scenario_begin() {
  root=$E2E_WORK/$1
  app="$root/Quillmar App"
  items=$root/items
  work=$root/work
  probe_log=$root/probe.log
  probe_commands=$root/probe.commands
  marker_log=$items/marker.log
  trap scenario_end EXIT
  trap 'exit 1' INT TERM
  rm -rf "$root"
  mkdir -p "$app/lib" "$items" "$work"
  cp "$PENDULON_EXE" "$app/pendulon.exe"
  cp "$PROBE_EXE" "$items/probe.exe"
  cp "$MARKER_EXE" "$items/marker.exe"
  start_xvfb
  copy_prefix "$template" "$root/prefix"
  export WINEPREFIX=$root/prefix
  # The probe stays connected from start to end, so the server needs no long persistence; a
  # short one ends it even if this script is killed before it can stop it.
  "$wine_server" -p30 >/dev/null 2>&1
  start_watchdog
}

# Cleans up after this script if it is killed outright (a test timeout) and cannot do it itself.
start_watchdog() {
  local shell=$$
  (
    while kill -0 "$shell" 2>/dev/null; do sleep 1; done
    "$wine_server" -k
    kill "$xvfb_pid"
  ) >/dev/null 2>&1 &
  watchdog_pid=$!
}

# Stops the probe and every Wine process of the prefix, its server and the display, then tells
# the verdict. Runs on every exit.
scenario_end() {
  local status=$?
  trap - EXIT INT TERM
  [ -z "$watchdog_pid" ] || kill "$watchdog_pid" 2>/dev/null || true
  if [ -n "${WINEPREFIX:-}" ]; then
    if [ -f "$probe_commands" ] && running probe; then
      probe quit
      wait_end probe 10 >/dev/null
    fi
    "$wine_server" -k 2>/dev/null || true
    timeout 20 "$wine_server" -w 2>/dev/null || true
  fi
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
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
