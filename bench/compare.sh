#!/usr/bin/env bash
# Side by side on the same data: rptool reading a large report result (table and turbo format)
# and writing it as .xls, .xlsx and PDF, against LibreOffice Calc loading the same rows as CSV
# and converting them to each. Whole processes, the median of several runs, each side's start-up
# (the same work on a one-row file) taken off, as a user who keeps the program open sees it.
#
#   bench/compare.sh [--with-libreoffice] [--quick] [--reps N] [--build DIR] [--work DIR]
#
# --with-libreoffice  installs libreoffice-calc-nogui (apt-get) when soffice is missing and
#                     measures it; without it only this program's half runs.
# --quick             the 6,500-row tenth only, one run each (a check, not a measurement).
# Prints a Markdown table (the README's performance table comes from it) and the raw figures.
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

# run NAME CMD...: runs the command `reps` times; records the median wall time, the median CPU
# time (user + system) and the largest peak memory (KB) as "NAME wall cpu kb".
run() {
    local name=$1
    shift
    local t=$work/time.txt i
    : >"$work/runs.txt"
    for ((i = 0; i < reps; i++)); do
        /usr/bin/time -f '%e %U %S %M' -o "$t" "$@" >/dev/null 2>"$work/stderr.txt" || {
            echo "failed: $*" >&2
            cat "$work/stderr.txt" >&2
            return 1
        }
        awk '{ printf "%s %.3f %s\n", $1, $2 + $3, $4 }' "$t" >>"$work/runs.txt"
    done
    local wall cpu kb
    wall=$(cut -d' ' -f1 "$work/runs.txt" | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
    cpu=$(cut -d' ' -f2 "$work/runs.txt" | sort -g | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
    kb=$(cut -d' ' -f3 "$work/runs.txt" | sort -g | tail -n 1)
    echo "$name $wall $cpu $kb" | tee -a "$raw"
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
    run "$name" "$rptool" read-answer "$dir/$answer" --start "$dir" "$@"
}
# Output types rptool writes (PDF once it has a writer for it).
types="xls xlsx"
if "$rptool" read-answer "$work/one/table001.out" --start "$work/one" --out "$work/probe.pdf" \
    >/dev/null 2>&1; then
    types="$types pdf"
fi

ours one.table "$work/one" table001.out
ours one.turbo "$work/one" turbo001.out
for t in $types; do
    ours "one.$t" "$work/one" table001.out --out "$work/one/out.$t"
done
for n in $sizes; do
    ours "$n.table" "$work/$n" table001.out
    ours "$n.turbo" "$work/$n" turbo001.out
    for t in $types; do
        ours "$n.$t" "$work/$n" table001.out --out "$work/$n/out.$t"
    done
done

if [ "$with_lo" = 1 ]; then
    profile=$work/lo-profile
    lo() { # lo NAME FILTER CSV
        local name=$1 filter=$2 csv=$3
        run "$name" soffice -env:UserInstallation="file://$profile" --headless --norestore \
            --infilter="CSV:44,34,76,1" --convert-to "$filter" --outdir "$work/lo-out" "$csv"
    }
    # A first start makes the profile; it is not timed.
    soffice -env:UserInstallation="file://$profile" --headless --norestore \
        --convert-to csv --outdir "$work/lo-out" "$work/one/data.csv" >/dev/null 2>&1 || true
    declare -A filter=([csv]='csv:Text - txt - csv (StarCalc):44,34,76,1' [xls]=xls [xlsx]=xlsx
        [pdf]=pdf)
    for t in csv xls xlsx pdf; do
        lo "lo.one.$t" "${filter[$t]}" "$work/one/data.csv"
    done
    for n in $sizes; do
        for t in csv xls xlsx pdf; do
            lo "lo.$n.$t" "${filter[$t]}" "$work/$n/data.csv"
        done
    done
fi

# The table: figures less the start-up of the same work, and the ratios.
awk -v sizes="$sizes" -v lo="$with_lo" '
    { wall[$1] = $2; cpu[$1] = $3; kb[$1] = $4 }
    function net(a, name, base,    v) { v = a[name] - a[base]; return v < 0.001 ? 0.001 : v }
    function secs(v) { return v < 1 ? sprintf("%.0f ms", v * 1000) : sprintf("%.2f s", v) }
    function mb(k) { return sprintf("%.0f MB", k / 1024) }
    function cell(name, base) {
        if (!(name in wall)) return "n/a"
        return secs(net(wall, name, base)) " / " secs(net(cpu, name, base)) " / " mb(kb[name])
    }
    function ratio(name, base, loName, loBase) {
        if (!(name in wall) || !(loName in wall)) return "n/a"
        return sprintf("%.1f / %.1f", net(wall, loName, loBase) / net(wall, name, base),
                       net(cpu, loName, loBase) / net(cpu, name, base))
    }
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
        printf "\nStart-up taken off (the same work on one row): this program %s (reading)", secs(wall["one.table"])
        if (lo) printf ", LibreOffice %s (loading and writing back a CSV file)", secs(wall["lo.one.csv"])
        printf ".\n"
        if (n == 2) {
            printf "Growth from %s to %s rows (wall, start-up off): table format %.1f×, turbo format %.1f×.\n",
                commas(size[2] + 0), commas(size[1] + 0),
                net(wall, size[1] ".table", "one.table") / net(wall, size[2] ".table", "one.table"),
                net(wall, size[1] ".turbo", "one.turbo") / net(wall, size[2] ".turbo", "one.turbo")
        }
    }' "$raw"
