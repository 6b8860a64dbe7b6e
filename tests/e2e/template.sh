#!/usr/bin/env bash
# Makes the template prefix that every scenario copies (once per Wine version).
set -euo pipefail
# shellcheck source=../../scripts/lib/wine.sh
source "$(dirname "$0")/../../scripts/lib/wine.sh"
: "${E2E_WORK:?}"
make_prefix "$E2E_WORK/template"
echo "template prefix ready: $E2E_WORK/template"
