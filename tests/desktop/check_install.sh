#!/usr/bin/env bash
# Installs the build into a staging folder and checks the desktop entry, icons and metainfo there.
# Usage: check_install.sh <build folder> <application id>
set -euo pipefail

build=$1
id=$2
stage=$(mktemp -d "${TMPDIR:-/tmp}/zum32-install.XXXXXX")
trap 'rm -rf "$stage"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$stage.log" 2>&1 || { cat "$stage.log" >&2; rm -f "$stage.log"; fail "cmake --install"; }
rm -f "$stage.log"
root=$stage/usr

desktop=$root/share/applications/$id.desktop
metainfo=$root/share/metainfo/$id.metainfo.xml
[[ -x $root/bin/zum32 ]] || fail "no executable bin/zum32"
[[ -f $desktop ]] || fail "no desktop entry share/applications/$id.desktop"
[[ -f $metainfo ]] || fail "no metainfo share/metainfo/$id.metainfo.xml"

for size in 16 32 48 64 128 256; do
  icon=$root/share/icons/hicolor/${size}x${size}/apps/$id.png
  [[ -f $icon ]] || fail "no ${size}x${size} icon"
  got=$(identify -format '%m %wx%h' "$icon")
  [[ $got == "PNG ${size}x${size}" ]] || fail "${size}x${size} icon is $got"
done

desktop-file-validate "$desktop" || fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$metainfo" >/dev/null || { appstreamcli validate --no-net "$metainfo" >&2 || true; fail "appstreamcli rejects the metainfo"; }
appstreamcli validate-tree --no-net "$root" >/dev/null || fail "appstreamcli rejects the installed tree"

# The pieces must name each other: the entry runs the installed program and shows the installed
# icon, and the metainfo launches the entry.
key() { sed -n "s/^$1=//p" "$desktop" | head -n 1; }
[[ $(key Name) == "ずむのタイル32" ]] || fail "Name is '$(key Name)'"
[[ -x $root/bin/$(key Exec | cut -d' ' -f1) ]] || fail "Exec '$(key Exec)' is not the installed program"
[[ $(key Icon) == "$id" ]] || fail "Icon '$(key Icon)' is not the installed icon $id"
[[ $(key Terminal) == false ]] || fail "Terminal is not false"
categories=$(key Categories)
[[ ";$categories" == *";Game;"* && ";$categories" == *";LogicGame;"* ]] || fail "Categories '$categories'"
[[ -n $(key 'Comment') && -n $(key 'Comment\[ja\]') ]] || fail "Comment in English and Japanese"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "metainfo does not launch $id.desktop"
grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id is not $id"
echo "installed and valid: $id"
