#!/usr/bin/env bash
# End-to-end test of what a screen reader is given: the game in Xvfb with a session bus and the
# accessibility bus, read with pyatspi (screen_reader.py) while a level-1 game is played by keys;
# then the game under an English locale: its title against the README's English picture, and its
# menu and a dialog read in English; or, with "orca", what Debian's Orca itself says, from its debug
# log, with a speech-dispatcher of our own that speaks to no sound device.
# Usage: screen_reader.sh <zum32 executable> <source folder> [orca]
set -euo pipefail

game=$1
source_dir=$2
mode=${3:-bus}
# shellcheck source=lib.sh
source "$source_dir/tests/e2e/lib.sh"

make_workspace zum32-reader
start_xvfb "$work" || fail "Xvfb"
mkdir -p "$work/config/zum32"
expected_ini 1 >"$work/config/zum32/ZUM32.INI"
mapfile -t BOARD < <(zum32_board "$(epoch_of "$WHEN")" 1)

# A session bus of our own; the accessibility bus and its registry start from it on demand.
dbus-daemon --session --fork --nopidfile --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
ORCA_PID= SPEECHD_PID=
# Orca itself runs under script.
trap '[[ -n $ORCA_PID ]] && pkill -P $ORCA_PID; kill $ORCA_PID $SPEECHD_PID "$(cat "$work/bus.pid")" 2>/dev/null; cleanup_workspace' EXIT
if [[ $mode == orca ]]; then
  # Orca blocks for good in speech-dispatcher's first cancel when that cannot open its sound
  # output: ours plays to libao's null driver.
  export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
  mkdir -p "$HOME" -m 700 "$XDG_RUNTIME_DIR"
  cp -r /etc/speech-dispatcher "$work/speechd"
  echo 'AudioOutputMethod "libao"' >>"$work/speechd/speechd.conf"
  echo 'default_driver=null' >"$HOME/.libao"
  speech-dispatcher -C "$work/speechd" -t 0 -s >"$work/speechd.log" 2>&1 &
  SPEECHD_PID=$!
  wait_until "$WAIT" test -S "$XDG_RUNTIME_DIR/speech-dispatcher/speechd.sock" || fail "no speech-dispatcher"
fi

step "the game with accessibility on"
start_game "$game" "$work" "$WHEN" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
wait_until "$WAIT" main_window >/dev/null || fail "the main window did not appear"
if [[ $mode == bus ]]; then
  step "play and listen"
  /usr/bin/python3 "$source_dir/tests/e2e/screen_reader.py" "$(main_window)" "${BOARD[@]}" || fail "what the reader heard"
  step "the game in English: its title, menu and properties dialog"
  # In an X server of its own, which the first game's keys do not reach.
  kill "$GAME_PID" "$XVFB_PID" && wait "$GAME_PID" "$XVFB_PID" 2>/dev/null || true
  start_xvfb "$work" || fail "Xvfb for the English game"
  start_game "$game" "$work" "$WHEN" LANGUAGE= LC_ALL= LC_MESSAGES= LANG=en_US.UTF-8 \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
  wait_until "$WAIT" main_window >/dev/null || fail "the English game's window did not appear"
  convert "$source_dir/docs/title_en.png" -gravity SouthWest -crop 368x368+0+0 +repage "$work/en.png"
  english_title() { capture_client "$(main_window)" 368 "$work/title.png" "$work" &&
    [[ $(compare -metric AE "$work/title.png" "$work/en.png" null: 2>&1) == 0 ]]; }
  wait_until "$WAIT" english_title || fail "the English title differs from docs/title_en.png"
  /usr/bin/python3 "$source_dir/tests/e2e/screen_reader.py" "$(main_window)" en || fail "the English names"
  exit 0
fi

step "Orca"
# Orca writes its log in blocks but to a terminal by lines: its log goes to script's terminal. Its
# own words ("notification") stay English whatever language the game is asked to speak.
script -qfc "LANGUAGE=en orca -d braille --debug-file /dev/stdout" "$work/orca.log" >/dev/null 2>&1 </dev/null &
ORCA_PID=$!
said() { grep -aqs "SPEECH OUTPUT: '$1" "$work/orca.log"; }
wait_until "$WAIT" said "$TITLE タイトル画面" || fail "Orca did not read the title screen"
xdotool windowfocus --sync "$(main_window)"
# The top row's first safe cell and first bomb, the cursor coming from the top-left cell.
safe=${BOARD[0]%%0*} bomb=${BOARD[0]%%1*}
arrows() { local n=$(($2 - $1)) k=Right; ((n < 0)) && n=$((-n)) k=Left; for ((; n > 0; n--)); do echo -n "$k "; done; }
for keys in "ctrl+n Right $(arrows 0 ${#safe}) space=開きました" "$(arrows ${#safe} ${#bomb}) space=爆弾！ 爆発 1回目"; do
  xdotool key --delay 150 ${keys%=*}
  wait_until "$WAIT" said "notification ${keys#*=}" || fail "Orca did not say ${keys#*=}: $(grep -a 'SPEECH OUTPUT' "$work/orca.log")"
done
echo "Orca: every outcome heard"
