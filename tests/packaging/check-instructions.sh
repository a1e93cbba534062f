#!/bin/bash
# Fails when the executable holds an instruction its oldest processor lacks. The 32-bit setup runs
# on a Pentium: no cmov, fcmov, fcomi/fucomi (Pentium Pro), no MMX or SSE (no mm or xmm register).
# The 64-bit twin runs on any x86-64: nothing beyond SSE2 (no ymm/zmm register, no SSE3 and later).
# usage: check-instructions.sh <exe>
set -eu
exe=$1
case $(file -b "$exe") in
    *x86-64*)
        objdump=x86_64-w64-mingw32-objdump
        pattern='%[yz]mm|\s(lddqu|movddup|movshdup|movsldup|haddp[sd]|hsubp[sd]|addsubp[sd]|pshufb|palignr|phadd|phsub|pabs|pmaddubsw|pmulhrsw|psign|pmulld|pminsd|pmaxsd|ptest|pblend|blendv?p[sd]|roundp[sd]|rounds[sd]|pcmpeqq|pcmpgtq|packusdw|pmovzx|pmovsx|pextr[bdq]|pinsr[bdq]|popcnt|lzcnt|tzcnt|crc32|andn|bextr|bzhi|mulx|pdep|pext|rorx|sarx|shlx|shrx|movbe|v[a-z]+)\s' ;;
    *)
        objdump=i686-w64-mingw32-objdump
        pattern='\s(cmov[a-z]*|fcmov[a-z]*|fu?comip?|emms|cpuid|rdtsc|sysenter)\s|%mm[0-7]|%xmm' ;;
esac
found=$($objdump -d --no-show-raw-insn "$exe" | grep -E "$pattern" || true)
if [ -n "$found" ]; then
    echo "instructions newer than the oldest supported processor:"
    echo "$found" | head -40
    echo "($(echo "$found" | wc -l) in all)"
    exit 1
fi
echo "no instruction newer than the oldest supported processor in $exe"
