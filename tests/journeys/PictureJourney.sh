#!/bin/bash
# Stills from the keyboard and from the microscope's button: F2 saves one JPEG
# picture, the camera button another; both are whole pictures at the capture size
# and the strip shows them. Then the microscope is unplugged (the preview goes,
# the program stays) and plugged in again, and F2 works again.
# Usage: PictureJourney.sh PROGRAM [SHOT_FOLDER]
source "$(dirname "$0")/JourneyLib.sh"
journey_start "${1:?program}" "${2:-}"
shot before

take_picture 1 || fail "F2 saved no picture"
kill -USR1 "$pelora" # the microscope's button
wait_for 15 has_files "$pictures" '*.jpg' 2 || fail "the camera button saved no picture"
sleep 0.5
for picture in "$pictures"/*.jpg; do
    size=$(identify -format '%wx%h' "$picture" 2>/dev/null) || fail "$(basename "$picture") is not a readable JPEG"
    [ "$size" = 2592x1944 ] || fail "$(basename "$picture") is $size, not the capture size"
done
echo "pictures: $(cd "$pictures" && ls)"
# The strip (12, 80, 162 x 460) shows the new pictures.
strip_shows() {
    shot pictures
    (($(differing before pictures 162 460 $((nx + 12)) $((ny + menu + 80)) $((nx + 12)) $((ny + menu + 80))) > 500))
}
wait_for 5 strip_shows || fail "the strip did not change"

# Unplug: the program keeps running; plugged in again, the preview and F2 are back.
kill -USR2 "$pelora"
sleep 2
alive || fail "the program ended on unplug"
while has_other_window; do dialog_key Return; sleep 0.3; done # a notice about the lost microscope
kill -USR2 "$pelora"
sleep 3
alive || fail "the program ended on replug"
while has_other_window; do dialog_key Return; sleep 0.3; done
take_picture 3 || fail "F2 after replugging saved no picture"
shot replugged
echo "PASS"
