#!/bin/bash
# Recording as a user does it: F3 opens the recorder settings, a 5 s time limit is
# set and OK starts; the recording ends by itself and is a playable AVI in the
# video folder with about five seconds of frames at the header's rate. A second
# recording is stopped with F4: FFmpeg's probe finds it no longer than the time to
# the key plus one frame, with no empty frames padding its end. A third
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

# One line per packet of the clip's video stream: its size in bytes.
packet_sizes() { ffprobe -v error -select_streams v:0 -show_entries packet=size -of csv=p=0 "$1"; }

start_recording() {
    key F3
    wait_for 10 has_other_window || fail "F3 opened no recorder settings ($1)"
    dialog_key Return
    wait_for 10 no_other_window || fail "OK did not start the $1 recording"
}

if command -v ffprobe >/dev/null; then
    requested=$(date +%s.%N)
    start_recording "F4-stopped"
    wait_for 20 has_files "$videos" '*.avi' 2 || fail "no F4-stopped recording"
    sleep 2
    key F4
    stopped=$(date +%s.%N)
    wait_for 10 finished || fail "F4 did not end the recording"
    clip=$(ls -t "$videos"/*.avi | head -n1)
    duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$clip")
    rate=$(ffprobe -v error -select_streams v:0 -show_entries stream=r_frame_rate -of csv=p=0 "$clip")
    empty_tail=$(packet_sizes "$clip" | tail -n 5 | grep -cx 0 || true)
    echo "F4 clip: $duration s at $rate frames per second; $(python3 -c "print(round($stopped - $requested, 2))") s from OK to F4"
    ((empty_tail == 0)) || fail "the F4-stopped clip ends with $empty_tail empty frames"
    python3 -c "import sys; sys.exit(0 if $duration <= $stopped - $requested + 1 / ($rate) else 1)" ||
        fail "the F4-stopped clip runs past the key by more than one frame"
    recordings=3
else
    echo "SKIPPED the F4 check: FFmpeg's ffprobe is not installed"
    recordings=2
fi

start_recording "second"
wait_for 20 has_files "$videos" '*.avi' "$recordings" || fail "no recording to end with SIGTERM"
sleep 2
kill -TERM "$pelora"
ended() { ! alive; }
wait_for 20 ended || fail "the program did not end on SIGTERM"
wait "$pelora"
status=$?
[ "$status" = 0 ] || fail "the program ended with status $status"
last=$(ls -t "$videos"/*.avi | head -n1)
probe_video "$last"
[ -z "$(find "$work" -name 'test.avi')" ] || fail "the scratch file was left"
echo "PASS"
