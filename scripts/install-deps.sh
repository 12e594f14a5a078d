#!/usr/bin/env bash
# Installs the Debian packages that one use of the project needs, by list: run (build and play),
# package (make package), test (tests, sanitizers, fuzzing, memcheck, X server, package checks,
# benchmarks), bench (the peers make bench times), art (the artwork and sound generators).
# windows (make windows, the MinGW-w64 cross build), web (make web, the browser build).
# Usage: install-deps.sh LIST...   (e.g. install-deps.sh run test)
# Idempotent: asks apt only for what is missing, and says nothing when all is there.
set -euo pipefail

# Building and running the game.
run_packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  qt6-qpa-plugins
  libsdl2-dev
  fonts-ipafont-gothic fonts-dejavu-core fontconfig  # Japanese and English dialog fonts
)

# make package: dependencies computed from the binary (dpkg-shlibdeps; CPack finds ELF files with file).
package_packages=(
  dpkg-dev file
)

# Test tools: everything make test and make bench need beyond building. Add new ones here, each
# with a short comment.
test_packages=(
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xdotool x11-utils faketime imagemagick  # end-to-end test and screenshots in a real X server
  openbox  # a real window manager for the end-to-end test of window placement, dialogs and focus
  desktop-file-utils appstream  # checks of the installed desktop entry and metainfo
  clang libclang-rt-14-dev  # libFuzzer and the sanitizer runtimes of make fuzz
  valgrind  # memcheck of the golden replays in make test
  lintian  # the Debian package's checks
  devscripts  # hardening-check of the Release build
  libx11-dev libxdamage-dev  # the start-up benchmark's X event helper
  wine wine64 locales libfaketime  # the Windows build's comparison with ours under Wine, in Japanese
  chromium python3-websocket  # the browser build's page, driven over the DevTools protocol
  weston qt6-wayland  # the game native on Wayland, in weston's X11 back end
  python3-pyatspi at-spi2-core dbus  # what a screen reader is given, read on the accessibility bus
  orca speech-dispatcher  # what Orca itself says, through a speech-dispatcher that plays to libao's null driver
)

# make windows: the game's own code against the real Windows headers.
windows_packages=(
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
)

# make web: Debian's emscripten, whose system libraries come prebuilt (nothing built at first use).
web_packages=(
  emscripten
)

# Other desktop games that make bench times beside ours, as peers; nothing else runs them.
bench_packages=(
  sgt-puzzles
)

# The artwork and sound generators in tools/ (run by /usr/bin/python3).
art_packages=(
  python3-numpy python3-pil fonts-dejavu-core fonts-ipafont-gothic
)

packages=()
for list in "$@"; do
  case $list in
    run) packages+=("${run_packages[@]}") ;;
    package) packages+=("${package_packages[@]}") ;;
    test) packages+=("${test_packages[@]}") ;;
    bench) packages+=("${bench_packages[@]}") ;;
    art) packages+=("${art_packages[@]}") ;;
    windows) packages+=("${windows_packages[@]}") ;;
    web) packages+=("${web_packages[@]}") ;;
    *) echo "install-deps.sh: unknown list '$list' (run, package, test, bench, art, windows, web)" >&2; exit 2 ;;
  esac
done

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)

# Wine takes its ANSI code page from the locale: the Windows build's check runs in ja_JP.UTF-8, and
# its English pass takes its UI language from LC_MESSAGES=en_US.UTF-8.
ensure_wine_locales() {
  local name missing=0
  for name in ja_JP en_US; do
    locale -a 2>/dev/null | grep -qix "$name.utf8" && continue
    missing=1
    "${sudo[@]}" sed -i "s/^# *\\($name.UTF-8 UTF-8\\)/\\1/" /etc/locale.gen
    grep -qx "$name.UTF-8 UTF-8" /etc/locale.gen || echo "$name.UTF-8 UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  done
  ((missing == 0)) || "${sudo[@]}" locale-gen >/dev/null
}

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
[[ " $* " != *" test "* ]] || ensure_wine_locales
