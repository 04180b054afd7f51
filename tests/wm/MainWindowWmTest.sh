#!/bin/bash
# The main window under a real window manager (Xvfb + openbox): maximize gives
# full screen with every control hidden, Escape brings the window back with its
# controls, the close button asks first and "No" keeps the program running.
# Usage: MainWindowWmTest.sh PROGRAM [SHOT_FOLDER]
# Exit 77 (skipped) when a tool is missing.
set -u
program=${1:?program}
shots=${2:-}
skip=77

for tool in Xvfb openbox wmctrl xdotool xwininfo import convert compare; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed (needs Xvfb, openbox, wmctrl, xdotool, xwininfo, ImageMagick)"
        exit $skip
    fi
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
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

# A display of our own.
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

# No start-up prompt: the user switched it off before.
mkdir -p "$XDG_CONFIG_HOME/Pelora/registry/SOFTWARE"
printf '[LanguageID]\n"sys_date"=dword:00000000\n' >"$XDG_CONFIG_HOME/Pelora/registry/SOFTWARE/vevizevedaRu.reg"

QT_QPA_PLATFORM=xcb "$program" --virtual-microscope >"$work/pelora.log" 2>&1 &
pelora=$!
pids+=($pelora)

alive() { kill -0 "$pelora" 2>/dev/null; }
# The program's managed top-level windows (the window manager's client list).
windows() { wmctrl -lp 2>/dev/null | awk -v pid="$pelora" '$3 == pid {print $1}'; }
main_window() { wmctrl -lp 2>/dev/null | awk -v pid="$pelora" '$3 == pid && $NF == "Pelora" {print $1; exit}'; }
has_main_window() { [ -n "$(main_window)" ]; }
# Geometry "x y width height" of a window's client area.
geometry() {
    [ -n "$1" ] || return 0 # (xwininfo without an id waits for a click)
    xwininfo -id "$1" 2>/dev/null |
        awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}
shot() { import -window root "$work/$1.png" 2>/dev/null && { [ -z "$shots" ] || cp "$work/$1.png" "$shots/"; }; }
# Pixels that differ between a region of two screenshots: crop "W H X1 Y1 X2 Y2".
differing() {
    convert "$work/$1.png" -crop "${3}x${4}+${5}+${6}" +repage "$work/a.png"
    convert "$work/$2.png" -crop "${3}x${4}+${7}+${8}" +repage "$work/b.png"
    compare -metric AE -fuzz 8% "$work/a.png" "$work/b.png" null: 2>&1 | awk '{print int($1)}'
}

wait_for 20 has_main_window || fail "the main window did not appear"
window=$(main_window)
read -r nx ny nw nh < <(geometry "$window")
menu=$((nh - 580)) # the client area below the menu is 843 x 580
echo "normal window at $nx,$ny ${nw}x$nh"
[ "$nw" = 843 ] || fail "unexpected window width $nw"
# The files strip and the tool rows are painted once the window shows.
sleep 0.5
shot normal

# Maximize: full screen over the whole screen.
wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
is_full_screen() {
    alive && has_main_window && [ "$(geometry "$(main_window)")" = "0 0 1280 1024" ]
}
wait_for 10 is_full_screen || fail "no full screen after maximize (alive: $(alive && echo yes || echo no))"
alive || fail "the program ended on maximize"
# Controls hidden: where the files strip (12, 80, 162 x 460) would be, the
# preview shows instead.
strip_hidden() {
    shot fullscreen
    (($(differing normal fullscreen 162 460 $((nx + 12)) $((ny + menu + 80)) 12 80) > 162 * 460 / 2))
}
wait_for 5 strip_hidden || fail "full screen still shows the files strip"
# No menu and no tool row either: the top band is the preview's.
(($(differing normal fullscreen 640 34 $((nx + 193)) $((ny + menu)) 193 0) > 640 * 34 / 4)) ||
    fail "full screen still shows the tool row"

# Escape: back at its place with every control.
# A real key press on the active window (a key sent to a named window can stay
# held down in Xvfb and repeat).
xdotool windowactivate --sync "$(main_window)" key Escape
is_normal_again() { alive && has_main_window && [ "$(geometry "$(main_window)")" = "$nx $ny $nw $nh" ]; }
wait_for 10 is_normal_again || fail "not restored to $nx $ny $nw $nh: $(geometry "$(main_window)")"
# The left column (menu, buttons, tabs, strip) and the tool row look as before
# (the edit boxes' cursor may blink).
controls_back() {
    shot restored
    (($(differing normal restored 190 "$nh" "$nx" "$ny" "$nx" "$ny") < 190 * nh / 50)) &&
        (($(differing normal restored 650 $((menu + 34)) $((nx + 190)) "$ny" $((nx + 190)) "$ny") < 650 * (menu + 34) / 25))
}
wait_for 5 controls_back || fail "the controls did not come back"

# The close button asks; "No" keeps the program running.
window=$(main_window)
wmctrl -i -c "$window"
question() { windows | grep -vx "$window" | head -n1; }
has_question() { [ -n "$(question)" ]; }
wait_for 10 has_question || fail "closing did not ask"
box=$(question)
echo "close asks in window \"$(xdotool getwindowname "$box")\""
shot question
# Escape is the question's "No".
xdotool windowactivate --sync "$box" key --clearmodifiers Escape
question_gone() { ! has_question; }
wait_for 10 question_gone || fail "the question stayed open"
sleep 0.5
alive || fail "the program ended after answering No"
has_main_window || fail "the main window went away after answering No"
echo "PASS"
