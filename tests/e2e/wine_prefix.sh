#!/usr/bin/env bash
# Makes the Wine prefix that every Wine check of a test run copies (ZUM32_WINE_PREFIX), on an Xvfb
# like theirs. Usage: wine_prefix.sh <folder>
set -euo pipefail

template=$1
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

make_workspace zum32-wine-prefix
start_xvfb "$work" || fail "Xvfb"
rm -rf "$template" "$template.log"
make_wine_prefix "$template" || fail "no Wine prefix"
echo "Wine prefix made: $template"
