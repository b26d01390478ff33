#!/usr/bin/env bash
# rptool read-answer --out: the result saved by the extension of the file, and an answer longer
# than a result read up to the last result row with the message on standard error.
set -u
rptool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; cat "$work/err.txt" 2>/dev/null; exit 1; }
cd "$work"

# 65,530 rows of one cell, two more than a result holds, and the server's framing byte.
awk 'BEGIN { printf ";table\r\n"
             for (r = 1; r <= 65530; r++) printf "&&\r\n&02r%d|0000lb\r\n", r
             printf "Z" }' > a1b2c3d4.out
"$rptool" read-answer a1b2c3d4.out --out big.vts > out.txt 2> err.txt || fail "exit code"
[ -s out.txt ] && fail "printed more than the messages"
grep -q 'Внимание: Результат длиннее листа: показаны первые 65528 строк' err.txt ||
    fail "no message on stderr"
"$rptool" dump big.vts > big.json || fail "dump of the saved result"
grep -q '"maxRow": 65528' big.json || fail "rows of the saved result"
grep -q '"ref": "B65528", "text": "r65528"' big.json || fail "last row"
grep -q '"ref": "B65529"' big.json && fail "a row past the result"

# Without --out the message is in the document.
"$rptool" read-answer a1b2c3d4.out > doc.json 2> err.txt || fail "exit code without --out"
grep -q 'показаны первые 65528 строк' doc.json || fail "no message in the document"

for type in xls xlsx json; do
    "$rptool" read-answer a1b2c3d4.out --out "big.$type" 2> err.txt || fail "writing .$type"
    [ -s "big.$type" ] || fail "empty .$type"
done
"$rptool" read-answer a1b2c3d4.out --out big.txt 2> err.txt && fail "unknown type accepted"
grep -q 'unknown output type' err.txt || fail "unknown type not named"
[ -e big.txt ] && fail "a file of an unknown type"

# A question ("Имя" in code page 866) gives no result to save.
printf 'Q-S\xfa\x88\xac\xef\xfa\xfa10\r\nZ' > q1b2c3d4.out
"$rptool" read-answer q1b2c3d4.out --out q.vts 2> err.txt && fail "a question saved"
[ -e q.vts ] && fail "a file for a question"
echo "1 passed, 0 failed"
