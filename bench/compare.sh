#!/usr/bin/env bash
# Side by side on the same data: rptool reading a large report result (table and turbo format)
# and writing it as .xls, .xlsx and PDF, against LibreOffice Calc loading the same rows as CSV
# and converting them to each. Whole processes in several rounds, medians, each side's start-up
# (the same work on a one-row file) taken off, as a user who keeps the program open sees it.
#
#   bench/compare.sh [--with-libreoffice] [--quick] [--reps N] [--build DIR] [--work DIR]
#
# --with-libreoffice  installs libreoffice-calc-nogui (apt-get) when soffice is missing and
#                     measures it; without it only this program's half runs.
# --quick             the 6,500-row tenth only, one run each (a check, not a measurement).
# Prints each run ("round name wall cpu peak-KB"), then a Markdown table (the README's).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=build/release
reps=5
sizes="65000 6500"
with_lo=0
work=""
while [ $# -gt 0 ]; do
    case $1 in
    --with-libreoffice) with_lo=1 ;;
    --quick) sizes=6500 reps=1 ;;
    --reps) reps=$2; shift ;;
    --build) build=$2; shift ;;
    --work) work=$2; shift ;;
    *) sed -n '2,13p' "$0" >&2; exit 2 ;;
    esac
    shift
done

bash scripts/install-deps.sh
if [ "$with_lo" = 1 ] && ! command -v soffice >/dev/null; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
        libreoffice-calc-nogui
fi

[ -f "$build/build.ninja" ] ||
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" rptool bench_results >/dev/null
case $build in
/*) ;;
*) build=$root/$build ;;
esac
rptool=$build/apps/rptool
bench=$build/bench/bench_results

if [ -z "$work" ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
fi
mkdir -p "$work"
raw=$work/figures.txt
: >"$raw"

# One process timed: wall time, CPU time (user + system) and peak memory (KB) of the command
# and the processes it waited for, in microseconds rather than the 10 ms steps of time(1).
timer='
import os, sys, time
start = time.perf_counter()
pid = os.posix_spawnp(sys.argv[2], sys.argv[2:], os.environ)
_, status, ru = os.wait4(pid, 0)
wall = time.perf_counter() - start
with open(sys.argv[1], "w") as f:
    f.write("%.4f %.4f %d\n" % (wall, ru.ru_utime + ru.ru_stime, ru.ru_maxrss))
sys.exit(0 if os.waitstatus_to_exitcode(status) == 0 else 1)
'

# job NAME CMD...: a command to time. All jobs run once a round, `reps` rounds, so that a change
# of the machine's load falls on both sides alike; each round's figure is taken less the same
# round's start-up.
names=()
cmds=()
job() {
    names+=("$1")
    shift
    cmds+=("$(printf '%q ' "$@")")
}

# The data: the answers as the server leaves them, the companion of the turbo answer, the same
# rows as CSV in UTF-8, and one-row versions of each for the start-up.
mkdir -p "$work/one" "$work/lo-out"
"$bench" --write-data="$work/one" --rows=1
for n in $sizes; do
    mkdir -p "$work/$n"
    "$bench" --write-data="$work/$n" --rows="$n"
done

ours() { # ours NAME DIR ANSWER [--out FILE]
    local name=$1 dir=$2 answer=$3
    shift 3
    job "$name" "$rptool" read-answer "$dir/$answer" --start "$dir" "$@"
}
# Output types rptool writes (PDF only when it was built with its windows).
types="xls xlsx"
if "$rptool" read-answer "$work/one/table001.out" --start "$work/one" --out "$work/probe.pdf" \
    >/dev/null 2>&1; then
    types="$types pdf"
fi
for d in one $sizes; do
    ours "$d.table" "$work/$d" table001.out
    ours "$d.turbo" "$work/$d" turbo001.out
    for t in $types; do
        ours "$d.$t" "$work/$d" table001.out --out "$work/$d/out.$t"
    done
done

if [ "$with_lo" = 1 ]; then
    profile=$work/lo-profile
    declare -A filter=([csv]='csv:Text - txt - csv (StarCalc):44,34,76,1' [xls]=xls [xlsx]=xlsx
        [pdf]=pdf)
    for d in one $sizes; do
        for t in csv xls xlsx pdf; do
            job "lo.$d.$t" soffice -env:UserInstallation="file://$profile" --headless --norestore \
                --infilter="CSV:44,34,76,1" --convert-to "${filter[$t]}" --outdir "$work/lo-out" \
                "$work/$d/data.csv"
        done
    done
    # A first start makes the profile; it is not timed.
    soffice -env:UserInstallation="file://$profile" --headless --norestore \
        --convert-to csv --outdir "$work/lo-out" "$work/one/data.csv" >/dev/null 2>&1 || true
fi

load() { cut -d' ' -f1-3 /proc/loadavg; }
loadBefore=$(load)
for ((r = 1; r <= reps; r++)); do
    for i in "${!names[@]}"; do
        eval "/usr/bin/python3 -c \"\$timer\" \"\$work/time.txt\" ${cmds[$i]}" \
            >/dev/null 2>"$work/stderr.txt" || {
            echo "failed: ${cmds[$i]}" >&2
            cat "$work/stderr.txt" >&2
            exit 1
        }
        echo "$r ${names[$i]} $(cat "$work/time.txt")" | tee -a "$raw"
    done
done
loadAfter=$(load)

# The table: each round's figure less the same round's start-up, the median over the rounds,
# and the ratios of those medians.
echo
awk -v sizes="$sizes" -v lo="$with_lo" -v reps="$reps" -v before="$loadBefore" -v after="$loadAfter" '
    { wall[$2, $1] = $3; cpu[$2, $1] = $4; has[$2] = 1; if ($5 > kb[$2]) kb[$2] = $5 }
    function median(v, n,    i, j, t) {
        for (i = 2; i <= n; i++)
            for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
        return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    # The median over the rounds of name less base (base "" for the figure itself).
    function net(a, name, base,    v, r, x) {
        for (r = 1; r <= reps; r++) v[r] = a[name, r] - (base == "" ? 0 : a[base, r])
        return median(v, reps)
    }
    # A figure at or below nothing: the work was lost in the spread of the start-up.
    function secs(v) {
        if (v <= 0) { lost = 1; return "≈ 0" }
        return v < 0.01 ? sprintf("%.1f ms", v * 1000) : v < 1 ? sprintf("%.0f ms", v * 1000) : sprintf("%.2f s", v)
    }
    function mb(k) { return sprintf("%.0f MB", k / 1024) }
    function cell(name, base) {
        if (!(name in has)) return "n/a"
        return secs(net(wall, name, base)) " / " secs(net(cpu, name, base)) " / " mb(kb[name])
    }
    function ratio(name, base, loName, loBase) {
        if (!(name in has) || !(loName in has)) return "n/a"
        return quotient(net(wall, loName, loBase), net(wall, name, base)) " / " \
            quotient(net(cpu, loName, loBase), net(cpu, name, base))
    }
    function quotient(a, b) { return a <= 0 || b <= 0 ? "n/a" : sprintf("%.1f", a / b) }
    function row(what, name, base, loName, loBase,    line) {
        line = "| " what " | " cell(name, base)
        if (lo) line = line " | " cell(loName, loBase) " | " ratio(name, base, loName, loBase)
        print line " |"
    }
    function commas(n) { return n >= 1000 ? commas(int(n / 1000)) sprintf(",%03d", n % 1000) : n }
    END {
        head = "| Rows × 20 columns | This program: wall / CPU / peak memory"
        rule = "|---|---"
        if (lo) {
            head = head " | LibreOffice Calc: wall / CPU / peak memory | LibreOffice ÷ this program (wall / CPU)"
            rule = rule "|---|---"
        }
        print head " |"
        print rule "|"
        n = split(sizes, size, " ")
        for (i = 1; i <= n; i++) {
            s = size[i]
            rows = commas(s + 0)
            load = lo ? " (LibreOffice: load the CSV)" : ""
            conv = lo ? " (LibreOffice: load the CSV, write" : ""
            row(rows ": read the table-format answer" load, s ".table", "one.table", "lo." s ".csv", "lo.one.csv")
            row(rows ": read the turbo-format answer" load, s ".turbo", "one.turbo", "lo." s ".csv", "lo.one.csv")
            row(rows ": read the table answer, write .xls" (lo ? conv " .xls)" : ""), s ".xls", "one.xls", "lo." s ".xls", "lo.one.xls")
            row(rows ": read the table answer, write .xlsx" (lo ? conv " .xlsx)" : ""), s ".xlsx", "one.xlsx", "lo." s ".xlsx", "lo.one.xlsx")
            row(rows ": read the table answer, write PDF" (lo ? conv " PDF)" : ""), s ".pdf", "one.pdf", "lo." s ".pdf", "lo.one.pdf")
        }
        printf "\nStart-up taken off (the same work on one row, medians): this program %s / %s (reading)",
            secs(net(wall, "one.table", "")), secs(net(cpu, "one.table", ""))
        if (lo) printf ", LibreOffice %s / %s (loading and writing back a CSV file)",
            secs(net(wall, "lo.one.csv", "")), secs(net(cpu, "lo.one.csv", ""))
        printf ".\n"
        if (n == 2) {
            printf "Growth from %s to %s rows (start-up off, wall / CPU): table format %s / %s×, turbo format %s / %s×.\n",
                commas(size[2] + 0), commas(size[1] + 0),
                quotient(net(wall, size[1] ".table", "one.table"), net(wall, size[2] ".table", "one.table")),
                quotient(net(cpu, size[1] ".table", "one.table"), net(cpu, size[2] ".table", "one.table")),
                quotient(net(wall, size[1] ".turbo", "one.turbo"), net(wall, size[2] ".turbo", "one.turbo")),
                quotient(net(cpu, size[1] ".turbo", "one.turbo"), net(cpu, size[2] ".turbo", "one.turbo"))
        }
        if (lost) print "≈ 0: the work was smaller than the start-up'"'"'s spread from round to round."
        printf "%d round%s; load average (1, 5, 15 minutes) before: %s, after: %s.\n", reps,
            reps == 1 ? "" : "s", before, after
    }' "$raw"
