#!/usr/bin/env bash
# Builds everything and runs every test: the regular suite, the suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz target for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
export CCACHE_DIR=${CCACHE_DIR:-$root/build/.ccache}
jobs=$(nproc)
fuzz_seconds=${FC_FUZZ_SECONDS:-20}

step() { printf '\n==== %s (%s)\n' "$1" "$(date +%T)"; }
# Passing tests print one line each; keep the log to failures and the summary.
quiet() { grep -v -E '^ *(Start +[0-9]+|[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed)' || true; }

# The sources as git knows them, or as they lie when this is no git checkout.
sources() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files -- '*.cpp' '*.h'
    else
        find src apps tests bench fuzz -name '*.cpp' -o -name '*.h'
    fi
}

step "format"
sources | xargs clang-format --dry-run --Werror
step "build"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build/release -j"$jobs"
step "tests"
ctest --test-dir build/release --output-on-failure -j"$jobs" --timeout 600 | quiet
step "side by side, the program's half on 6,500 rows (bench/compare.sh --quick)"
bash bench/compare.sh --quick --build build/release | sed -n '/^| Rows/,$p'

step "package"
# Builds the Debian package, installs it into this machine, runs it and removes it again.
if [ "$(id -u)" -eq 0 ]; then
    bash scripts/check-package.sh build/release --install
else
    echo "not root: the package is built and installed only by root (CI)"
fi

step "build with sanitizers"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFC_SANITIZE=ON -DFC_BENCH=OFF >/dev/null
ninja -C build/asan -j"$jobs"
step "tests with sanitizers"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=$root/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build/asan --output-on-failure -j"$jobs" --timeout 900 | quiet

step "fuzz targets"
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFC_FUZZ=ON \
    -DFC_GUI=OFF -DFC_TESTS=OFF -DFC_BENCH=OFF >/dev/null
ninja -C build/fuzz -j"$jobs"
# A fixed seed makes the run repeatable: a fault it meets is met again on any machine, and
# the input that showed it goes into tests/data/fuzz as a seed.
for f in build/fuzz/fuzz/fuzz_*; do
    [ -x "$f" ] || continue
    name=$(basename "$f")
    corpus=build/fuzz/corpus/$name
    mkdir -p "$corpus"
    seeds=tests/data/fuzz/${name#fuzz_}
    [ -d "$seeds" ] || seeds=
    echo "-- $name for ${fuzz_seconds}s"
    log=build/fuzz/$name.log
    if ! "$f" -seed=1 -artifact_prefix=build/fuzz/ -max_total_time="$fuzz_seconds" -max_len=65536 -print_final_stats=0 \
        "$corpus" $seeds >"$log" 2>&1; then
        grep -v -E '^#[0-9]+' "$log" | tail -n 60
        exit 1
    fi
    tail -n 1 "$log"
done
step "all tests passed"
