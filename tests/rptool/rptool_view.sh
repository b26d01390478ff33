#!/usr/bin/env bash
# rptool read-answer with the result options of the view on the demo turnover statement: the
# filter by a string, an amount range and a list value, marks and the marked rows only, a sort,
# the quick sum, and the options' refusals.
set -u
rptool=$1
answer=$2/server/STATEMENT.out
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; cat "$work/out.json" 2>/dev/null; exit 1; }
run() { "$rptool" read-answer "$answer" --offline "$@" > "$work/out.json"; }
has() { grep -q -- "$1" "$work/out.json" || fail "missing $1"; }
hidden() { # the rows the filter hid, in order
    grep -o '"row": [0-9]*, "height": [-0-9]*, "hidden": true' "$work/out.json" \
        | sed 's/"row": \([0-9]*\),.*/\1/' | tr '\n' ' '
}

run --filter 's1=ромашка' --dump || fail "string filter exit $?"
has '"statusText": "Фильтp включен \[2\]"'
[ "$(hidden)" = "6 7 12 " ] || fail "string filter hid: $(hidden)"

run --filter 'amount-from=100;amount-to=1000;cols=5' --dump || fail "amount filter exit $?"
has '"statusText": "Фильтp включен \[2\] по \\"Дебет\\""'
[ "$(hidden)" = "4 5 9 10 11 12 13 " ] || fail "amount filter hid: $(hidden)"
has '"ref": "E14", "text": "1 400.25"' # the grand total of the rows shown

run --filter 'value=ЧП Иванов·ЧП ИВАНОВ;list-col=3' || fail "list filter exit $?"
has '"statusText": "Фильтp включен \[1\]"'
run --filter 's1=ромашка' --filter '' || fail "clearing exit $?"
has '"statusText": ""'

run --mark 4 --mark 6 --only-marked --dump || fail "marks exit $?"
has '"markedRecords": 2'
has '"statusText": "   Только выделенные стpоки"'
[ "$(hidden)" = "3 7 8 9 10 11 12 13 " ] || fail "marked rows only hid: $(hidden)"
run --mark 4 --unmark-all || fail "unmark exit $?"
has '"markedRecords": 0'
"$rptool" read-answer "$answer" --offline --mark 5 2> "$work/err.txt" > /dev/null \
    || fail "a second row is a record's too"
run --mark 4 --mark 5 || fail "mark twice exit $?"
has '"markedRecords": 0'

run --sort 5:desc --dump || fail "sort exit $?"
has '"statusText": "   v Соpтиpовка по: \\"Дебет\\""'
has '"ref": "C6", "text": "ТОВ \\"Лютик\\""'
has '"ref": "IU6", "text": "{2}A3|"' # the row's keys went with it

run --quick-sum 'E4:E7,E6:F6' || fail "quick sum exit $?"
has '"quickSum": 2900.75'
run || fail "plain exit $?"
has '"quickSum": null'

run --filter 'amount-from=1;cols=5' 2> "$work/err.txt"; [ $? -eq 1 ] || fail "half a range accepted"
grep -q 'Укажите веpхний диапазон сумм!' "$work/err.txt" || fail "bound message"
run --filter 'amount=12q;cols=5' 2> "$work/err.txt"; [ $? -eq 1 ] || fail "bad amount accepted"
grep -q 'Сумма указана неверно: 12q' "$work/err.txt" || fail "amount message"
run --filter 'amount=5' 2> "$work/err.txt"; [ $? -eq 2 ] || fail "amount without cols accepted"
run --filter 'colour=red' 2> "$work/err.txt"; [ $? -eq 2 ] || fail "unknown field accepted"
run --sort 99 2> "$work/err.txt"; [ $? -eq 2 ] || fail "sort outside the sheet accepted"
run --quick-sum 'nowhere' 2> "$work/err.txt"; [ $? -eq 2 ] || fail "bad range accepted"
echo "1 passed, 0 failed"
