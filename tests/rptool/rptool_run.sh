#!/usr/bin/env bash
# rptool run against rptool serve on the demo answers: a table result printed and saved in
# each output type, a turbo result with subtotals, a question flow answered and unanswered, a
# value list, side requests by kind, a server error and a time-out.
set -u
rptool=$1
demo=$2
work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/x" "$work/data" "$work/start" "$work/silent"
cp "$demo"/server/* "$work/data/"
"$rptool" serve "$work/x" --data "$work/data" --timeout 60 2> "$work/serve.log" &
server=$!
fail() { echo "FAIL: $*"; cat "$work/out.txt" 2>/dev/null; cat "$work/serve.log"; exit 1; }
cd "$work/start"
"$rptool" connect --server "$work/x" --user demo --password pw 2> "$work/out.txt" || fail "connect"

"$rptool" run SALES > "$work/out.txt" || fail "SALES exit $?"
grep -q 'ИТОГО: | 23 | 2975.75' "$work/out.txt" || fail "SALES totals"
"$rptool" run SALES --out s.json > /dev/null || fail "json"
grep -q '"format": "table"' s.json && grep -q '"workbook"' s.json && grep -q '{2}K01|' s.json \
    || fail "json document"
"$rptool" run SALES --out s.vts > /dev/null && "$rptool" dump s.vts > dump.json || fail "vts"
grep -q 'ФОП Петренко' dump.json || fail "vts content"
# Excel output read back: .xls by this program's own reader, .xlsx by openpyxl.
"$rptool" run SALES --out s.xls > /dev/null && "$rptool" dump s.xls > xls.json || fail "xls"
grep -q '"ref": "B9", "text": "ИТОГО:"' xls.json || fail "xls totals text"
grep -q '"ref": "D9", "text": "2975.75", "value": 2975.75, "formula": "=D5+D8"' xls.json \
    || fail "xls totals formula"
# A workbook file leaves the window's own columns behind, as the window's save does.
grep -q '"ref": "IU3"' xls.json && fail "xls row key written"
grep -q '{"col": 1, "width": 256, "hidden": true' xls.json || fail "xls hidden key column"
"$rptool" run SALES --out s.xlsx > /dev/null && [ -s s.xlsx ] || fail "xlsx"
"$rptool" run "$demo/templates/balance-turbo.rpt" --out t.xlsx > /dev/null || fail "turbo xlsx"
if /usr/bin/python3 -c 'import openpyxl' 2> /dev/null; then
    /usr/bin/python3 - > xlsx.txt 2>&1 <<'PY' || { cat xlsx.txt; fail "xlsx content"; }
import openpyxl
f = openpyxl.load_workbook("s.xlsx").active
v = openpyxl.load_workbook("s.xlsx", data_only=True).active
assert f["B9"].value == "ИТОГО:", f["B9"].value
assert f["D9"].value == "=D5+D8" and v["D9"].value == 2975.75, (f["D9"].value, v["D9"].value)
assert f["C5"].value == "=SUM(C3:C4)" and v["C5"].value == 15
assert f["C3"].value == 12 and f["B3"].value == 'ООО "Ромашка"'
assert f["IU3"].value is None and f.column_dimensions["A"].hidden
assert f["B1"].font.b and f["B1"].font.sz == 12
t = openpyxl.load_workbook("t.xlsx", data_only=True).active
assert any(c == "Всего" for row in t.iter_rows(values_only=True) for c in row), "turbo totals"
PY
else
    echo "openpyxl missing: .xlsx content not checked"
fi
"$rptool" run SALES --out s.txt 2> /dev/null; [ $? -eq 1 ] || fail "unknown output type accepted"

# PDF through the page engine; several outputs in one run.
"$rptool" run SHIPMENTS --out ship.pdf --out ship.vts > "$work/out.txt" || fail "pdf exit"
grep -qx 'ship.pdf' "$work/out.txt" && [ -s ship.vts ] || fail "pdf and vts named"
head -c 5 ship.pdf | grep -q '%PDF-' || fail "pdf written"
if command -v pdfinfo > /dev/null; then
    pdfinfo ship.pdf > info.txt
    grep -q 'Pages: *2' info.txt && grep -q 'Title: *Отгрузки' info.txt || { cat info.txt; fail "pdf pages and title"; }
fi
{ printf ';table\r\n;NON_PRINT\r\n'; tail -n +2 "$work/data/SALES.out"; } > "$work/data/NOPRINT.out"
"$rptool" run NOPRINT --out np.pdf > /dev/null 2> err.txt; [ $? -eq 1 ] || fail "non_print pdf"
grep -q 'NON_PRINT' err.txt && [ ! -e np.pdf ] || fail "non_print message"
# The answer's export files, in the current directory; slots of one name share the file.
"$rptool" run SHIPMENTS --fsave > "$work/out.txt" || fail "fsave exit"
grep -q 'Н-1090' <(iconv -f cp1251 -t utf-8 codes.txt) || fail "fsave codes content"
sed -n 3p shipments.txt | iconv -f cp1251 -t utf-8 | grep -qx 'ЧП Иванов107.01.' \
    || { iconv -f cp1251 -t utf-8 shipments.txt | head -5; fail "fsave shared file"; }
# Mail: the report handed to xdg-email, here a script that records what it was given.
mkdir -p bin mailtmp
printf '#!/bin/sh\nprintf "%%s\\n" "$@" > "%s/mail-args"\n' "$work" > bin/xdg-email
chmod +x bin/xdg-email
PATH="$PWD/bin:$PATH" TMPDIR="$PWD/mailtmp" "$rptool" run SHIPMENTS --mail > "$work/out.txt" \
    || fail "mail exit"
grep -qx 'buh@example.org' "$work/mail-args" && grep -qx -- '--attach' "$work/mail-args" \
    || { cat "$work/mail-args"; fail "mail arguments"; }
ls mailtmp/*.xls > /dev/null 2>&1 || fail "mail attachment"
PATH="/nonexistent" "$rptool" run SHIPMENTS --mail > /dev/null 2> err.txt && fail "mail without composer"
grep -q 'Error while trying to send email' err.txt || fail "mail failure message"

"$rptool" run "$demo/templates/balance-turbo.rpt" > "$work/out.txt" || fail "turbo exit $?"
grep -q 'Всего |  | 9 700.00 | 4 800.00' "$work/out.txt" || fail "turbo subtotals"
grep -q 'G balance-turbo (template of 1153 bytes)' "$work/serve.log" || fail "template not sent as G"

"$rptool" run CARD > "$work/out.txt"; [ $? -eq 3 ] || fail "unanswered question exit"
grep -q 'question Q-M: Выберите месяц' "$work/out.txt" && grep -q '1. Март' "$work/out.txt" \
    || fail "question printed"
"$rptool" run CARD --answer Январь --answer Петров > "$work/out.txt" || fail "CARD exit $?"
grep -q 'Остаток на конец | 1250.00' "$work/out.txt" || fail "CARD result"
grep -q 'R CARD·3·Петров' "$work/serve.log" || fail "answers not sent in order"

echo DEBTS > POSLED.LST
"$rptool" run DEBTS > "$work/out.txt"; [ $? -eq 3 ] || fail "value list exit"
grep -q '03 ТОВ "ЛЮТИК"' "$work/out.txt" || fail "value list"
"$rptool" run DEBTS --answer 02 > "$work/out.txt" || fail "DEBTS exit $?"
grep -q 'Итого: | 420.50' "$work/out.txt" || fail "DEBTS result"

# Arguments: the default of the file, then each --arg a click on its button with a run.
rm -f POSLED.LST
"$rptool" run TURNOVER --arg 02 --arg "|НДС" > "$work/out.txt" || fail "TURNOVER exit $?"
grep -q 'Обороты за январь с НДС' "$work/out.txt" || fail "toggle not sent"
grep -q 'R TURNOVER \[02|\] -> turnover-02.out' "$work/serve.log" || fail "argument not sent"
grep -q 'R TURNOVER \[02|НДС\]' "$work/serve.log" || fail "toggle fields not sent"
"$rptool" run TURNOVER > /dev/null || fail "TURNOVER default"
grep -q 'R TURNOVER \[01|\] -> TURNOVER.out' "$work/serve.log" || fail "default not looked up"
"$rptool" run TURNOVER --arg 99 > /dev/null 2> err.txt; [ $? -eq 1 ] || fail "unknown --arg"
grep -q 'no argument 99' err.txt || fail "unknown --arg not said"
"$rptool" run BYREGION --arg S > "$work/out.txt" || fail "BYREGION exit $?"
grep -q 'ООО "Каштан" | 1210.00' "$work/out.txt" || fail "tree argument"
# A fresh local copy of a ";cache=" report answers without the server.
"$rptool" run --out "$work/c.vts" SALES > /dev/null || fail "cache copy"
# Its key: the report name and the two (empty) argument fields, after a separator each.
mkdir -p CACHE && cp "$work/c.vts" "CACHE/$(printf 'SALES\xc2\xb7\xc2\xb7')"
requests=$(grep -c 'R SALES' "$work/serve.log")
"$rptool" run SALES ";cache=s.vts" > "$work/out.txt" 2> err.txt || fail "cached exit $?"
grep -q 'from the cache: ' err.txt || fail "cache not said"
grep -q 'ИТОГО: | 23 | 2975.75' "$work/out.txt" || fail "cached result"
[ "$(grep -c 'R SALES' "$work/serve.log")" -eq "$requests" ] || fail "cached report was asked for"

"$rptool" run --as pop CARD > "$work/out.txt" && grep -q 'Акт сверки' "$work/out.txt" || fail "pop"
"$rptool" run --as save W SAVE > "$work/out.txt" && grep -qx 'OK' "$work/out.txt" || fail "save"
"$rptool" run --as auto --stamp 'stamp 1' SALES > "$work/out.txt" || fail "auto same"
grep -qx 'stamp 1' "$work/out.txt" || fail "unchanged stamp re-ran"
"$rptool" run --as auto --stamp 'stamp 0' SALES > "$work/out.txt" || fail "auto changed"
grep -q 'ИТОГО:' "$work/out.txt" || fail "changed stamp did not re-run"

"$rptool" run NOPE > /dev/null 2> err.txt; [ $? -eq 1 ] || fail "error exit"
grep -q 'E-Отчет NOPE на сервере не найден' err.txt || fail "error not printed"
"$rptool" run --server "$work/silent" --timeout 1 SALES > /dev/null 2> err.txt; [ $? -eq 2 ] \
    || fail "time-out exit"
grep -q 'no answer within 1 s' err.txt || fail "time-out message"
"$rptool" run --start "$work/nowhere" SALES 2> /dev/null; [ $? -eq 1 ] || fail "no settings accepted"
"$rptool" run 2> /dev/null; [ $? -eq 2 ] || fail "usage"
echo "1 passed, 0 failed"
