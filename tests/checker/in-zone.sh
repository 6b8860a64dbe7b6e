#!/usr/bin/env bash
# in-zone.sh ZONE EXE [ARGS...]: runs a Windows test program under Wine in the time zone ZONE
# (a name such as Europe/Berlin). Wine reads TZ only when its server starts, so the program gets
# a copy of the build's prefix and a fresh server of its own, stopped again at the end.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../scripts/lib/wine.sh
source "$here/scripts/lib/wine.sh"

zone=$1 exe=$2
shift 2
template=${WINEPREFIX_DEFAULT:-$here/build/mingw/wineprefix}
[ -f "$template/system.reg" ] || make_prefix "$template"
prefix=$(realpath -m "$(dirname "$exe")")/wineprefix-${zone//\//-}
copy_prefix "$template" "$prefix"
export WINEPREFIX=$prefix TZ=$zone
"$wine_server" -k 2>/dev/null || true
"$wine_server" -w 2>/dev/null || true
trap '"$wine_server" -k 2>/dev/null || true; "$wine_server" -w 2>/dev/null || true' EXIT
"$wine_loader" "$exe" "$@"
