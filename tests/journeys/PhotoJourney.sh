#!/bin/bash
# Measuring on a stored picture: a still taken with the microscope's button opens
# from the files strip in the photo measure window; maximizing shows it at actual
# size over the whole screen, restoring with a line measured there asks first
# (over the maximized window) and brings the normal window back, and the
# program keeps running throughout. Then a line is measured on the picture, the
# picture is saved with the line burned in, the line is moved (Open then asks to
# save it first, and Yes saves it again), and the measurement list is exported
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
pointer_to $((nx + 50)) $((ny + menu + 120)) && xdotool click --repeat 2 --delay 80 1
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

# A line measured at actual size, then the frame's restore button: the window
# stays maximized while it asks whether to save first, and No restores it.
read -r mx my _ _ < <(geometry "$(photo_window)")
at_max() { pointer_to $((mx + $1)) $((my + $2)) && xdotool click 1; }
at_max 244 16 # Measure: its menu, the straight line first
sleep 0.5
xdotool key --clearmodifiers Down Return
sleep 0.3
at_max 100 130
at_max 300 130
at_max 320 160 # the label's place
sleep 0.5
wmctrl -i -r "$(photo_window)" -b remove,maximized_vert,maximized_horz
question() { windows | grep -vx -e "$(main_window)" -e "$(photo_window)" | head -n1; }
has_question() { [ -n "$(question)" ]; }
wait_for 10 has_question || fail "restoring with an unsaved line asked nothing"
sleep 1
asked_width=$(geometry "$(photo_window)" | awk '{print $3}')
shot photo_restore_question
xdotool windowactivate --sync "$(question)" key --clearmodifiers n
echo "photo window width while asked: $asked_width"
[ "$asked_width" = 1280 ] || fail "the window had shrunk to $asked_width before the question was answered"

is_normal_again() { alive && has_photo_window && [ "$(geometry "$(photo_window)" | awk '{print $3, $4}')" = "$pw $ph" ]; }
wait_for 10 is_normal_again || fail "the photo window did not come back to ${pw}x$ph: $(geometry "$(photo_window)")"
sleep 1
alive || fail "the program ended on restore"
has_main_window || fail "the main window went away"
shot photo_restored

# Client points of the photo window: tool row at y 4 (buttons 33 x 24), the
# picture from y 30 on, fitted to 640 x 480.
photo_click() { pointer_to $((px + $1)) $((py + $2)) && xdotool click 1; }
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

# Moved after the save: the line follows the mouse, and the change is not lost
# without a question.
photo_click 170 16 # Select
photo_click 200 230 # the line, picture (200, 200)
photo_click 394 16 # Move: the cursor goes to the line's middle
sleep 0.5
pointer_to $((px + 200)) $((py + 260))
pointer_to $((px + 200)) $((py + 290))
sleep 0.3
shot photo_moving
xdotool click 1 # the middle lands at picture (200, 260)
sleep 0.5
shot photo_moved
photo_click 24 16 # Open: the moved line was never saved, so it asks first
wait_for 10 has_dialog || fail "Open asked nothing about the moved line"
asked=$(dialog_of_photo)
xdotool windowactivate --sync "$asked" key --clearmodifiers Return # Yes, save
question_gone() { ! windows | grep -qx "$asked"; }
wait_for 10 question_gone || fail "the save-first question stayed open"
answer "the save dialog" "$work/moved.jpg"
answer "the saved message"
[ -s "$work/moved.jpg" ] || fail "the moved line was not saved"
red_in() { convert "$work/moved.jpg" -crop "$1" +repage -fx '(r - max(g, b) > 0.25) ? 1 : 0' -format '%[fx:int(mean*w*h)]' info:; }
moved=$(red_in 810x41+405+1033)
left=$(red_in 810x41+405+790)
aside=$(red_in 90x41+308+1033)
echo "red pixels along the moved line: $moved, at its old place: $left, left of it: $aside"
((moved > 810 && left < 100 && aside < 20)) || fail "the moved line is not where the mouse put it"

photo_click 133 16 # the measurement list, modeless over the window
wait_for 10 has_dialog || fail "the list button opened no list"
list=$(dialog_of_photo)
shot photo_list
# Export is the list's bottom right button.
read -r lx ly lw lh < <(geometry "$list")
pointer_to $((lx + lw - 50)) $((ly + lh - 25)) && xdotool click 1
save_dialog() { windows | grep -vx -e "$(main_window)" -e "$(photo_window)" -e "$list" | head -n1; }
has_save_dialog() { [ -n "$(save_dialog)" ]; }
wait_for 10 has_save_dialog || fail "Export opened no save dialog"
xdotool windowactivate --sync "$(save_dialog)"
xdotool key --clearmodifiers ctrl+a type --delay 20 "$work/list.xlsx"
xdotool key --clearmodifiers Return
wait_for 10 test -s "$work/list.xlsx" || fail "no workbook was written"
"$python" - "$work/list.xlsx" <<'PY' || fail "the workbook does not hold the measured line as a number"
import sys, openpyxl
sheet = openpyxl.load_workbook(sys.argv[1])["ExportData"]
rows = [row for row in sheet.iter_rows(values_only=True) if str(row[0]).endswith("L1")]
assert rows, "no line in the sheet"
assert isinstance(rows[0][1], (int, float)) and rows[0][1] > 0, "the length is not a number: %r" % (rows[0][1],)
print("line row:", rows[0])
PY
echo "workbook: $(unzip -l "$work/list.xlsx" 2>/dev/null | tail -n1 | awk '{print $2}') files"
alive || fail "the program ended"
echo "PASS"
