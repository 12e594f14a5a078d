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
  openbox  # a real window manager for the end-to-end test of window placement, dialogs and focus
  desktop-file-utils appstream  # checks of the installed desktop entry and metainfo
  clang libclang-rt-14-dev  # libFuzzer and the sanitizer runtimes of make fuzz
  valgrind  # memcheck of the golden replays in make test
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
