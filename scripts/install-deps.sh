#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing the game need.
# Idempotent: asks apt only for what is missing, and says nothing when all is there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  qt6-qpa-plugins
  libsdl2-dev
  fonts-ipafont-gothic fontconfig
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xdotool x11-utils faketime imagemagick  # end-to-end test and screenshots in a real X server
  desktop-file-utils appstream  # checks of the installed desktop entry and metainfo
  clang libclang-rt-14-dev  # libFuzzer and the sanitizer runtimes of make fuzz
  valgrind  # memcheck of the golden replays in make test
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64  # make windows: the game against the real Windows headers
  wine wine64 locales libfaketime  # the Windows build's comparison with ours under Wine, in Japanese
)

# Wine takes its ANSI code page from the locale: the Windows build's check runs in ja_JP.UTF-8.
ensure_japanese_locale() {
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
  "${sudo[@]}" sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -qx 'ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo[@]}" locale-gen >/dev/null
}

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if [[ ${#missing[@]} -eq 0 ]]; then
  ensure_japanese_locale
  exit 0
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
ensure_japanese_locale
