#!/bin/bash
# Measuring on a stored picture: a still taken with the microscope's button opens
# from the files strip in the photo measure window; maximizing shows it at actual
# size over the whole screen, restoring brings the normal window back, and the
# program keeps running throughout. Then a line is measured on the picture, the
# picture is saved with the line burned in, and the measurement list is exported
# to a workbook.
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

# Client points of the photo window: tool row at y 4 (buttons 33 x 24), the
# picture from y 30 on, fitted to 640 x 480.
photo_click() { xdotool mousemove --sync $((px + $1)) $((py + $2)) click 1; }
dialog_of_photo() { windows | grep -vx "$(main_window)" | grep -vx "$(photo_window)" | head -n1; }
has_dialog() { [ -n "$(dialog_of_photo)" ]; }
no_dialog() { ! has_dialog; }
answer() { # types into the dialog over the photo window, then Return
    wait_for 10 has_dialog || fail "no dialog for: $1"
    xdotool windowactivate --sync "$(dialog_of_photo)"
    [ -z "${2:-}" ] || xdotool key --clearmodifiers ctrl+a type --delay 20 "$2"
    xdotool key --clearmodifiers Return
    wait_for 10 no_dialog || fail "the dialog for $1 stayed open"
}
photo_click 244 16 # Measure: its menu, the straight line first
sleep 0.5
xdotool key --clearmodifiers Down Return
sleep 0.3
photo_click 100 230 # picture (100, 200)
photo_click 300 230 # picture (300, 200)
photo_click 320 260 # the label's place
sleep 0.5
shot photo_measured

photo_click 61 16 # Save: the file dialog, then "saved"
answer "the save dialog" "$work/measured.jpg"
answer "the saved message"
[ -s "$work/measured.jpg" ] || fail "the picture was not saved"
reddish() {
    convert "$work/measured.jpg" -crop "$1" +repage -fx '(r - max(g, b) > 0.25) ? 1 : 0' -format '%[fx:int(mean*w*h)]' info:
}
red=$(reddish 810x41+405+790)
echo "red pixels along the saved line: $red"
((red > 810)) || fail "the line is not burned into the saved picture"

photo_click 133 16 # the measurement list, modeless over the window
wait_for 10 has_dialog || fail "the list button opened no list"
list=$(dialog_of_photo)
shot photo_list
# Export is the list's bottom right button.
read -r lx ly lw lh < <(geometry "$list")
xdotool mousemove --sync $((lx + lw - 50)) $((ly + lh - 25)) click 1
save_dialog() { windows | grep -vx -e "$(main_window)" -e "$(photo_window)" -e "$list" | head -n1; }
has_save_dialog() { [ -n "$(save_dialog)" ]; }
wait_for 10 has_save_dialog || fail "Export opened no save dialog"
xdotool windowactivate --sync "$(save_dialog)"
xdotool key --clearmodifiers ctrl+a type --delay 20 "$work/list.xlsx"
xdotool key --clearmodifiers Return
wait_for 10 test -s "$work/list.xlsx" || fail "no workbook was written"
python3 - "$work/list.xlsx" <<'PY' || fail "the workbook does not hold the measured line"
import sys, zipfile
book = zipfile.ZipFile(sys.argv[1])
assert "ExportData" in book.read("xl/workbook.xml").decode()
strings = book.read("xl/sharedStrings.xml").decode() if "xl/sharedStrings.xml" in book.namelist() else ""
sheet = book.read("xl/worksheets/sheet1.xml").decode()
assert "L1" in strings + sheet, "no line in the sheet"
PY
echo "workbook: $(unzip -l "$work/list.xlsx" 2>/dev/null | tail -n1 | awk '{print $2}') files"
alive || fail "the program ended"
echo "PASS"
