#!/usr/bin/env bash
# Boots the Wine prefix that the Wine checks of a test run copy (ZUM32_WINE_PREFIX), in the
# Japanese game's locale, on an Xvfb like theirs. Usage: wine_prefix.sh <folder>
set -euo pipefail

template=$1
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

make_workspace zum32-wine-prefix
start_xvfb "$work" || fail "Xvfb"
rm -rf "$template" "$template.log" "$template.locale"
boot_wine_prefix "$template"
echo "Wine prefix booted: $template"
