#!/bin/bash
# The photo measure window under a real window manager (Xvfb + openbox): a still
# taken with the camera button opens in it from the files strip; maximizing shows
# the picture at actual size over the whole screen, restoring brings the normal
# window back, and the program keeps running throughout.
# Usage: PhotoWindowWmTest.sh PROGRAM [SHOT_FOLDER]
# Exit 77 (skipped) when a tool is missing.
set -u
program=${1:?program}
shots=${2:-}
source "$(dirname "$0")/WmCommon.sh"

photo_window() { wmctrl -lp 2>/dev/null | awk -v pid="$pelora" '$3 == pid && /Photo Measure/ {print $1; exit}'; }
has_photo_window() { [ -n "$(photo_window)" ]; }

wait_for 20 has_main_window || fail "the main window did not appear"
window=$(main_window)
read -r nx ny nw nh < <(geometry "$window")
menu=$((nh - 580)) # the client area below the menu is 843 x 580

# A still from the camera button lands first in the strip (12, 80 on the client).
has_picture() { find "$HOME" -name 'Still_*' | grep -q .; }
wait_for 10 alive || fail "the program did not start"
sleep 2
kill -USR1 "$pelora"
wait_for 10 has_picture || fail "no still was taken"
sleep 1
xdotool mousemove $((nx + 50)) $((ny + menu + 120)) click --repeat 2 --delay 80 1
wait_for 10 has_photo_window || fail "the picture did not open in the photo window"
photo=$(photo_window)
read -r px py pw ph < <(geometry "$photo")
echo "photo window at $px,$py ${pw}x$ph"
shot photo_normal

wmctrl -i -r "$photo" -b add,maximized_vert,maximized_horz
is_maximized() { alive && has_photo_window && [ "$(geometry "$(photo_window)" | awk '{print $3}')" = 1280 ]; }
wait_for 10 is_maximized || fail "the photo window was not maximized (alive: $(alive && echo yes || echo no))"
sleep 1
alive || fail "the program ended on maximize"
shot photo_maximized

wmctrl -i -r "$(photo_window)" -b remove,maximized_vert,maximized_horz
is_normal_again() { alive && has_photo_window && [ "$(geometry "$(photo_window)" | awk '{print $3, $4}')" = "$pw $ph" ]; }
wait_for 10 is_normal_again || fail "the photo window did not come back to ${pw}x$ph: $(geometry "$(photo_window)")"
sleep 1
alive || fail "the program ended on restore"
has_main_window || fail "the main window went away"
shot photo_restored
echo "PASS"
