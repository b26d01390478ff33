#!/usr/bin/env python3
"""Writes a 10,000-row table answer (code page 866) for timing the PDF output as a whole
process: python3 bench/print_answer.py big.out; rptool read-answer big.out --offline --out big.pdf"""
import sys

lines = [";table", ";COLH[01]", ";MAXCOL=8", ";;0=Arial,10", ";;1=Arial,12,b", ";;2=Arial,10,b",
         ";COLW[02]=7680", ";PTITLES=$1:$1", ";PAGE=Оборот", "&&",
         "&02<1>Оборот по счетам|0000lc"]
for r in range(2, 10001):
    lines.append("&&")
    bold = "<2>" if r % 10 == 0 else ""
    lines.append("&02%s[K%d]Счет %d|1111lc" % (bold, r, r))
    for c in range(3, 9):
        lines.append("&%02d%s %.2f|1111rc|# ##0.00" % (c, bold, ((r * 31 + c * 17) % 100000) / 100.0))
with open(sys.argv[1] if len(sys.argv) > 1 else "big.out", "wb") as f:
    f.write(("\r\n".join(lines) + "\r\n").encode("cp866"))
