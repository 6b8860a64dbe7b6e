# shellcheck shell=bash
# The one way the scripts run the build's Windows programs: a Wine prefix, an X display and a Wine
# server of their own, programs started in the background and watched through files, the probe
# standing in for the launcher family, and one call that stops it all. Used by scripts/run,
# scripts/test, cmake/wine-run, the end-to-end scenarios (tests/e2e/harness.sh) and
# tools/screenshots.sh. Sourced; needs bash; sets no shell options (the caller picks them).
#
# Sets on sourcing: wine_loader (PENDULON_WINE overrides it) and wine_server; exports WINEDEBUG
# and WINEDLLOVERRIDES unless the caller set them.

wine_loader=${PENDULON_WINE:-/usr/lib/wine/wine64}
# The Debian wrapper /usr/bin/wineserver forces -p0; the server itself takes our options.
wine_server=/usr/lib/wine/wineserver64
[ -x "$wine_server" ] || wine_server=$(command -v wineserver)

export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko prompts: nothing here needs them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# What start_display, start_server and follow_events started, for stop_all.
display_pid="" server_prefix="" watchdog_pid="" follow_pids=()

# --- prefixes ----------------------------------------------------------------------------------

# The files of a prefix that Wine rewrites as it runs are the registry and a few small ones;
# copy_prefix copies everything at or below this size and hard-links everything above (the DLLs).
prefix_link_above_kib=64

# make_prefix PREFIX
# Makes a Wine prefix at PREFIX by wineboot, unless one made here for this Wine version is there
# already (the stamp file .pendulon-prefix says which). Callers in parallel wait for the first
# (lock file PREFIX.lock); the prefix is made beside it and moved into place once complete, so a
# prefix with a system.reg is always a whole one. An older one is replaced; a folder that holds
# no Wine prefix is left alone, with an error. Its Wine server is stopped after. Needs nothing.
make_prefix() {
  local prefix=$1 version
  version=$("$wine_loader" --version)
  [ "$(cat "$prefix/.pendulon-prefix" 2>/dev/null)" != "$version" ] || return 0
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    [ "$(cat "$prefix/.pendulon-prefix" 2>/dev/null)" != "$version" ] || exit 0
    # A mistyped path must not lose its files.
    if [ -n "$(ls -A "$prefix" 2>/dev/null)" ] && [ ! -e "$prefix/dosdevices" ]; then
      echo "$prefix holds no Wine prefix; not replacing it" >&2
      exit 1
    fi
    local new=$prefix.new
    rm -rf "$new"
    mkdir -p "$new"
    WINEPREFIX=$new "$wine_loader" wineboot -i >/dev/null 2>&1 || true
    # The server writes the registry out as it ends.
    WINEPREFIX=$new "$wine_server" -k 2>/dev/null || true
    WINEPREFIX=$new "$wine_server" -w
    if [ ! -f "$new/system.reg" ]; then
      echo "wineboot made no prefix in $new" >&2
      exit 1
    fi
    # Copies of a template are checked against this stamp: a template file newer than it was
    # written through a hard link.
    echo "$version" >"$new/.pendulon-prefix"
    rm -rf "$prefix"
    mv "$new" "$prefix"
  ) 9>"$prefix.lock"
}

# copy_prefix TEMPLATE PREFIX
# Makes PREFIX a quick copy of the prefix TEMPLATE (from make_prefix): registry and small files
# as real copies, the big read-only ones as hard links. Whatever was at PREFIX goes.
copy_prefix() {
  local template prefix
  template=$(realpath "$1")
  prefix=$(realpath -m "$2")
  rm -rf "$prefix"
  mkdir -p "$prefix"
  (
    cd "$template" || exit 1
    local parts=(.update-timestamp system.reg user.reg userdef.reg dosdevices drive_c)
    find "${parts[@]}" \( -type d -o -type l -o -name '*.reg' -o -name '.update-timestamp' \
      -o -type f -size -$((prefix_link_above_kib + 1))k \) -print0 |
      tar --null --no-recursion -T - -cf - | tar -C "$prefix" -xf -
    find drive_c -type f -size +${prefix_link_above_kib}k -print0 |
      xargs -0 -r cp -l --parents -t "$prefix"
  )
}

# check_template_intact TEMPLATE
# Fails, saying so, if a file of the template changed after make_prefix made it, which only a
# write through one of the hard links of copy_prefix can do.
check_template_intact() {
  local template=$1 changed
  changed=$(find "$template/drive_c" -type f -newer "$template/.pendulon-prefix" -print -quit)
  if [ -n "$changed" ]; then
    echo "the template prefix was written through a hard link: $changed" >&2
    return 1
  fi
}

# winpath PATH
# Prints the Windows path of a Unix path, as Wine's Z: drive shows it.
winpath() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s' "${path//\//\\}"
}

# --- display and server ------------------------------------------------------------------------

# start_display
# Starts an X display of its own (Xvfb, 1024x768, 24 bits, no TCP) and exports DISPLAY. It runs
# in a session of its own, so a Ctrl-C meant for the script does not end it before stop_all.
# Sets display_pid.
start_display() {
  local file tries=0
  file=$(mktemp)
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$file" >/dev/null 2>&1 &
  display_pid=$!
  while [ ! -s "$file" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 300 ] || ! kill -0 "$display_pid" 2>/dev/null; then
      rm -f "$file"
      echo "Xvfb did not start" >&2
      return 1
    fi
    sleep 0.1
  done
  DISPLAY=:$(cat "$file")
  export DISPLAY
  rm -f "$file"
}

# start_server [LINGER]
# Starts the Wine server of the prefix WINEPREFIX (which must exist) in a session of its own,
# after stopping one left there by an earlier run: windows made through a server that outlived
# its display fail. It stays LINGER seconds (default 30) after its last program has ended, so it
# ends by itself even if stop_all never runs; and a watchdog stops it and the display at once
# should this shell be killed outright. Needs WINEPREFIX, and DISPLAY from start_display. Sets
# server_prefix and watchdog_pid.
start_server() {
  "$wine_server" -k 2>/dev/null || true
  timeout 20 "$wine_server" -w 2>/dev/null || true
  server_prefix=$WINEPREFIX
  setsid "$wine_server" -p"${1:-30}" >/dev/null 2>&1
  local shell=$BASHPID
  (
    while kill -0 "$shell" 2>/dev/null; do sleep 1; done
    "$wine_server" -k
    [ -z "$display_pid" ] || kill "$display_pid"
  ) >/dev/null 2>&1 &
  watchdog_pid=$!
}

# --- programs ----------------------------------------------------------------------------------

# now_ms
# Prints the time in milliseconds since the epoch.
now_ms() {
  date +%s%3N
}

# start_program NAME EXE ARGS...
# Starts a Windows program under Wine in the background, in a session of its own. Its output
# goes to $run_dir/NAME.out; when it ends, "CODE END-MS" (exit code, end time) to
# $run_dir/NAME.end. $! is then the background job that waits for it. Needs run_dir,
# WINEPREFIX, DISPLAY.
start_program() {
  local name=$1
  shift
  rm -f "$run_dir/$name.end"
  (
    set +e
    setsid --wait "$wine_loader" "$@" >"$run_dir/$name.out" 2>&1
    echo "$? $(now_ms)" >"$run_dir/$name.end"
  ) &
}

# running NAME
# True until the program NAME of start_program has ended. Needs run_dir.
running() {
  [ ! -f "$run_dir/$1.end" ]
}

# wait_end NAME TIMEOUT
# Waits for the program NAME of start_program to end; prints "CODE END-MS", or "running" after
# TIMEOUT seconds. Needs run_dir.
wait_end() {
  local deadline=$(($(now_ms) + $2 * 1000))
  while running "$1"; do
    if [ "$(now_ms)" -ge "$deadline" ]; then
      echo running
      return 0
    fi
    sleep 0.2
  done
  cat "$run_dir/$1.end"
}

# probe COMMAND...
# Sends the probe a command (see tools/probe/Probe.cpp). Needs probe_commands.
probe() {
  echo "$*" >>"$probe_commands"
}

# start_probe WINDOW...
# Starts the probe (tools/probe) as program "probe" of start_program, with those family windows
# (NAME[:shown]), and waits up to 60 s until they exist; else says so and fails. Needs probe_exe
# (its Unix path), probe_log and probe_commands (the files it logs to and reads commands from,
# the latter emptied here), run_dir, WINEPREFIX, DISPLAY.
start_probe() {
  : >"$probe_commands"
  start_program probe "$probe_exe" "$(winpath "$probe_log")" "$(winpath "$probe_commands")" "$@"
  local deadline=$(($(now_ms) + 60000))
  until awk -F'\t' '$2 == "ready" { ready = 1 } END { exit !ready }' "$probe_log" 2>/dev/null; do
    if [ "$(now_ms)" -ge "$deadline" ] || ! running probe; then
      echo "the probe did not start"
      return 1
    fi
    sleep 0.2
  done
}

# follow_events LOG...
# Prints, in the background as they are logged, the launches and the boxes that the marker and
# the probe record in those logs (one format, tools/common/ToolLog.h; only backslashes need
# unescaping for display). Starts at each log's end. Sets follow_pids.
follow_events() {
  local logs
  exec {logs}< <(exec tail -n0 -q -F "$@" 2>/dev/null)
  follow_pids+=($!)
  while IFS=$'\t' read -r -a f; do
    local fields=("${f[@]//\\\\/\\}")
    case "${fields[1]:-}" in
      launched) echo "${fields[0]} launched: ${fields[3]}   (working folder ${fields[2]})" ;;
      box) echo "${fields[0]} box \"${fields[2]}\": ${fields[3]}   (OK pressed)" ;;
    esac
  done <&"$logs" &
  follow_pids+=($!)
  exec {logs}<&-
}

# --- the end -----------------------------------------------------------------------------------

# stop_all
# Stops what was started above, in an order that lets each part end cleanly: the watchdog; the
# probe, asked to quit (up to 10 s); every Wine program of the server's prefix and the server;
# the log followers; the display. Then waits for the shell's background jobs. Safe to call when
# any of them was never started, and more than once.
stop_all() {
  [ -z "$watchdog_pid" ] || kill "$watchdog_pid" 2>/dev/null || true
  if [ -n "${probe_commands:-}" ] && [ -f "$probe_commands" ] && running probe; then
    probe quit
    wait_end probe 10 >/dev/null
  fi
  if [ -n "$server_prefix" ]; then
    WINEPREFIX=$server_prefix "$wine_server" -k 2>/dev/null || true
    WINEPREFIX=$server_prefix timeout 20 "$wine_server" -w 2>/dev/null || true
  fi
  local pid
  for pid in "${follow_pids[@]}" "$display_pid"; do
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  done
  watchdog_pid="" server_prefix="" display_pid="" follow_pids=()
  wait 2>/dev/null || true
}
