#!/bin/bash
# Focus stack on the virtual microscope's slide with depth: F2 saves a still at the
# camera's resting focus, which is the fifth of the sweep's ten steps; F6 sweeps the
# focus near to far, fuses the frames and saves the result as the next still, which
# the strip shows. The program writes the sweep's frames to PELORA_FOCUS_SERIES_DIR
# as stills of them would be (the F2 still is the fifth, byte for byte), and in every
# tile of a 4 x 4 grid the stack must be sharper than the sharpest frame there, by 2 %
# at least; as a whole it must be much sharper than the single still.
# Measured in the release build: the same figures on every run, quiet or loaded
# (the sweep renders each step's focus exactly), smallest tile 1.077 (third row,
# right column, where the grain lies between the seventh and eighth frames' focus),
# mean over the single still 2.95.
# A second F6 cancelled with Escape leaves no file.
# Usage: FocusStackJourney.sh PROGRAM [SHOT_FOLDER]
journey_args="--virtual-slide=depth"
source "$(dirname "$0")/JourneyLib.sh"
probe="${PELORA_STACK_PROBE:-}"
[ -x "$probe" ] || { echo "SKIP: no stack_probe (PELORA_STACK_PROBE)"; exit 77; }
journey_desktop
export PELORA_FOCUS_SERIES_DIR="$work/series"
journey_program "${1:?program}" "${2:-}"

take_picture 1 || fail "F2 saved no picture"
single=$(ls "$pictures"/*.jpg)
shot before

key F6
sleep 1
shot sweeping
has_other_window || fail "no progress window while stacking"
wait_for 120 has_files "$pictures" '*.jpg' 2 || fail "the focus stack saved no picture"
sleep 0.5
stacked=$(ls -t "$pictures"/*.jpg | head -n1)
echo "stack: $(basename "$stacked")"
size=$(identify -format '%wx%h' "$stacked" 2>/dev/null) || fail "the stack is not a readable JPEG"
[ "$size" = 2592x1944 ] || fail "the stack is $size, not the capture size"
frames=("$PELORA_FOCUS_SERIES_DIR"/frame*.jpg)
((${#frames[@]} == 10)) || fail "the sweep's frames were not written (${#frames[@]})"
ratios=$("$probe" tiles "$stacked" "${frames[@]}") || fail "stack_probe could not measure the frames"
echo "Tenengrad of the stack over the sharpest frame of the sweep, per tile, then the smallest:"
echo "$ratios"
smallest=$(echo "$ratios" | tail -n1)
awk -v m="$smallest" 'BEGIN {exit !(m >= 1.02)}' || fail "a tile of the stack is not sharper than every frame of the sweep ($smallest)"
whole=$("$probe" tiles "$stacked" "$single" | head -n4 | tr ' ' '\n' | awk '{s += $1} END {printf "%.3f", s / NR}') ||
    fail "stack_probe could not measure the single still"
echo "mean ratio over the single still $whole"
awk -v w="$whole" 'BEGIN {exit !(w >= 1.3)}' || fail "the stack is not sharper than the single still ($whole)"
strip_shows() {
    shot stacked
    (($(differing before stacked 162 460 $((nx + 12)) $((ny + menu + 80)) $((nx + 12)) $((ny + menu + 80))) > 500))
}
wait_for 5 strip_shows || fail "the strip did not change"

# Escape in the middle of a sweep keeps nothing.
key F6
sleep 2
key Escape
sleep 8
(($(count_files "$pictures" '*.jpg') == 2)) || fail "a cancelled stack left a file"
no_other_window || fail "the progress window stayed after Escape"
echo "PASS"
