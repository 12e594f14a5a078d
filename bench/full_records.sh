# Sourced by the bench scripts. write_full_records FILE LEVEL: a records file with every table
# filled, so that the game's first window is its title screen, not the notice of an incomplete level.
write_full_records() {
  mkdir -p "$(dirname "$1")"
  {
    printf '[ずむタイ32]\r\nLEVEL=%d\r\n' "$2"
    for level in 1 2 3; do
      for rank in 1 2 3 4 5; do
        printf 'NAME%d(%d)=NO DATA\r\nTIME%d(%d)=9999\r\n' "$rank" "$level" "$rank" "$level"
      done
    done
  } | iconv -f UTF-8 -t CP932 >"$1"
}
