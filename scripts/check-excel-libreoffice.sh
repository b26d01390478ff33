#!/usr/bin/env bash
# Checks that LibreOffice opens the Excel files the program writes: the sample workbook of
# the Excel tests (every value kind, formulas, fonts, borders, fills, merges, page setup) is
# written as .xls and .xlsx and converted by LibreOffice Calc to .ods and to CSV; the check
# fails when LibreOffice reports an error, produces no file, or the CSV lacks the texts and
# numbers of the sample.
#
# Not part of scripts/test.sh: LibreOffice is large and slow to start. Install it first
# (apt-get install libreoffice-calc-nogui), then run from the repository root:
#     bash scripts/check-excel-libreoffice.sh [BUILD_DIR]
# BUILD_DIR defaults to build; the excel_sample helper is built there.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
soffice=$(command -v soffice || command -v libreoffice || true)
if [ -z "$soffice" ]; then
    echo "LibreOffice is not installed (apt-get install libreoffice-calc-nogui)" >&2
    exit 2
fi
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja >/dev/null
ninja -C "$build" excel_sample >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tests/components/excel_sample" "$work"
status=0
for f in sample.xls sample.xlsx; do
    for target in ods csv; do
        out="$work/out-${f#*.}-$target"
        mkdir -p "$out"
        # A profile of its own: no first-start dialogs, no clash with a running office.
        filter=$target
        [ "$target" = csv ] && filter='csv:Text - txt - csv (StarCalc):44,34,76,1'
        if ! log=$("$soffice" -env:UserInstallation="file://$work/profile" --headless \
                --convert-to "$filter" --outdir "$out" "$work/$f" 2>&1); then
            echo "FAIL $f -> $target: LibreOffice failed: $log"
            status=1
            continue
        fi
        result="$out/${f%.*}.$target"
        if [ ! -s "$result" ] || grep -qi 'error' <<<"$log"; then
            echo "FAIL $f -> $target: $log"
            status=1
            continue
        fi
        if [ "$target" = csv ]; then
            for want in 'Ведомость за март' '-7' 'boxed' 'да' '1230.64'; do
                if ! grep -q -- "$want" "$result"; then
                    echo "FAIL $f -> csv: \"$want\" missing"
                    status=1
                fi
            done
        fi
        echo "ok   $f -> $target ($(stat -c %s "$result") bytes)"
    done
done
exit $status
