#!/bin/bash
# Calibration from the slide as a user with a stage micrometer does it: at
# magnification 699 press F8, keep the division of 0.01 mm and press OK; five
# divisions measured with the line tool then read 0.050 mm. Started again at
# magnification 466 and calibrated from the other-tools menu, five divisions read
# 0.050 mm again and the calibration file holds both magnifications.
# Usage: SlideCalibrationJourney.sh PROGRAM [SHOT_FOLDER]
source "$(dirname "$0")/JourneyLib.sh"

magnification_box=(770 18) # client points, below the menu bar
line_button=(425 18)
other_tools_button=(827 18)
row=283 # the preview's row 250, across the ticks
# The preview is 640 pixels wide from client x 193; the slide's tick k lies at
# 51.2 + k * 0.015 * 1.03 * M preview pixels at magnification M. The ticks chosen
# fall on whole pixels, so the clicks sit on them.
calibration_file() { tr -d '\r' <"$installed/CalibrationIni.ini" 2>/dev/null; }

other_tools_item() {
    click_client "${other_tools_button[@]}"
    sleep 0.3
    xdotool key --clearmodifiers --delay 30 $(printf 'Down %.0s' $(seq "$1")) Return
    sleep 0.2
}

# Types the nominal magnification into its box.
set_magnification() {
    click_client "${magnification_box[@]}"
    key ctrl+a
    xdotool type --delay 50 "$1"
    sleep 0.3
}

# The dialog open: keeps the division's 0.01 mm, checks the stored calibrated
# magnification lies within 0.3 % of the slide's (3 % stronger than nominal).
accept_slide_calibration() {
    local magnification=$1 shot_name=$2
    wait_for 15 has_other_window || fail "Calibrate from Slide opened no dialog at $magnification"
    sleep 0.5
    shot "$shot_name"
    dialog_key Return
    wait_for 10 no_other_window || fail "the slide calibration dialog stayed open"
    stored() { calibration_file | grep -q "^$magnification="; }
    wait_for 10 stored || fail "no calibration stored for magnification $magnification"
    local value
    value=$(calibration_file | sed -n "s/^$magnification=//p")
    echo "stored: $magnification=$value"
    awk -v v="$value" -v m="$magnification" 'BEGIN { exit !(v > 0 && (v / (m * 1.03) - 1) ^ 2 < 0.003 ^ 2) }' ||
        fail "the slide calibrates $magnification as $value, not $magnification x 1.03"
}

# Measures with the line tool from client x $1 to $2 and exports the list to $3:
# the line reads 0.050 mm.
measure_five_divisions() {
    click_client "${line_button[@]}"
    click_client "$1" "$row"
    click_client "$2" "$row"
    click_client "$(($2 + 20))" 320 # the label's place
    sleep 0.5
    other_tools_item 9
    wait_for 10 has_other_window || fail "Export opened no save dialog"
    xdotool windowactivate --sync "$(other_window)" key --clearmodifiers ctrl+a type --delay 20 "$3"
    xdotool key --clearmodifiers Return
    wait_for 10 test -s "$3" || fail "no workbook was written"
    local values
    values=$("$python" - "$3" <<'PY'
import sys, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1])["ExportData"]
print(" ".join("%s %.3f" % (row[0], row[1]) for row in sheet.iter_rows(values_only=True)
               if row[0] == "DL1" and isinstance(row[1], (int, float))))
PY
)
    echo "exported: $values"
    [ "$values" = "DL1 0.050" ] || fail "five divisions do not read 0.050 mm after the slide calibration"
}

# Magnification 699: 10.8 preview pixels a division, ticks 1 and 6 at x 62 and 116.
microscope=--virtual-microscope=2,magnification=699
journey_start "${1:?program}" "${2:-}"
set_magnification 699
sleep 1 # a few live frames at the new box value
key F8
accept_slide_calibration 699 slide_calibration_dialog
measure_five_divisions 255 309 "$work/at699.xlsx"
shot measured_699

# Closed, started again at magnification 466: 7.2 preview pixels a division, ticks 4
# and 9 at x 80 and 116.
wmctrl -i -c "$(main_window)"
wait_for 10 has_other_window || fail "closing did not ask"
dialog_key Return
wait_for 15 bash -c "! kill -0 $pelora 2>/dev/null" || fail "the program did not end after Yes"
microscope=--virtual-microscope=2,magnification=466
journey_program "$program" "$shots"
set_magnification 466
sleep 1
other_tools_item 8
accept_slide_calibration 466 slide_calibration_dialog_466
measure_five_divisions 273 309 "$work/at466.xlsx"
calibration_file | grep -q '^699=' || fail "the calibration for 699 was lost: $(calibration_file)"
alive || fail "the program ended"
echo "PASS"
