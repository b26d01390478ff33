#!/usr/bin/env bash
# Builds the program, runs the demo reports headlessly against the stand-in server (a table
# result with keys, formulas and totals rows; a turbo result with subtotal groups; a question
# flow; a value list; arguments; a save; a pop-up menu; a refresh stamp that changes; a turnover
# statement filtered, marked, sorted and summed; a drill-down and an edit saved back; PDF,
# workbook and export files of a result) and then opens the program on the same exchange
# directory. --no-window stops after the headless part.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build/release formconstructor rptool
rptool=$root/build/release/apps/rptool

work=$(mktemp -d)
mkdir -p "$work/exchange" "$work/data" "$work/start"
cp demo/server/* "$work/data/"
# The program saves a template before it runs it: the user works on copies.
cp -r demo/templates "$work/templates"
"$rptool" serve "$work/exchange" --data "$work/data" 2> "$work/serve.log" &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
cd "$work/start"
"$rptool" connect --server "$work/exchange" --user demo --password demo

show() {
    echo
    echo "== $1"
    shift
    echo "\$ rptool run $*"
    "$rptool" run "$@" || echo "(exit status $?)"
}
show "table result: keys, formulas, group and grand totals" SALES
show "table template sent and run: a turnover statement" "$work/templates/balance.rpt"
show "turbo result: the template is sent, its companion lays the form, [1]/[2] subtotals" \
    "$work/templates/balance-turbo.rpt"
show "question flow: a choice, unanswered" CARD
show "question flow: \"Q-M\" answered, then \"Q-S\" with suggestions" CARD --answer Январь --answer Петров
echo DEBTS > POSLED.LST
show "value list of an argument question" DEBTS
show "value list: a value chosen" DEBTS --answer 02
echo MULTI >> POSLED.LST
show "check list of a \"Q-?\" question" MULTI
show "check list: two values ticked" MULTI --answer "01|02"
show "argument bar: the default month, then February, then the \"С НДС\" toggle" \
    TURNOVER --arg 02 --arg "|НДС"
show "argument tree: the southern region's clients" BYREGION --arg S
show "save with \"OK\"" --as save W SAVE
show "pop-up menu items from the server" --as pop CARD
show "refresh check: the stamp is unchanged, nothing is re-run" --as auto --stamp "stamp 1" SALES
printf 'stamp 2\r\n' > "$work/data/stamp.txt"
show "refresh check: the stamp changed, the report runs again" --as auto --stamp "stamp 1" SALES
show "turnover statement: two-row records, group headings, totals by level" STATEMENT
show "filter by a counterparty: its records, their headings and totals" STATEMENT --filter 's1=ромашка'
show "filter by the answer's value list (\";FILTR\")" STATEMENT --filter 'value=ЧП Иванов·ЧП ИВАНОВ;list-col=3'
show "filter by an amount range in the Дебет column" STATEMENT --filter 'amount-from=100;amount-to=1000;cols=5'
show "two records marked, only the marked rows, their totals" STATEMENT --mark 4 --mark 6 --only-marked
show "sorted by Дебет, descending, records kept whole" STATEMENT --sort 5:desc
show "quick sum of cells picked with Ctrl" STATEMENT --quick-sum 'E4:E7,F5' --out "$work/turnover.json"
grep -o '"quickSum": [0-9.]*' "$work/turnover.json"
show "result saved as JSON" SALES --out "$work/sales.json"
show "drill-down: account 60 opens its card (a double click), run after the statement" \
    ACCOUNTS --click 5:2
show "the limit column is edited and saved back (the server logs the data line)" \
    ACCOUNTS --edit 5:6=175000 --save-data
show "a column that is not editable refuses the edit" ACCOUNTS --edit 5:4=1
show "the pop-up menu of limits the statement asks the server for" --as pop LIMITS_MENU
show "printed output: the pages as PDF (a footer with the page number), the workbook without the window's columns" \
    SHIPMENTS --out "$work/shipments.pdf" --out "$work/shipments.xls"
show "the answer's export files (\";FSAVE[\"), written in the current directory" SHIPMENTS --fsave
echo "shipments.txt starts:"; head -n 3 shipments.txt | iconv -f cp1251 -t utf-8
show "server error" NOPE
echo
echo "== stand-in server log"
cat "$work/serve.log"

if [ "${1:-}" = "--no-window" ]; then
    exit 0
fi
# Started as the menu entry starts it, with the settings written above and a template open.
run=("$root/build/release/apps/formconstructor" --start "$work/start"
    --open "$work/templates/balance.rpt")
echo
echo "== the program, on the same exchange directory"
echo "$work/templates/balance.rpt is open (--open; Файл > Откpыть (F3) opens the others);"
echo "F8 runs it on the stand-in server."
echo "turnover.rpt and byregion.rpt run with an argument bar and an argument tree (Shift+F1...)."
echo "$work/templates/accounts.rpt the same way: double-click"
echo "an account for its card, in the card double-click the limit row, then \"Сохpанить данные\";"
echo "type digits to jump to an account, Alt+digits to search column 2."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    # Without a display nobody could close the window: it runs for a while and ends.
    seconds=${DEMO_SECONDS:-20}
    echo "no display: the program runs under xvfb-run for ${seconds} s (DEMO_SECONDS)"
    status=0
    timeout "$seconds" xvfb-run -a -s "-screen 0 1280x900x24" "${run[@]}" "$@" || status=$?
    [ "$status" -eq 124 ] && status=0
    exit "$status"
fi
"${run[@]}" "$@"
