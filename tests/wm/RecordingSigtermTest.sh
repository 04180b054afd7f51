#!/bin/bash
# The real program records from the virtual microscope under Xvfb and is ended
# with SIGTERM: it must exit as after a confirmed close and leave a playable file.
# Usage: RecordingSigtermTest.sh PROGRAM AVI_PROBE
# Exit 77 (skipped) when a tool is missing.
set -u
program=${1:?program}
probe=${2:?avi_probe}
skip=77

for tool in Xvfb openbox wmctrl xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed (needs Xvfb, openbox, wmctrl, xdotool)"
        exit $skip
    fi
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    [ -f "$work/pelora.log" ] && tail -n 20 "$work/pelora.log"
    exit 1
}

wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    while ((SECONDS <= deadline)); do
        if "$@"; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"

export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 10 wmctrl -m >/dev/null 2>&1 || fail "openbox did not start"

# No start-up prompt: the user switched it off before.
mkdir -p "$XDG_CONFIG_HOME/Pelora/registry/SOFTWARE"
printf '[LanguageID]\n"sys_date"=dword:00000000\n' >"$XDG_CONFIG_HOME/Pelora/registry/SOFTWARE/vevizevedaRu.reg"

QT_QPA_PLATFORM=xcb "$program" --virtual-microscope >"$work/pelora.log" 2>&1 &
pelora=$!
pids+=($pelora)

alive() { kill -0 "$pelora" 2>/dev/null; }
window_named() { wmctrl -lp 2>/dev/null | awk -v pid="$pelora" -v name="$1" '$3 == pid && index($0, name) {print $1; exit}'; }
has_main_window() { [ -n "$(window_named Pelora)" ]; }
has_recorder_dialog() { [ -n "$(window_named "Recorder Setting")" ]; }
recording() { [ -n "$(find "$HOME" -name '*.avi' -size +20k 2>/dev/null | head -n1)" ]; }

wait_for 20 has_main_window || fail "the main window did not appear"
sleep 1
xdotool windowactivate --sync "$(window_named Pelora)" key F3
wait_for 10 has_recorder_dialog || fail "F3 did not open the recorder dialog"
xdotool windowactivate --sync "$(window_named "Recorder Setting")" key Return
wait_for 20 recording || fail "no recording was written"
sleep 1

kill -TERM "$pelora"
ended() { ! alive; }
wait_for 20 ended || fail "the program did not end on SIGTERM"
wait "$pelora"
status=$?
[ "$status" = 0 ] || fail "the program ended with status $status"

video=$(find "$HOME" -name 'Video_*_N0001.avi' | head -n1)
[ -n "$video" ] || fail "the recording is not under its name"
read -r frames rate decoded < <("$probe" "$video") || fail "the recording does not open"
echo "recording: $frames frames at $rate per second, $decoded decoded"
[ "$rate" = 11 ] || fail "stream rate $rate, expected 11 (640 x 480)"
((decoded > 0)) || fail "no frame decodes"
((frames >= decoded)) || fail "the header counts $frames frames, $decoded decode"
[ -z "$(find "$HOME" -name 'test.avi')" ] || fail "the scratch file was left"
echo "PASS"
