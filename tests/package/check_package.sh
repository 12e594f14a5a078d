#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it: lintian finds no error, it holds
# every file a desktop game needs, its dependencies name what the game loads by itself, and the
# files unpacked into a scratch root start and show the main window in Xvfb.
# Usage: check_package.sh <build folder> <source folder>
set -euo pipefail

build=$(cd "$1" && pwd)
source_dir=$2
source "$source_dir/tests/e2e/lib.sh"
make_workspace zum32-package

# CPack shows what dpkg-shlibdeps warns of only in its debugging output.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" -D CPACK_DEBIAN_PACKAGE_DEBUG=ON \
  >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack did not build the package"; }
grep -iE 'warning:|CMake Warning' "$work/cpack.log" >&2 && fail "cpack or dpkg-shlibdeps gave a warning"
debs=("$work"/out/zum32_*_*.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "no single zum32_<version>_<arch>.deb: ${debs[*]}"
deb=${debs[0]}

# Errors fail the check; warnings and notes are shown only.
lintian --no-cfg --fail-on error "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log" >&2; fail "lintian reports an error"; }

id=io.github.zum32.Zum32
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
expected=(
  ./usr/games/zum32
  ./usr/share/applications/$id.desktop
  ./usr/share/metainfo/$id.metainfo.xml
  ./usr/share/man/man6/zum32.6.gz
  ./usr/share/doc/zum32/copyright
  ./usr/share/doc/zum32/changelog.gz
)
for size in 16 32 48 64 128 256; do expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/$id.png"); done
for path in "${expected[@]}"; do
  grep -qxF "$path" <<<"$files" || fail "the package lacks $path"
done

# The manual page's KEYS name the keys that play a game, not only the menu's accelerators.
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/man/man6/zum32.6.gz | gzip -dc >"$work/zum32.6"
keys=$(sed -n '/^\.SH KEYS/,/^\.SH /p' "$work/zum32.6")
for key in Left Right Up Down Space Return F Shift S; do
  grep -qw -- "$key" <<<"$keys" || fail "the manual page's KEYS do not name $key"
done

[[ $(dpkg-deb -f "$deb" Recommends) == *qt6-wayland* ]] || fail "Recommends lacks qt6-wayland"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in fonts-ipafont-gothic libsdl2-2.0-0 qt6-qpa-plugins libqt6widgets6 libc6; do
  [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done

# The unpacked program on its own, with a full records file so that no message box comes first.
dpkg -x "$deb" "$work/root"
mkdir -p "$work/config/zum32"
expected_ini 1 >"$work/config/zum32/ZUM32.INI"
start_xvfb "$work"
start_game "$work/root/usr/games/zum32" "$work" "2026-01-01 00:00:00"
wait_until 30 main_window >/dev/null || fail "the unpacked game showed no main window"
[[ $(readlink "/proc/$GAME_PID/exe") == "$work/root/usr/games/zum32" ]] || fail "another program ran"
echo "package checked: $(basename "$deb")"
