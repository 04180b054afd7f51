#!/bin/bash
# A time-lapse series of three: the Clock button opens the dialog, the start is
# set a few seconds ahead, three pictures are taken 3 s apart, and the dialog
# closes by itself after the last one.
# Usage: TimeLapseJourney.sh PROGRAM [SHOT_FOLDER]
source "$(dirname "$0")/JourneyLib.sh"
journey_start "${1:?program}" "${2:-}"

clock_button=(93 22) # client point, below the menu bar
click_client "${clock_button[@]}"
wait_for 10 has_other_window || fail "the Clock button opened no dialog"
dialog=$(other_window)
shot timelapse_dialog

# The fields in tab order: year, month, day, hour, minute, second, interval
# minutes, interval seconds, count; the year has the focus.
start=$(date -d '+6 seconds' '+%Y %-m %-d %-H %-M %-S')
fields=($start 0 3 3)
xdotool windowactivate --sync "$dialog"
for value in "${fields[@]}"; do
    xdotool key --clearmodifiers ctrl+a type --delay 30 "$value"
    xdotool key --clearmodifiers Tab
done
xdotool key --clearmodifiers space # Start
began=$SECONDS
wait_for 30 has_files "$pictures" '*.jpg' 3 || fail "the series took $(count_files "$pictures" '*.jpg') of 3 pictures"
echo "three pictures after $((SECONDS - began)) s: $(cd "$pictures" && ls | tr '\n' ' ')"
dialog_gone() { ! windows | grep -qx "$dialog"; }
wait_for 15 dialog_gone || fail "the dialog did not close after the series"
sleep 4
(($(count_files "$pictures" '*.jpg') == 3)) || fail "more than three pictures"
alive || fail "the program ended"
echo "PASS"
