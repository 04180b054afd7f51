#!/bin/bash
# The very first start: an empty home, no settings. The program makes its picture
# and video folders, greets with the start-up prompt over the live picture, and
# the user unticks "show again" and confirms. The next start comes up without it.
# Usage: FirstStartJourney.sh PROGRAM [SHOT_FOLDER]
source "$(dirname "$0")/JourneyLib.sh"
journey_start "${1:?program}" "${2:-}" prompt

wait_for 10 has_other_window || fail "no start-up prompt at the first start"
shot first_start
[ -d "$pictures" ] && [ -d "$videos" ] || fail "the picture and video folders were not made"
# The prompt's check box has the focus first; space unticks it, Return confirms.
xdotool windowactivate --sync "$(other_window)"
xdotool key --clearmodifiers space Return
wait_for 10 no_other_window || fail "the prompt stayed open"
stored() { grep -qi '"sys_date"=dword:00000000' "$registry" 2>/dev/null; }
wait_for 10 stored || fail "\"show again\" was not stored as off: $(cat "$registry" 2>/dev/null)"

# A confirmed close, and the second start shows no prompt.
wmctrl -i -c "$(main_window)"
wait_for 10 has_other_window || fail "closing did not ask"
dialog_key Return
wait_for 15 bash -c "! kill -0 $pelora 2>/dev/null" || fail "the program did not end after Yes"
journey_program "$program" "$shots"
sleep 2
has_other_window && fail "the prompt came again though it was switched off"
alive || fail "the program ended"
echo "PASS"
