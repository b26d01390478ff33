#!/usr/bin/env bash
# Printing to a real CUPS queue: a cupsd of its own (configuration, spool and socket in a
# temporary directory) with a cups-pdf queue that writes each job as a PDF file, started for
# this test and stopped after it. The report window prints three copies through the print
# dialog's printer, rptool prints with --printer and --copies; the PDFs the queue writes are
# counted and their pages checked. Skips (exit 77) where CUPS cannot run: not root, or cupsd,
# cups-pdf or Ghostscript missing (scripts/install-deps.sh installs them).
set -u
rptool=$1
window_test=$2
demo=$3
skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "cups-pdf needs root"
for f in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/lib/cups/backend/cups-pdf /usr/bin/gs; do
    [ -x "$f" ] || skip "$f is not installed"
done
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -r "$ppd" ] || skip "$ppd is missing"

work=$(mktemp -d)
queue=fctest$$
conf=/etc/cups/cups-pdf-$queue.conf
cupsd_pid=
server_pid=
cleanup() {
    [ -n "$server_pid" ] && kill "$server_pid" 2> /dev/null
    [ -n "$cupsd_pid" ] && kill "$cupsd_pid" 2> /dev/null && wait "$cupsd_pid" 2> /dev/null
    rm -f "$conf"
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; tail -n 20 "$work/log/error_log" 2> /dev/null; exit 1; }

mkdir -p "$work/root" "$work/spool/tmp" "$work/cache" "$work/state" "$work/log" "$work/out" \
    "$work/rptool-out"
chmod 755 "$work" "$work/root"
cat > "$work/root/cupsd.conf" <<CONF
Listen $work/cups.sock
LogLevel warn
Browsing Off
DefaultAuthType None
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat > "$work/root/cups-files.conf" <<CONF
ServerRoot $work/root
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
SystemGroup root
Sandboxing Relaxed
CONF
# cups-pdf reads the configuration named after the queue's URI.
cat > "$conf" <<CONF
Out $work/out
AnonDirName $work/out
Grp root
Log $work/log
CONF
/usr/sbin/cupsd -f -c "$work/root/cupsd.conf" -s "$work/root/cups-files.conf" \
    > "$work/log/cupsd.out" 2>&1 &
cupsd_pid=$!
export CUPS_SERVER=$work/cups.sock
for _ in $(seq 50); do [ -S "$CUPS_SERVER" ] && break; sleep 0.1; done
[ -S "$CUPS_SERVER" ] || { cat "$work/log/cupsd.out"; fail "cupsd did not start"; }
lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P "$ppd" 2> /dev/null || fail "lpadmin"
lpadmin -d "$queue" || fail "default printer"

# Waits until `count` PDFs lie in `dir` and the queue has finished its jobs; prints how many
# there are.
wait_pdfs() {
    local dir=$1 count=$2
    for _ in $(seq 300); do
        [ "$(ls "$dir"/*.pdf 2> /dev/null | wc -l)" -ge "$count" ] && [ -z "$(lpstat -o 2> /dev/null)" ] \
            && break
        sleep 0.2
    done
    ls "$dir"/*.pdf 2> /dev/null | wc -l
}

# The report window: three copies, once through the print dialog.
FC_CUPS_PRINTER=$queue FC_CUPS_OUT=$work/out QT_QPA_PLATFORM=offscreen \
    "$window_test" --gtest_filter='*RealPrinter*' > "$work/log/window.txt" 2>&1 \
    || { cat "$work/log/window.txt"; fail "report window printing"; }
grep -q '\[  PASSED  \] 1 test' "$work/log/window.txt" \
    || { cat "$work/log/window.txt"; fail "the window test did not run"; }

# rptool: two copies on the default printer, with the print log the answer asks for.
rm -f "$work/out"/*.pdf
mkdir -p "$work/x" "$work/data" "$work/start"
cp "$demo"/server/* "$work/data/"
"$rptool" serve "$work/x" --data "$work/data" --timeout 120 2> "$work/log/serve.log" &
server_pid=$!
cd "$work/start"
"$rptool" connect --server "$work/x" --user demo --password pw 2> /dev/null || fail "connect"
"$rptool" run SHIPMENTS --print --copies 2 > "$work/log/print.txt" 2>&1 \
    || { cat "$work/log/print.txt"; fail "rptool --print"; }
grep -q "printed 2 on $queue" "$work/log/print.txt" || { cat "$work/log/print.txt"; fail "named"; }
[ "$(wait_pdfs "$work/out" 2)" -eq 2 ] || fail "two copies expected: $(ls "$work/out")"
for f in "$work/out"/*.pdf; do
    pages=$(pdfinfo "$f" 2> /dev/null | awk '/^Pages:/ {print $2}')
    [ "$pages" = 2 ] || fail "$f has ${pages:-no} pages"
done
for _ in $(seq 50); do grep -q "PRINTED" "$work/log/serve.log" && break; sleep 0.1; done
grep -q "E \[SED 'ОтгрPRINTED','1'\]" "$work/log/serve.log" \
    || { cat "$work/log/serve.log"; fail "print log request"; }
"$rptool" run SHIPMENTS --print --printer nosuch 2> "$work/log/err.txt" > /dev/null \
    && fail "an unknown printer accepted"
echo "1 passed, 0 failed"
