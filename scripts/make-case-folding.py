#!/usr/bin/env python3
# Prints the rows of the case folding table in src/common/case_folding.cpp
# from the Unicode data of Debian's python3 (unicodedata): every code point whose
# case folding (or, failing that, lower-case form) is one code point, as ranges
# of a first and last code point, a stride (1, or 2 where upper and lower case
# alternate) and the distance to the folded code point.
import sys, unicodedata
def fold(c):
    f = c.casefold()
    if len(f) == 1: return f
    l = c.lower()
    return l if len(l) == 1 else c
pairs = []
for cp in range(0x110000):
    if 0xD800 <= cp < 0xE000: continue
    f = ord(fold(chr(cp)))
    if f != cp: pairs.append((cp, f - cp))
# Ranges: first, last, stride (1 or 2), delta.
ranges = []
i = 0
while i < len(pairs):
    cp, d = pairs[i]
    best = (cp, 1, 1)
    for stride in (1, 2):
        j = i
        while j + 1 < len(pairs) and pairs[j+1][0] == pairs[j][0] + stride and pairs[j+1][1] == d: j += 1
        if j - i + 1 > best[2]: best = (pairs[j][0], stride, j - i + 1)
    last, stride, n = best
    ranges.append((cp, last, stride if n > 1 else 1, d))
    i += n
print(len(pairs), len(ranges), unicodedata.unidata_version, file=sys.stderr)
for a, b, s, d in ranges:
    print("    {0x%04X, 0x%04X, %d, %d}," % (a, b, s, d))
