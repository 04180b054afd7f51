#!/bin/bash
# Language switch from the menu: Setting → Change language → German relabels the
# menu bar at once, is stored, and the next start comes up in German.
# Usage: LanguageJourney.sh PROGRAM [SHOT_FOLDER]
source "$(dirname "$0")/JourneyLib.sh"
journey_start "${1:?program}" "${2:-}"
shot english

# Setting is the second menu, Change language its last item, German the sixth language.
key alt
sleep 0.3
key Right Down
sleep 0.3
key Up Right
sleep 0.3
key Down Down Down Down Down Return
stored() { grep -qi '"LanID"=dword:00000007' "$registry"; }
wait_for 10 stored || fail "German was not stored: $(cat "$registry")"
# The menu bar (client top, 300 x menu height) reads differently now, once the
# language menu has closed: the open menu covers the left panel below the bar and
# would count as a change on its own.
relabelled() {
    shot german
    local left=$((nx + 50)) below=$((ny + menu + 40))
    (($(differing english german 100 150 "$left" "$below" "$left" "$below") < 100)) &&
        (($(differing english german 300 "$menu" "$nx" "$ny" "$nx" "$ny") > 100))
}
wait_for 15 relabelled || fail "the menu bar did not change"

# A confirmed close, then the next start is in German too.
wmctrl -i -c "$(main_window)"
wait_for 10 has_other_window || fail "closing did not ask"
dialog_key Return
wait_for 15 bash -c "! kill -0 $pelora 2>/dev/null" || fail "the program did not end after Yes"
read -r gx gy < <(echo "$nx $ny")
journey_program "$program" "$shots"
# The window may show before its menu bar is painted or before the window manager
# has placed it: read its place again on every try and compare once it has settled.
in_german() {
    read -r nx ny _ _ < <(geometry "$(main_window)")
    shot german_again
    (($(differing german german_again 300 "$menu" "$gx" "$gy" "$nx" "$ny") < 100))
}
wait_for 20 in_german || fail "the second start is not in German"
echo "PASS"
