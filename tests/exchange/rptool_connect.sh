#!/usr/bin/env bash
# rptool connect against rptool serve in a temporary directory: registered (exit 0, settings
# files written), a server that never answers and a missing directory (exit non-zero).
set -u
rptool=$1
work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/x" "$work/data" "$work/start" "$work/silent"
printf 'fa %%, %%\r\n' > "$work/data/PROTO.RPT"
"$rptool" serve "$work/x" --data "$work/data" --timeout 20 2> "$work/serve.log" &
server=$!
fail() { echo "FAIL: $*"; cat "$work/serve.log"; exit 1; }

cd "$work/start"
"$rptool" connect --server "$work/x" --user ivan --password pw || fail "registration refused"
[ -s klp.opt ] && [ -s klf.opt ] && [ -s path.wd ] || fail "settings files missing"
grep -q "R PROTO" "$work/serve.log" || fail "server did not log the request"

rm -f klp.opt
"$rptool" connect --server "$work/silent" --user ivan --password pw 2> err.txt && fail "silent server accepted"
grep -q "Сеpвеp не обслуживает каталог обмена!" err.txt || fail "no message for a silent server"
[ ! -e klp.opt ] || fail "klp.opt written after a failure"
"$rptool" connect --server "$work/none" --user ivan --password pw 2> /dev/null && fail "missing directory accepted"
"$rptool" connect --user ivan 2> /dev/null; [ $? -eq 2 ] || fail "usage error not reported"
echo "1 passed, 0 failed"
