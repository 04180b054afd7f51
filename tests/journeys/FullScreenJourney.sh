#!/bin/bash
# The main window under a real window manager (Xvfb + openbox): maximize gives
# full screen with every control hidden, Escape brings the window back with its
# controls, the close button asks first and "No" keeps the program running.
# Usage: FullScreenJourney.sh PROGRAM [SHOT_FOLDER]
# Exit 77 (skipped) when a tool is missing.
source "$(dirname "$0")/JourneyLib.sh"
journey_start "${1:?program}" "${2:-}"
echo "normal window at $nx,$ny ${nw}x$nh"
[ "$nw" = 843 ] || fail "unexpected window width $nw"
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
key Escape
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
