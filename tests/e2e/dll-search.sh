#!/usr/bin/env bash
# Where the programs' DLLs come from: a DLL that a start-up step loads by name, dropped beside
# pendulon.exe and qefcheck.exe, is never loaded. Here the step is COM's start in the platform's
# constructor, which under Wine loads uxtheme.dll by name (Windows loads it with the first
# window). Wine would take its own uxtheme whatever the search finds, so the scenario tells it
# to prefer the DLL the search finds, as Windows does. The DLL (the tests' dll_beside) leaves
# uxtheme.loaded beside itself once it is loaded; Wine's trace names the file each DLL came from.
source "$(dirname "$0")/harness.sh"
: "${QEFCHECK_EXE:?}" "${DLL_BESIDE_DLL:?}"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;uxtheme=n,b"
scenario_begin dll-search

cp "$QEFCHECK_EXE" "$app/qefcheck.exe"
cp "$DLL_BESIDE_DLL" "$app/uxtheme.dll"
loaded() {
  [ -e "$app/uxtheme.loaded" ] && echo loaded || echo "not loaded"
}
# Prints where the process of EXE loaded uxtheme.dll from, as Wine's trace TRACE says.
uxtheme_from() {
  tr -d '\r' <"$1" | awk -v exe="$2" '
    { split($1, f, ":") }
    /:loaddll:/ && index($0, exe "\" at") { pid = f[1] }
    f[1] == pid && match($0, /Loaded L"[^"]*uxtheme\.dll" at [0-9A-F]+: [a-z]+/) {
      line = substr($0, RSTART, RLENGTH); sub(/ at [0-9A-F]+/, "", line); print line }'
}
readonly kFromSystem32='Loaded L"C:\\windows\\system32\\uxtheme.dll": builtin'

export WINEDEBUG=-all,+loaddll
(cd "$app" && "$wine_loader" "$app/qefcheck.exe" --version) >"$root/qefcheck.out" 2>&1 || true
check "qefcheck starts and answers" qefcheck "$(grep -o '^qefcheck' "$root/qefcheck.out")"
check "qefcheck's start-up loads uxtheme.dll by name, from System32" "$kFromSystem32" \
  "$(uxtheme_from "$root/qefcheck.out" qefcheck.exe)"
check "qefcheck leaves the DLL beside it alone" "not loaded" "$(loaded)"

# Refused, pendulon has passed every start-up step by the time its box shows; the probe
# answers the box.
start_probe quillmar
start_pendulon refused
ended=$(wait_end refused 60)
export WINEDEBUG=-all
check "pendulon shows its refusal box" 1 "$(count_events "$probe_log" box)"
check "and ends with code 0" 0 "${ended%% *}"
check "pendulon's start-up loads uxtheme.dll by name, from System32" "$kFromSystem32" \
  "$(uxtheme_from "$root/refused.out" pendulon.exe)"
check "pendulon leaves the DLL beside it alone" "not loaded" "$(loaded)"
