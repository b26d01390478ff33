#!/usr/bin/env bash
# Pictures of the program under Xvfb at 96 and 192 dots per inch (Qt's scale factor 1 and 2):
# the main window alone, with a designer window (a statement line being edited) and with a
# report window (the demo balance
# answer, read offline). Writes docs/screen-{main,designer,report}-{96,192}.png.
#   bash scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
program=$build/apps/formconstructor
rptool=$build/apps/rptool
work=$(mktemp -d)
mkdir -p "$work/start/CACHE" "$work/templates" "$work/exchange" "$work/data"
cp "$root/demo/server/balance.out" "$work/start/CACHE/"
cp "$root/demo/templates/balance.rpt" "$work/templates/"
# The stand-in server answers the registration the program sends at start.
cp "$root/demo/server/"* "$work/data/"
"$rptool" serve "$work/exchange" --data "$work/data" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null || true; rm -rf "$work"' EXIT
(cd "$work/start" && "$rptool" connect --server "$work/exchange" --user demo --password demo >/dev/null)

# shot NAME SCALE CLICK ARGS...: starts the program on a screen of its own, waits until it
# has settled, double-clicks at CLICK ("X,Y" in pixels at scale 1, or "-"), grabs its window
# and ends it.
shot() {
    local name=$1 scale=$2 click=$3
    shift 3
    local out=$root/docs/screen-$name-$((96 * scale)).png
    local width=$((1024 * scale)) height=$((768 * scale))
    QT_SCALE_FACTOR=$scale xvfb-run -a -s "-screen 0 ${width}x${height}x24 -dpi 96" bash -c '
        cd "$1/start"
        out=$2 click=$3 scale=$4
        shift 4
        "$@" &
        pid=$!
        for _ in $(seq 50); do
            id=$(xdotool search --onlyvisible --class formconstructor 2>/dev/null | tail -n 1) || true
            [ -n "$id" ] && break
            sleep 0.2
        done
        # No window manager here: the focus is given by hand, as a click would.
        xdotool windowfocus "$id" 2>/dev/null || true
        sleep 4
        if [ "$click" != - ]; then
            xdotool mousemove --window "$id" $((${click%,*} * scale)) $((${click#*,} * scale)) \
                click --repeat 2 --delay 80 1 mousemove 0 0
            sleep 1
        fi
        # The whole screen, cut to the window: pop-ups over it are windows of their own.
        eval "$(xdotool getwindowgeometry --shell "$id")"
        xwd -silent -root | convert xwd:- -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
        kill "$pid"
        wait "$pid" 2>/dev/null || true
    ' shot "$work" "$out" "$click" "$scale" "$program" --start "$work/start" "$@"
    echo "$out"
}

for scale in 1 2; do
    shot main "$scale" -
    # The statement "EVERY OPERATION" in the formula line editor: the status bar shows the
    # caret position while a designer has it disabled.
    shot designer "$scale" 100,115 --open "$work/templates/balance.rpt"
    shot report "$scale" - @balance.out
done
