#!/bin/bash
# Live measuring as a new user does it: calibrate five divisions of the slide as
# 0.05 mm (the calibration is shown and stored), switch each guide on and off,
# press an effect, press the calibration button and release it again, then
# measure the same five divisions with the line tool: the export reads 0.050 mm
# (it once read the nominal 3.744 mm here). A picture then carries the line.
# Usage: MeasureJourney.sh PROGRAM [SHOT_FOLDER]
source "$(dirname "$0")/JourneyLib.sh"
journey_start "${1:?program}" "${2:-}"

calibration_button=(800 18) # client points, below the menu bar
line_button=(425 18)
negative_button=(265 18)
other_tools_button=(827 18)
# The slide's divisions 1 and 6 on the preview's row 250: 67.34 preview pixels per
# 0.01 mm division from x = 51.2 (class 2 at 2592 x 1944 shown at 640 x 480).
from=(311 283) # preview (118, 250)
to=(648 283)   # preview (455, 250)

# The other-tools menu's item `n` (1 Undo ... 4 Crosshair, 5 Scale line,
# 6 Circle grid, 8 Calibrate from Slide, 9 Export), chosen with the keys while the menu holds them.
other_tools_item() {
    click_client "${other_tools_button[@]}"
    sleep 0.3
    xdotool key --clearmodifiers --delay 30 $(printf 'Down %.0s' $(seq "$1")) Return
    sleep 0.2
}

click_client "${calibration_button[@]}"
click_client "${from[@]}"
click_client "${to[@]}"
wait_for 10 has_other_window || fail "no calibration dialog after the line's second click"
shot calibration_dialog
xdotool windowactivate --sync "$(other_window)" type --delay 50 "0.05"
dialog_key Return
wait_for 10 no_other_window || fail "the calibration dialog stayed open"
click_client 520 320 # the calibration line's label
stored() { grep -q '^60=' "$installed/CalibrationIni.ini" 2>/dev/null; }
wait_for 10 stored || fail "no calibration stored for magnification 60"
calibrated=$(grep '^60=' "$installed/CalibrationIni.ini" | tr -d '\r')
echo "stored: $calibrated"
[ "$calibrated" = "60=4493.3" ] || fail "five divisions as 0.05 mm should calibrate 60 as 4493.3"

for guide in 4 5 6; do # on, then off again, so the still below shows the line alone
    other_tools_item "$guide"
    other_tools_item "$guide"
done
click_client "${negative_button[@]}"
click_client "${calibration_button[@]}" # pressed again ...
click_client "${calibration_button[@]}" # ... and released
alive || fail "the program ended"

click_client "${line_button[@]}"
click_client "${from[@]}"
click_client "${to[@]}"
click_client 520 320 # the label's place
sleep 0.5
shot measured

other_tools_item 9
wait_for 10 has_other_window || fail "Export opened no save dialog"
xdotool windowactivate --sync "$(other_window)" key --clearmodifiers ctrl+a type --delay 20 "$work/live.xlsx"
xdotool key --clearmodifiers Return
wait_for 10 test -s "$work/live.xlsx" || fail "no workbook was written"
values=$("$python" - "$work/live.xlsx" <<'PY'
import sys, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1])["ExportData"]
# The calibration line DL1 and the measured DL2, their lengths as numbers.
rows = [row for row in sheet.iter_rows(values_only=True) if row[0] in ("DL1", "DL2")]
lengths = {"%.3f" % row[1] for row in rows if isinstance(row[1], (int, float))}
print(" ".join(sorted({row[0] for row in rows}) + sorted(lengths)))
PY
)
echo "exported: $values"
[ "$values" = "DL1 DL2 0.050" ] || fail "the five divisions do not read 0.050 mm after the calibration button was released"

key F2
wait_for 15 has_files "$pictures" '*.jpg' 1 || fail "F2 saved no picture"
sleep 1
still=$(ls "$pictures"/*.jpg | head -n1)
# The measurement colour is red, the (negative) slide grey and green: along the
# line's band (preview y 250, x 118 ... 455, at 4.05 times the preview scale) red
# dominates.
reddish() {
    convert "$still" -crop "$1" +repage -fx '(r - max(g, b) > 0.25) ? 1 : 0' -format '%[fx:int(mean*w*h)]' info:
}
red=$(reddish 1365x41+478+992)
elsewhere=$(reddish 1365x41+478+1400)
echo "red pixels along the line: $red, in a band below: $elsewhere"
((red > 1365 && elsewhere < 50)) || fail "the measurement is not burned into $(basename "$still")"

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
