#!/usr/bin/env bash
# Makes the template prefix that every scenario copies (once per Wine version).
set -euo pipefail
source "$(dirname "$0")/prefix.sh"
: "${E2E_WORK:?}"
mkdir -p "$E2E_WORK"
exec 9>"$E2E_WORK/template.lock"
flock 9
make_prefix "$E2E_WORK/template"
echo "template prefix ready: $E2E_WORK/template"
