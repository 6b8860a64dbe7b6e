#!/usr/bin/env bash
# Takes the pictures of the executer's boxes in docs/: the refusal box and the error box for a
# missing task file, as Wine shows them under Xvfb. The executer lies in C:\Quillmar of the
# prefix, so the box names that folder rather than the build's. Needs the mingw build with
# tools/, and xwd (x11-apps), xwininfo (x11-utils), xwdtopnm and pnmtopng (netpbm).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${PENDULON_BUILD_DIR:-$repo/build/mingw}
export PENDULON_EXE=$build/pendulon.exe
export PROBE_EXE=$build/tools/probe/probe.exe
export MARKER_EXE=$build/tools/marker/marker.exe
# The scenarios' template prefix serves here too.
export E2E_WORK=$build/tests/e2e
# shellcheck source=../tests/e2e/harness.sh
source "$repo/tests/e2e/harness.sh"
make_prefix "$template"
scenario_begin boxes

# Xvfb has no window manager to draw the title bar: Wine draws it itself then.
"$wine_loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1

app=$WINEPREFIX/drive_c/Quillmar
mkdir -p "$app/lib"
cp "$PENDULON_EXE" "$app/"

# Saves the shown top-level X window with that title as a PNG.
shoot() {
  local title=$1 file=$2 id
  for id in $(xwininfo -root -tree | awk -v t="\"$title\":" 'index($0, t) { print $1 }'); do
    if xwininfo -id "$id" | grep -q IsViewable; then
      xwd -silent -id "$id" | xwdtopnm 2>/dev/null | pnmtopng >"$file"
      pass "saved $file"
      return 0
    fi
  done
  fail "no shown window titled $title"
}

start_probe
probe hold
start_pendulon refused
wait_for_events "$probe_log" box 1 60
shoot Pendulon "$repo/docs/refusal-box.png"
probe release
wait_end refused 30 >/dev/null

# Without a task file the first load, at second 00, fails.
start_pendulon missing '-w quillmar'
wait_for_events "$probe_log" box 2 90
shoot "$kTitle" "$repo/docs/error-box.png"
probe release
