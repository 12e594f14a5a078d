#!/usr/bin/env bash
# The Linux build passes Debian's hardening-check, and the Windows build keeps ASLR, with 64-bit
# addresses, and DEP. The processor's control-flow marking is asked for only where the C
# library's own start files carry it (not on Debian 12): without them no program can.
# Usage: check_hardening.sh <zum32> <zum32.exe>
set -euo pipefail

program=$1
exe=$2

options=()
readelf -n "$(gcc -print-file-name=Scrt1.o)" | grep -q 'x86 feature: IBT, SHSTK' || options+=(--nocfprotection)
hardening-check "${options[@]}" "$program" || { echo "FAIL: $program is not hardened" >&2; exit 1; }

characteristics=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p')
for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
  grep -qw "$flag" <<<"$characteristics" || { echo "FAIL: $exe lacks $flag" >&2; exit 1; }
done
echo "hardening checked: $program, $exe"
