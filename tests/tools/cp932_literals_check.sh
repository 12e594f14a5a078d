#!/bin/bash
# Rewrites every game source with cp932_literals and holds each translation unit that meets
# non-ASCII text to GCC's own -fexec-charset=CP932: the assembly of both must be the same.
# usage: cp932_literals_check.sh <cp932_literals> <project root>
set -euo pipefail
tool=$1
root=$(cd "$2" && pwd)
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
includes=(-I"$root" -I"$root/platform/include" -I"$root/resources")

cd "$root"
mapfile -t sources < <(find shell game render records -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
for f in "${sources[@]}"; do
  "$tool" "$f" "$tree/$f"
done

# The game sources with non-ASCII bytes; a .cpp is compared when it or a game header it
# includes is one of them.
mapfile -t wide < <(LC_ALL=C grep -l $'[\x80-\xff]' "${sources[@]}" || true)
compared=0 failed=0
for f in "${sources[@]}"; do
  [[ $f == *.cpp ]] || continue
  deps=$(g++ -std=c++20 -MM "${includes[@]}" "$f" | tr -d '\\\n')
  meets=0
  for w in "${wide[@]}"; do
    if [[ $w == "$f" || " $deps " == *" $w "* || " $deps " == *" $root/$w "* ]]; then meets=1; fi
  done
  ((meets)) || continue
  out="$tree/${f%.cpp}"
  g++ -std=c++20 -finput-charset=UTF-8 -fexec-charset=CP932 -S -O0 "${includes[@]}" "$f" -o "$out.gcc.s"
  g++ -std=c++20 -S -O0 -I"$tree" "${includes[@]}" "$tree/$f" -o "$out.rewritten.s"
  if ! diff <(grep -v '^[[:space:]]*\.file' "$out.gcc.s") \
            <(grep -v '^[[:space:]]*\.file' "$out.rewritten.s") >"$out.diff"; then
    echo "FAIL: $f: the rewritten copy compiles to other bytes than GCC's CP932 literals"
    head -n 20 "$out.diff"
    failed=$((failed + 1))
  fi
  compared=$((compared + 1))
done

echo "compared $compared translation units, $failed differ"
if ((compared == 0)); then
  echo "FAIL: no game source with non-ASCII text was compared"
  exit 1
fi
((failed == 0))
