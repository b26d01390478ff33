#!/usr/bin/env bash
# rptool run with the action options against rptool serve over the demo answers: a click that
# drills down into an account card (printed after the statement), an outside program named and
# not started, an edit refused outside the editable columns, an edit saved back (the server
# logs the data line), and read-answer's offline edit.
set -u
rptool=$1
source_dir=$2
work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/x" "$work/data" "$work/start"
cp "$source_dir"/demo/server/* "$work/data/"
"$rptool" serve "$work/x" --data "$work/data" --timeout 60 2> "$work/serve.log" &
server=$!
fail() { echo "FAIL: $*"; cat "$work/serve.log"; exit 1; }

cd "$work/start"
"$rptool" connect --server "$work/x" --user demo --password pw > /dev/null || fail "registration"

"$rptool" run ACCOUNTS --click 5:2 > out.txt 2> err.txt || fail "drill-down: $(cat err.txt)"
grep -q "^-- ACCOUNT 60·$" out.txt || fail "the card's request is not printed"
grep -q "^Карточка счёта 60" out.txt || fail "the card's result is not printed"
grep -q "R ACCOUNT 60· -> ACCOUNT@60.out" "$work/serve.log" || fail "the card went to no server"

printf ';table\r\n;MAXCOL=3\r\n&&\r\n&02[nosuchprogram %%2]x|0000lb\r\n' > prog.out
"$rptool" read-answer prog.out --click 1:2 > /dev/null 2> err.txt || fail "program click failed"
grep -q "program: nosuchprogram x" err.txt || fail "the program is not named"
[ -e fh ] || fail "no handle file before the program"

"$rptool" run ACCOUNTS --edit 5:4=1 > /dev/null 2> err.txt; [ $? -eq 2 ] || fail "debit edited"
grep -q "cannot be edited" err.txt || fail "no message for a refused edit"

"$rptool" run ACCOUNTS --edit 5:6=175000,5 --save-data > out.txt 2> err.txt || fail "save: $(cat err.txt)"
grep -q "^60 | .* | 175 000.50$" out.txt || fail "the edit is not in the result"
grep -q "R LIMITS ·60·175 000.50·" "$work/serve.log" || fail "the data line is not logged"

"$rptool" read-answer "$work/data/ACCOUNTS.out" --offline --edit 3:6=7 --out res.json > /dev/null ||
    fail "offline edit"
grep -q '"X"' res.json || fail "the offline edit marks no row"
echo "1 passed, 0 failed"
