#!/usr/bin/env bash
# Builds the program and opens it on the demo data.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build/release formconstructor rptool
run=(build/release/apps/formconstructor)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "no display: running under xvfb-run"
    exec xvfb-run -a -s "-screen 0 1280x900x24" "${run[@]}" "$@"
fi
exec "${run[@]}" "$@"
