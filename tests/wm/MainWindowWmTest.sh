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

for tool in Xvfb openbox wmctrl xdotool xwininfo; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed (needs Xvfb, openbox, wmctrl, xdotool, xwininfo)"
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

# Polls `condition` every 0.1 s for at most `seconds`.
wait_for() {
    local seconds=$1
    shift
    local tries=$((seconds * 10))
    while ((tries-- > 0)); do
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

# Every widget a window of its own, so the window tree shows which controls are shown.
QT_QPA_PLATFORM=xcb QT_USE_NATIVE_WINDOWS=1 "$program" --virtual-microscope >"$work/pelora.log" 2>&1 &
pelora=$!
pids+=($pelora)

alive() { kill -0 "$pelora" 2>/dev/null; }
main_window() { xdotool search --onlyvisible --pid "$pelora" --name '^Pelora$' 2>/dev/null | head -n1; }
has_main_window() { [ -n "$(main_window)" ]; }
# Geometry "x y width height" of the visible top-level window.
geometry() {
    xwininfo -id "$1" 2>/dev/null |
        awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}
# Number of shown (viewable) windows below the top-level window.
shown_children() {
    local count=0 child
    for child in $(xwininfo -id "$1" -tree 2>/dev/null | awk '/^ +0x[0-9a-f]+/{print $1}'); do
        if xwininfo -id "$child" 2>/dev/null | grep -q 'Map State: IsViewable'; then
            count=$((count + 1))
        fi
    done
    echo "$count"
}
shot() {
    if [ -n "$shots" ] && command -v import >/dev/null 2>&1; then
        import -window root "$shots/$1.png" 2>/dev/null
    fi
}

wait_for 20 has_main_window || fail "the main window did not appear"
window=$(main_window)
read -r nx ny nw nh < <(geometry "$window")
normal_children=$(shown_children "$window")
echo "normal window at $nx,$ny ${nw}x$nh with $normal_children shown controls"
((normal_children >= 25)) || fail "the normal window shows only $normal_children controls"
shot normal

# Maximize: full screen over the whole screen, controls hidden.
wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
is_full_screen() {
    alive || return 1
    window=$(main_window)
    [ -n "$window" ] && [ "$(geometry "$window")" = "0 0 1280 1024" ]
}
wait_for 10 is_full_screen || fail "no full screen after maximize (alive: $(alive && echo yes || echo no))"
few_controls() { (($(shown_children "$window") <= 3)); }
wait_for 5 few_controls || fail "full screen still shows $(shown_children "$window") controls"
shot fullscreen

# Escape: back at its place with every control.
xdotool key --window "$window" Escape
is_normal_again() {
    alive || return 1
    window=$(main_window)
    [ -n "$window" ] && [ "$(geometry "$window")" = "$nx $ny $nw $nh" ] &&
        [ "$(shown_children "$window")" = "$normal_children" ]
}
wait_for 10 is_normal_again ||
    fail "not restored: $(geometry "$(main_window)") with $(shown_children "$(main_window)") controls"
shot restored

# The close button asks; "No" keeps the program running.
wmctrl -i -c "$window"
question() { xdotool search --onlyvisible --pid "$pelora" 2>/dev/null | grep -vx "$window" | head -n1; }
has_question() { [ -n "$(question)" ]; }
wait_for 10 has_question || fail "closing did not ask"
box=$(question)
xdotool search --onlyvisible --pid "$pelora" --name . getwindowname %@ 2>/dev/null
shot question
# Alt+N is the box's "No".
xdotool windowactivate --sync "$box" key --clearmodifiers alt+n
question_gone() { ! has_question; }
wait_for 10 question_gone || fail "the question stayed open"
sleep 0.5
alive || fail "the program ended after answering No"
has_main_window || fail "the main window went away after answering No"
echo "PASS"
