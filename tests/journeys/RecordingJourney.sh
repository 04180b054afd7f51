#!/bin/bash
# Recording as a user does it: F3 opens the recorder settings, a 5 s time limit is
# set and OK starts; the recording ends by itself and is a playable AVI in the
# video folder with about five seconds of frames at the header's rate. A second
# recording is under way when the desktop ends the program (SIGTERM): the program
# ends as after a confirmed close and that file plays too.
# Usage: RecordingJourney.sh PROGRAM [SHOT_FOLDER]; PELORA_AVI_PROBE names the probe.
source "$(dirname "$0")/JourneyLib.sh"
probe=${PELORA_AVI_PROBE:?the avi_probe tool}
journey_start "${1:?program}" "${2:-}"

probe_video() {
    read -r frames rate decoded < <("$probe" "$1") || fail "$(basename "$1") does not open"
    echo "$(basename "$1"): $frames frames at $rate per second, $decoded decoded"
    ((decoded > 0 && frames >= decoded)) || fail "$(basename "$1") does not play"
}

key F3
wait_for 10 has_other_window || fail "F3 opened no recorder settings"
shot recorder_settings
# Tab order: frame rate, time limit (its check box is ticked at first).
xdotool windowactivate --sync "$(other_window)"
xdotool key --clearmodifiers Tab ctrl+a type 5
xdotool key --clearmodifiers Return
wait_for 10 no_other_window || fail "OK did not start the recording"
began=$SECONDS
shot recording
wait_for 20 has_files "$videos" '*.avi' 1 || fail "no recording in the video folder"
finished() { [ -z "$(find "$videos" -name '*.avi' -newermt '-2 seconds')" ]; }
sleep 6
wait_for 10 finished || fail "the recording did not end at its time limit"
first=$(ls "$videos"/*.avi | head -n1)
probe_video "$first"
((frames >= 4 * rate && frames <= 6 * rate)) || fail "$frames frames at $rate per second is not about 5 s"

key F3
wait_for 10 has_other_window || fail "F3 opened no recorder settings the second time"
dialog_key Return
wait_for 10 no_other_window || fail "OK did not start the second recording"
wait_for 20 has_files "$videos" '*.avi' 2 || fail "no second recording"
sleep 2
kill -TERM "$pelora"
ended() { ! alive; }
wait_for 20 ended || fail "the program did not end on SIGTERM"
wait "$pelora"
status=$?
[ "$status" = 0 ] || fail "the program ended with status $status"
second=$(ls "$videos"/*.avi | grep -vx "$first" | head -n1)
probe_video "$second"
[ -z "$(find "$work" -name 'test.avi')" ] || fail "the scratch file was left"
echo "PASS"
