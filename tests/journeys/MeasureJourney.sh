#!/bin/bash
# Live measuring as a new user does it: calibrate a 200-pixel span of the slide
# as 1 mm (the calibration is shown and stored), measure the same span with the
# line tool, take a picture, and find the line burned into the saved still.
# Usage: MeasureJourney.sh PROGRAM [SHOT_FOLDER]
source "$(dirname "$0")/JourneyLib.sh"
journey_start "${1:?program}" "${2:-}"

calibration_button=(800 18) # client points, below the menu bar
line_button=(425 18)
from=(293 233) # preview (100, 200)
to=(493 233)   # preview (300, 200)

click_client "${calibration_button[@]}"
click_client "${from[@]}"
click_client "${to[@]}"
wait_for 10 has_other_window || fail "no calibration dialog after the line's second click"
shot calibration_dialog
xdotool windowactivate --sync "$(other_window)" type --delay 50 "1"
dialog_key Return
wait_for 10 no_other_window || fail "the calibration dialog stayed open"
stored() { grep -q '^60=' "$installed/CalibrationIni.ini" 2>/dev/null; }
wait_for 10 stored || fail "no calibration stored for magnification 60"
echo "stored: $(grep '^60=' "$installed/CalibrationIni.ini" | tr -d '\r')"

click_client "${line_button[@]}"
click_client "${from[@]}"
click_client "${to[@]}"
click_client 520 260 # the label's place
sleep 0.5
shot measured

key F2
wait_for 15 has_files "$pictures" '*.jpg' 1 || fail "F2 saved no picture"
sleep 1
still=$(ls "$pictures"/*.jpg | head -n1)
# The measurement colour is red, the slide grey and purple: along the line's band
# (preview y 200, x 100 ... 300, at 4.05 times the preview scale) red dominates.
reddish() {
    convert "$still" -crop "$1" +repage -fx '(r - max(g, b) > 0.25) ? 1 : 0' -format '%[fx:int(mean*w*h)]' info:
}
red=$(reddish 810x41+405+790)
elsewhere=$(reddish 810x41+405+1400)
echo "red pixels along the line: $red, in a band below: $elsewhere"
((red > 810 && elsewhere < 50)) || fail "the measurement is not burned into $(basename "$still")"

# A dialog opened while the labels are drawn on every frame: the window thread and
# the streaming thread draw text at the same time (this crashed in the font engine).
for attempt in 1 2 3; do
    key F3
    wait_for 10 has_other_window || fail "F3 opened no recorder settings"
    sleep 1
    dialog_key Escape
    wait_for 10 no_other_window || fail "the recorder settings stayed open"
    alive || fail "the program ended while a dialog opened over the live labels"
done
echo "PASS"
