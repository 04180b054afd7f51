#!/bin/bash
# Measuring on a stored picture: a still taken with the microscope's button opens
# from the files strip in the photo measure window; maximizing shows it at actual
# size over the whole screen, restoring brings the normal window back, and the
# program keeps running throughout.
# Usage: PhotoJourney.sh PROGRAM [SHOT_FOLDER]
source "$(dirname "$0")/JourneyLib.sh"
journey_start "${1:?program}" "${2:-}"

photo_window() { wmctrl -lp 2>/dev/null | awk -v pid="$pelora" '$3 == pid && /Photo Measure/ {print $1; exit}'; }
has_photo_window() { [ -n "$(photo_window)" ]; }

kill -USR1 "$pelora" # the microscope's button
wait_for 15 has_files "$pictures" 'Still_*' 1 || fail "the camera button saved no picture"
sleep 1
# The new picture is the first thumbnail of the strip (12, 80 on the client).
xdotool mousemove --sync $((nx + 50)) $((ny + menu + 120)) click --repeat 2 --delay 80 1
wait_for 10 has_photo_window || fail "the picture did not open in the photo window"
read -r px py pw ph < <(geometry "$(photo_window)")
echo "photo window at $px,$py ${pw}x$ph"
shot photo_normal

wmctrl -i -r "$(photo_window)" -b add,maximized_vert,maximized_horz
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
