#!/bin/bash
# Shared by the journeys: a display of our own (Xvfb) with a real window manager
# (openbox), a fresh home, the program started on the virtual microscope, and
# helpers to wait, find windows, press keys, click and compare screenshots.
# Source it, then call journey_start PROGRAM [SHOT_FOLDER].
set -u
skip=77
work=""
pids=()

journey_cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    # Whatever does not end within 10 s (a program stuck at exit) is killed.
    local deadline=$((SECONDS + 10))
    for pid in "${pids[@]}"; do
        while kill -0 "$pid" 2>/dev/null && ((SECONDS < deadline)); do
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null
    done
    wait 2>/dev/null
    [ -n "$work" ] && rm -rf "$work"
}

fail() {
    echo "FAIL: $*"
    [ -n "${work:-}" ] && [ -f "$work/pelora.log" ] && tail -n 20 "$work/pelora.log"
    exit 1
}

# Polls a condition every 0.1 s for at most `seconds`.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    while ((SECONDS <= deadline)); do
        if "$@"; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

journey_tools() {
    for tool in Xvfb openbox wmctrl xdotool xwininfo import convert compare identify; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "SKIPPED: $tool is not installed (needs Xvfb, openbox, wmctrl, xdotool, xwininfo, ImageMagick)"
            exit $skip
        fi
    done
}

# Display, window manager and an empty home; the start-up prompt is switched off
# unless `prompt` is given.
journey_desktop() {
    journey_tools
    work=$(mktemp -d)
    trap journey_cleanup EXIT
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$work/display")"
    export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
    export XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    openbox >"$work/openbox.log" 2>&1 &
    pids+=($!)
    wait_for 10 wmctrl -m >/dev/null 2>&1 || fail "openbox did not start"
    registry="$XDG_CONFIG_HOME/Pelora/registry/SOFTWARE/vevizevedaRu.reg"
    if [ "${1:-}" != prompt ]; then
        mkdir -p "$(dirname "$registry")"
        printf '[LanguageID]\n"sys_date"=dword:00000000\n' >"$registry"
    fi
    pictures="$HOME/Documents/Pelora files/Picture"
    videos="$HOME/Documents/Pelora files/Video"
}

# A copy of the program with its data files in a folder of the journey's own, so
# what it writes beside itself (calibration, fonts, CapConfig.dat) stays there.
journey_install() {
    local built
    built=$(dirname "$1")
    installed="$work/program"
    mkdir -p "$installed"
    cp "$1" "$installed/"
    cp "$built"/*.ini "$built"/*.conf "$installed/" 2>/dev/null
    cp "$built"/*.html "$installed/" 2>/dev/null
    program="$installed/$(basename "$1")"
}

# Starts the program on the virtual microscope and waits for its main window
# (`microscope` may hold other options, e.g. --virtual-microscope=2,magnification=699).
journey_program() {
    [ -n "${installed:-}" ] || journey_install "$1"
    shots=${2:-}
    # shellcheck disable=SC2086 # journey_args holds separate options
    QT_QPA_PLATFORM=xcb "$program" "${microscope:---virtual-microscope}" ${journey_args:-} >>"$work/pelora.log" 2>&1 &
    pelora=$!
    pids+=($pelora)
    wait_for 30 has_main_window || fail "the main window did not appear"
    window=$(main_window)
    read -r nx ny nw nh < <(geometry "$window")
    menu=$((nh - 580)) # the client area below the menu bar is 843 x 580
    sleep 0.5
}

journey_start() {
    journey_desktop "${3:-}"
    journey_program "$1" "${2:-}"
}

alive() { kill -0 "$pelora" 2>/dev/null; }
# The program's managed top-level windows (the window manager's client list).
windows() { wmctrl -lp 2>/dev/null | awk -v pid="$pelora" '$3 == pid {print $1}'; }
main_window() { wmctrl -lp 2>/dev/null | awk -v pid="$pelora" '$3 == pid && $NF == "Pelora" {print $1; exit}'; }
has_main_window() { [ -n "$(main_window)" ]; }
# A window of the program other than the main window (a dialog or message box).
other_window() { windows | grep -vx "$(main_window)" | head -n1; }
has_other_window() { [ -n "$(other_window)" ]; }
no_other_window() { ! has_other_window; }
# Geometry "x y width height" of a window's client area.
geometry() {
    [ -n "$1" ] || return 0 # (xwininfo without an id waits for a click)
    xwininfo -id "$1" 2>/dev/null |
        awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}
shot() { import -window root "$work/$1.png" 2>/dev/null && { [ -z "${shots:-}" ] || cp "$work/$1.png" "$shots/"; }; }
# Pixels that differ between a region of two screenshots: crop "W H X1 Y1 X2 Y2".
differing() {
    convert "$work/$1.png" -crop "${3}x${4}+${5}+${6}" +repage "$work/a.png"
    convert "$work/$2.png" -crop "${3}x${4}+${7}+${8}" +repage "$work/b.png"
    compare -metric AE -fuzz 8% "$work/a.png" "$work/b.png" null: 2>&1 | awk '{print int($1)}'
}
# A real key press on the active main window (a key sent to a named window can
# stay held down in Xvfb and repeat).
key() { xdotool windowactivate --sync "$(main_window)" key --clearmodifiers "$@"; }
# Key press in the program's other window (dialog, message box).
dialog_key() { xdotool windowactivate --sync "$(other_window)" key --clearmodifiers "$@"; }
# Moves the pointer to a screen point and waits until it is there. xdotool's --sync
# waits for the pointer to move, so when it is already there that wait would only
# end at xdotool's own timeout, 15 s later.
pointer_to() {
    local X="" Y=""
    eval "$(xdotool getmouselocation --shell 2>/dev/null | grep -E '^[XY]=[0-9]+$')"
    [ "$X" = "$1" ] && [ "$Y" = "$2" ] && return 0
    xdotool mousemove --sync "$1" "$2"
}
# A click at a point of the main window's client area below the menu bar.
click_client() {
    pointer_to $((nx + $1)) $((ny + menu + $2)) && xdotool click "${3:-1}"
}
count_files() { find "$1" -maxdepth 1 -type f -name "$2" 2>/dev/null | wc -l; }
has_files() { (($(count_files "$1" "$2") >= $3)); }

# The distribution's python first: its openpyxl package installs there.
python=/usr/bin/python3
[ -x "$python" ] || python=python3

# F2 until the picture folder holds COUNT_AFTER JPEGs. F2 needs a running preview: on a
# slow machine (the sanitizer build) the first frames may still be on their way, and F2
# then says so. Try again, a few times.
take_picture() { # take_picture COUNT_AFTER
    for attempt in 1 2 3; do
        key F2
        wait_for 15 has_files "$pictures" '*.jpg' "$1" && return 0
        while has_other_window; do dialog_key Return; sleep 0.3; done
    done
    return 1
}
