# Helpers for driving the real game in Xvfb: the X server, bounded waits, the board a seed gives,
# and tile comparisons of the window's pixels with the sprite sheet. Sourced by bash scripts.

# The board geometry of each level, as the game's level tables give it.
ZUM32_SIZES=(0 10 15 20)
ZUM32_MARGINS=(0 5 8 10)
ZUM32_BOMBS=(0 30 60 90)

TITLE='ずむのタイル32'
# Every script's game starts at this frozen time, so that its boards are known in advance.
WHEN='2024-05-01 12:00:00'
# Generous bounds: a loaded two-core machine may take seconds where an idle one takes milliseconds.
WAIT=30

step() { echo "-- $* ($SECONDS s)"; }

# Calls a command every 0.1 s until it succeeds or the seconds run out; the status is the last one.
wait_until() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  while ! "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# Makes the folder $work for one run and stops the game and the X server and removes the folder
# when the script ends, however it ends.
make_workspace() {
  work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
  MISMATCH_LOG=$work/mismatch.log
  GAME_PID= XVFB_PID=
  trap cleanup_workspace EXIT
  trap "exit 143" TERM INT  # so that a timeout still runs the cleanup
}
cleanup_workspace() {
  # Errors must not end the handler early: a game that has ended already cannot be killed.
  set +e
  [[ -n $GAME_PID ]] && kill "$GAME_PID" 2>/dev/null
  [[ -n $XVFB_PID ]] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}

# Reports a failed check with the tile mismatches and the game's output, and ends the run.
fail() {
  echo "FAIL: $*" >&2
  [[ -s $MISMATCH_LOG ]] && cat "$MISMATCH_LOG" >&2
  [[ -s $work/game.log ]] && { echo "game output:" >&2; cat "$work/game.log" >&2; }
  exit 1
}

# Starts Xvfb on a display it finds free itself; sets DISPLAY and XVFB_PID. Another X server
# starting at the same moment may take the display this one chose: then it tries again.
start_xvfb() {
  local dir=$1 size=${2:-1280x1024}
  local fdfile=$dir/xvfb.display attempt
  for attempt in 1 2 3; do
    : >"$fdfile"
    # Nothing of ours stays open in the server: a pipe reading our output would wait for it too.
    # -noreset: a server that resets once its last client has gone refuses connections meanwhile.
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$fdfile" >"$dir/xvfb.log" 2>&1 </dev/null &
    XVFB_PID=$!
    wait_until 30 test -s "$fdfile" || { echo "Xvfb did not start:" >&2; cat "$dir/xvfb.log" >&2; return 1; }
    export DISPLAY=:$(head -n 1 "$fdfile")
    wait_until 30 xvfb_settled
    xvfb_answers && return 0
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
  done
  echo "Xvfb did not stay up:" >&2
  cat "$dir/xvfb.log" >&2
  return 1
}
xvfb_answers() { kill -0 "$XVFB_PID" 2>/dev/null && xdpyinfo >/dev/null 2>&1; }
xvfb_settled() { xvfb_answers || ! kill -0 "$XVFB_PID" 2>/dev/null; }

# Starts the game at a frozen calendar time (UTC "YYYY-MM-DD hh:mm:ss") with its configuration in
# dir/config; sets GAME_PID. Further arguments are extra environment settings (NAME=value).
start_game() {
  local game=$1 dir=$2 when=$3
  shift 3
  mkdir -p "$dir/config" "$dir/runtime"
  chmod 700 "$dir/runtime"
  # faketime's library straight in the game's process, so that GAME_PID is the game itself.
  local lib
  lib=$(dpkg -L libfaketime 2>/dev/null | grep -m 1 '/libfaketime\.so\.1$' || true)
  [[ -n $lib ]] || { echo "libfaketime is not installed" >&2; return 1; }
  # The wall clock stands still, so every Start seeds the same board; timers run on the monotonic one.
  env -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS -u QT_AUTO_SCREEN_SCALE_FACTOR \
    QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy TZ=UTC LANGUAGE=ja \
    XDG_CONFIG_HOME="$dir/config" XDG_RUNTIME_DIR="$dir/runtime" \
    LD_PRELOAD="$lib" FAKETIME="$when" FAKETIME_DONT_FAKE_MONOTONIC=1 "$@" \
    "$game" >"$dir/game.log" 2>&1 </dev/null &
  GAME_PID=$!
}

# Calendar seconds of a UTC time as the game sees it.
epoch_of() { TZ=UTC date -d "$1" +%s; }

# The bombs of a new board: N lines of N characters, 1 for a bomb; character c of line r is
# cell (c, r). The game's generator: seed = seconds % 65535, an LCG, column drawn before row,
# an occupied pair drawn again.
zum32_board() {
  local seconds=$1 level=$2
  local n=${ZUM32_SIZES[level]} count=${ZUM32_BOMBS[level]}
  local state=$((seconds % 65535)) placed=0 c r line
  local -A bomb=()
  while ((placed < count)); do
    state=$(((state * 22695477 + 1) & 0xFFFFFFFF))
    c=$((((state >> 16) & 0x7FFF) % n))
    state=$(((state * 22695477 + 1) & 0xFFFFFFFF))
    r=$((((state >> 16) & 0x7FFF) % n))
    [[ -n ${bomb[$c,$r]:-} ]] && continue
    bomb[$c,$r]=1
    placed=$((placed + 1))
  done
  for ((r = 0; r < n; r++)); do
    line=
    for ((c = 0; c < n; c++)); do line+=${bomb[$c,$r]:-0}; done
    echo "$line"
  done
}

# The lengths of the runs of safe cells ('0') in a line of cells, space separated.
runs_of() {
  local line=$1 run=0 out=() i
  for ((i = 0; i < ${#line}; i++)); do
    if [[ ${line:i:1} == 0 ]]; then
      run=$((run + 1))
    elif ((run > 0)); then
      out+=("$run")
      run=0
    fi
  done
  ((run > 0)) && out+=("$run")
  echo "${out[*]}"
}

# ---- Windows ----

# The ids of the game's visible windows (main window, boxes, dialogs, popups, help).
game_windows() { xdotool search --onlyvisible --class '^zum32$' 2>/dev/null || true; }

# _NET_WM_WINDOW_TYPE of a window, without the common prefix (NORMAL, DIALOG, DROPDOWN_MENU, ...).
window_type() {
  xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | sed -n 's/.*= _NET_WM_WINDOW_TYPE_\([A-Z_]*\).*/\1/p'
}

window_title() { xdotool getwindowname "$1" 2>/dev/null; }

# Whether a window is gone from the game's visible ones, or from those another lister gives. The
# list is read whole before grep, which could otherwise end the pipe early and fail the lister.
window_gone() {
  local ids
  ids=$("${2:-game_windows}")
  ! grep -qx "$1" <<<"$ids"
}

# Sets X, Y, WIDTH, HEIGHT of a window.
window_geometry() {
  local g
  g=$(xdotool getwindowgeometry --shell "$1") || return 1
  eval "$g"
}

# Prints the one visible game window with that exact title and window type, if there is one; a
# third argument lists another program's windows instead.
find_window() {
  local title=$1 type=$2 w
  for w in $("${3:-game_windows}"); do
    [[ $(window_title "$w") == "$title" && $(window_type "$w") == "$type" ]] && { echo "$w"; return 0; }
  done
  return 1
}

main_window() { find_window "$TITLE" NORMAL; }
box_window() { find_window "$TITLE" DIALOG; }
help_window() { find_window "$TITLE ヘルプ" NORMAL; }
game_exited() { ! kill -0 "$GAME_PID" 2>/dev/null; }

# Answers a first start's three message boxes, one for each level's missing records, each closed
# before the next is answered, and waits for the main window, which comes only after them. The
# arguments name another program and its finders (box, main window, gone check); the default is ours.
answer_first_start_boxes() {
  local who=${1:-ours} box_of=${2:-box_window} main_of=${3:-main_window} gone=${4:-window_gone}
  local level box
  for level in 1 2 3; do
    wait_until "$WAIT" "$box_of" >/dev/null || fail "$who: message box $level did not appear"
    "$main_of" >/dev/null && fail "$who: the main window came before message box $level"
    box=$("$box_of")
    xdotool windowfocus --sync "$box" key Return || fail "$who: focus on message box $level"
    wait_until "$WAIT" "$gone" "$box" || fail "$who: message box $level did not close"
  done
  wait_until "$WAIT" "$main_of" >/dev/null || fail "$who: the main window did not appear"
  "$box_of" >/dev/null && fail "$who: a fourth message box"
  return 0
}

# A menu pops up as an override-redirect window; Qt does not always mark its type as a menu.
menu_popup() {
  local w info
  for w in $(game_windows); do
    info=$(xwininfo -id "$w" 2>/dev/null) || continue
    [[ $info == *'Override Redirect State: yes'* ]] && return 0
  done
  return 1
}
no_menu_popup() { ! menu_popup; }

# ---- Wine ----

# Wine's locale: its code page and its UI language, the Japanese game's unless a script says.
WINE_LOCALE=(LC_ALL=ja_JP.UTF-8)

# Boots a Wine prefix in the folder $1 (booting also registers what carries COM objects between
# processes); Wine takes its code page from the locale. Sets WINEPREFIX and the settings every Wine
# check runs with; the locale goes into $1.locale.
boot_wine_prefix() {
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' WINEARCH=win64
  export TZ=UTC
  # Bounded, so that a Wine that hangs fails the check with a message instead of at the test's limit.
  env "${WINE_LOCALE[@]}" timeout 150 wineboot --init >"$1.log" 2>&1 || fail "wineboot: $(cat "$1.log")"
  timeout 60 wineserver -w || fail "the prefix's Wine processes did not end after wineboot"
  echo "${WINE_LOCALE[*]}" >"$1.locale"
}

# A Wine prefix of its own in $work/prefix, before the clock is frozen: a copy of the one booted
# once for the test run in the same locale, which ZUM32_WINE_PREFIX names (wine_prefix.sh), or
# else one booted here. A whole copy, not links: Wine writes a file that has other links in place.
wine_prefix() {
  local template=${ZUM32_WINE_PREFIX:-}
  step "Wine prefix"
  if [[ -n $template && -f $template/system.reg && $(cat "$template.locale" 2>/dev/null) == "${WINE_LOCALE[*]}" ]]; then
    export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' WINEARCH=win64
    export TZ=UTC
    cp -a "$template" "$WINEPREFIX" || fail "copying the run's Wine prefix"
  else
    boot_wine_prefix "$work/prefix"
  fi
}

# Starts the Windows build under Wine at a frozen calendar time; sets GAME_PID.
start_wine_game() {
  local exe=$1 when=$2 lib
  lib=$(dpkg -L libfaketime 2>/dev/null | grep -m 1 '/libfaketime\.so\.1$' || true)
  [[ -n $lib ]] || fail "libfaketime is not installed"
  # File times stay true: faked ones would make Wine take its prefix for an older Wine's and rebuild it.
  env "${WINE_LOCALE[@]}" LD_PRELOAD="$lib" FAKETIME="$when" FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 \
    wine "$exe" >"$work/game.log" 2>&1 </dev/null &
  GAME_PID=$!
}

# Ends the prefix's Wine processes, then what make_workspace set up.
cleanup_wine() {
  set +e
  [[ -d ${WINEPREFIX:-/nonexistent} ]] && wineserver -k 2>/dev/null
  cleanup_workspace
}

wine_windows() { xdotool search --onlyvisible --class '^zum32\.exe$' 2>/dev/null || true; }
wine_main() { find_window "$TITLE" NORMAL wine_windows; }

# ---- Pixels ----

# Cuts the sprite sheet into its 16 x 16 grid once: SPRITE_HASH["x,y"] is the hash of the tile at
# pixel (x, y). The sheet's colours are the game palette's own, so a shown tile matches exactly.
declare -A SPRITE_HASH=()
load_sprites() {
  local sheet=$1 dir=$2 i width
  mkdir -p "$dir/sprites"
  width=$(identify -format '%w' "$sheet")
  convert "$sheet" -crop 16x16 +repage -depth 8 +adjoin "rgb:$dir/sprites/t_%d"
  while read -r hash file; do
    i=${file##*_}
    SPRITE_HASH[$((i % (width / 16) * 16)),$((i / (width / 16) * 16))]=$hash
  done < <(cd "$dir/sprites" && md5sum t_*)
}

# Captures a window's client area (side x side game pixels at the bottom of the window, under its
# menu bar) to file and cuts it into tiles: SCREEN_HASH["tx,ty"] is the hash of tile (tx, ty).
# On a scaled screen PIXEL_FACTOR device pixels show one game pixel each way, in a client of
# CLIENT_SIDE device pixels; the picture is sampled back to game pixels, one device pixel each.
declare -A SCREEN_HASH=()
PIXEL_FACTOR=1
CLIENT_SIDE=
capture_client() {
  local window=$1 side=$2 file=$3 dir=$4
  local client=${CLIENT_SIDE:-$((side * PIXEL_FACTOR))}
  window_geometry "$window" || return 1
  import -window "$window" "$file.full.png" 2>/dev/null || return 1
  convert "$file.full.png" -crop "${client}x${client}+0+$((HEIGHT - client))" +repage \
    "$file.client.png" || return 1
  hash_tiles "$file.client.png" 0 0 "$side" "$file" "$dir"
}

# Cuts the picture of side x side game pixels at device pixel (x, y) of image into tiles, sampled
# back to game pixels: SCREEN_HASH["tx,ty"] is the hash of tile (tx, ty).
hash_tiles() {
  local image=$1 x=$2 y=$3 side=$4 file=$5 dir=$6 i k=$PIXEL_FACTOR
  convert "$image" -crop "$((side * k))x$((side * k))+$x+$y" +repage \
    -sample "${side}x${side}" "$file" || return 1
  rm -rf "$dir/screen" && mkdir -p "$dir/screen"
  convert "$file" -crop 16x16 +repage -depth 8 +adjoin "rgb:$dir/screen/t_%d" || return 1
  SCREEN_HASH=()
  while read -r hash f; do
    i=${f##*_}
    SCREEN_HASH[$((i % (side / 16))),$((i / (side / 16)))]=$hash
  done < <(cd "$dir/screen" && md5sum t_*)
}

# EXPECT["tx,ty"] = "sx,sy": tile (tx, ty) of the client should show the sprite at (sx, sy).
declare -A EXPECT=()

# Compares the captured tiles with EXPECT, whose values may list several sprites (any of them
# will do, for animated tiles); prints the first mismatches to MISMATCH_LOG.
tiles_match() {
  local key bad=0 sprite ok
  : >"${MISMATCH_LOG:=/dev/null}"
  for key in "${!EXPECT[@]}"; do
    ok=0
    for sprite in ${EXPECT[$key]}; do
      [[ ${SCREEN_HASH[$key]:-none} == "${SPRITE_HASH[$sprite]}" ]] && ok=1
    done
    if ((!ok)); then
      bad=$((bad + 1))
      ((bad <= 12)) && echo "tile $key should show the sprite at ${EXPECT[$key]}" >>"$MISMATCH_LOG"
    fi
  done
  ((bad == 0)) || echo "$bad tiles differ" >>"$MISMATCH_LOG"
  ((bad == 0))
}

# Captures and compares; for wait_until.
screen_shows() { capture_client "$1" "$2" "$3" "$4" && tiles_match; }

# ---- What the screens and the records file should show ----

# The records file that a first start writes: level 2 and three empty tables, Shift-JIS, CRLF;
# the argument, when given, is another level.
expected_ini() {
  local level rank
  printf '[%s]\r\nLEVEL=%d\r\n' "$(printf 'ずむタイ32' | iconv -f UTF-8 -t CP932)" "${1:-2}"
  for level in 1 2 3; do
    for rank in 1 2 3 4 5; do
      printf 'NAME%d(%d)=NO DATA\r\nTIME%d(%d)=9999\r\n' "$rank" "$level" "$rank" "$level"
    done
  done
}

# Sprites of the sheet, by their top-left pixel.
SPR_CLOSED=0,32 SPR_OPEN=16,32 SPR_OPEN_BOMB=32,32 SPR_FLAG=48,32
SPR_BOMB_ROW_BG=208,32 SPR_CLOCK_BG=208,48 SPR_ICON_CLOSED=160,64 SPR_ICON_OPEN=176,64
SPR_ARROW=192,64 SPR_COUNT_UNIT=208,64 SPR_CORNER_BG=224,64
spr_row_clue() { echo "$((16 * $1)),16"; }
spr_col_clue() { echo "$((16 * $1)),0"; }
spr_count_digit() { echo "$((16 * $1)),64"; }
spr_bomb_rows() { local n; for n in 0 1 2 3 4 5 6; do echo -n "$((96 + 16 * n)),32 "; done; }

# BOARD: the lines of zum32_board. CELL["c,r"]: open, flag or bomb (an opened bomb); closed if unset.
BOARD=()
declare -A CELL=()

# EXPECT := the clue margins for BOARD and the cells as CELL has them, on an n x n board with
# m-tile margins (the arguments); OPENED := the cells shown opened. The clues come from the board
# computed here, so the comparison also proves that it is the board the game plays.
expect_margins_and_cells() {
  local n=$1 m=$2 c r j col runs
  EXPECT=() OPENED=0
  for ((r = 0; r < n; r++)); do
    runs=($(runs_of "${BOARD[r]}"))
    for ((j = 0; j < m; j++)); do EXPECT[$j,$((m + r))]=$(spr_row_clue "${runs[j]:-0}"); done
  done
  for ((c = 0; c < n; c++)); do
    col=
    for ((r = 0; r < n; r++)); do col+=${BOARD[r]:c:1}; done
    runs=($(runs_of "$col"))
    for ((j = 0; j < m; j++)); do EXPECT[$((m + c)),$j]=$(spr_col_clue "${runs[j]:-0}"); done
  done
  for ((r = 0; r < n; r++)); do
    for ((c = 0; c < n; c++)); do
      case ${CELL[$c,$r]:-closed} in
        open) EXPECT[$((m + c)),$((m + r))]=$SPR_OPEN; OPENED=$((OPENED + 1)) ;;
        bomb) EXPECT[$((m + c)),$((m + r))]=$SPR_OPEN_BOMB ;;
        flag) EXPECT[$((m + c)),$((m + r))]=$SPR_FLAG ;;
        *) EXPECT[$((m + c)),$((m + r))]=$SPR_CLOSED ;;
      esac
    done
  done
}

# EXPECT := the level-2 play screen (15 x 15 board, 8-tile margins) for BOARD, CELL and the bombs
# hit: clues, cells, the corner panel's labels and grounds, and the counters unless the second
# argument is "no-counters". The clock digits move with time and are left out; a bomb-row icon
# may show any frame of its animation.
expect_level2_play() {
  local bombs_hit=$1 counters=${2:-counters}
  local m=8 c r j
  expect_margins_and_cells 15 "$m"
  # The corner panel: ground in rows 0 to 6 with the labels, the bomb row in row 5, the clock in 7.
  for ((r = 0; r < 7; r++)); do
    for ((c = 0; c < m; c++)); do EXPECT[$c,$r]=$SPR_CORNER_BG; done
  done
  EXPECT[1,1]=$SPR_ICON_CLOSED EXPECT[2,1]=$SPR_ARROW EXPECT[6,1]=$SPR_COUNT_UNIT
  EXPECT[1,3]=$SPR_ICON_OPEN EXPECT[2,3]=$SPR_ARROW EXPECT[6,3]=$SPR_COUNT_UNIT
  for ((c = 0; c < m; c++)); do EXPECT[$c,5]=$SPR_BOMB_ROW_BG; done
  for ((j = 0; j < bombs_hit && j < 4; j++)); do EXPECT[$((2 + j)),5]="$SPR_BOMB_ROW_BG $(spr_bomb_rows)"; done
  EXPECT[0,7]=$SPR_CLOCK_BG EXPECT[5,7]=160,48 EXPECT[6,7]=176,48 EXPECT[7,7]=$SPR_CLOCK_BG
  # The counters: cells still closed, and safe cells opened, three digits each.
  local closed digits
  if [[ $counters != no-counters ]]; then
    closed=$((225 - OPENED - bombs_hit))
    digits=$(printf '%03d' "$closed")
    for j in 0 1 2; do EXPECT[$((3 + j)),1]=$(spr_count_digit "${digits:j:1}"); done
    digits=$(printf '%03d' "$OPENED")
    for j in 0 1 2; do EXPECT[$((3 + j)),3]=$(spr_count_digit "${digits:j:1}"); done
  else
    for j in 0 1 2; do unset "EXPECT[$((3 + j)),1]" "EXPECT[$((3 + j)),3]"; done
  fi
}

# EXPECT := the parts of the title screen that do not move: the tiled ground around the picture
# and the caption strips below it (23 x 23 tiles).
expect_title() {
  local c r
  EXPECT=()
  for ((r = 0; r < 23; r++)); do
    for ((c = 0; c < 23; c++)); do
      if ((c < 2 || c > 20 || r < 2 || r == 17 || r > 20)); then
        EXPECT[$c,$r]=$SPR_CLOSED
      elif ((r >= 18 && (c < 5 || c > 17))); then
        EXPECT[$c,$r]=$SPR_CLOSED
      fi
    done
  done
  for ((c = 5; c <= 17; c++)); do
    EXPECT[$c,18]=$((16 * (c - 5))),144
    EXPECT[$c,19]=$((16 * (c - 5))),128
    EXPECT[$c,20]=$((16 * (c - 5))),144
  done
}
