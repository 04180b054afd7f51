# Shared by the window-manager tests: checks the tools, starts Xvfb with openbox
# and the program on the virtual microscope in a fresh home, and defines the
# helpers (wait_for, alive, windows, geometry, shot, differing, fail).
# Sourced with $program and $shots set; exits 77 (skipped) when a tool is missing.
skip=77

for tool in Xvfb openbox wmctrl xdotool xwininfo import convert compare; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIPPED: $tool is not installed (needs Xvfb, openbox, wmctrl, xdotool, xwininfo, ImageMagick)"
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
    exit 1
}

# Polls a condition every 0.1 s for at most `seconds`.
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

# A display of our own.
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
# The program's managed top-level windows (the window manager's client list).
windows() { wmctrl -lp 2>/dev/null | awk -v pid="$pelora" '$3 == pid {print $1}'; }
main_window() { wmctrl -lp 2>/dev/null | awk -v pid="$pelora" '$3 == pid && $NF == "Pelora" {print $1; exit}'; }
has_main_window() { [ -n "$(main_window)" ]; }
# Geometry "x y width height" of a window's client area.
geometry() {
    [ -n "$1" ] || return 0 # (xwininfo without an id waits for a click)
    xwininfo -id "$1" 2>/dev/null |
        awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}
shot() { import -window root "$work/$1.png" 2>/dev/null && { [ -z "$shots" ] || cp "$work/$1.png" "$shots/"; }; }
# Pixels that differ between a region of two screenshots: crop "W H X1 Y1 X2 Y2".
differing() {
    convert "$work/$1.png" -crop "${3}x${4}+${5}+${6}" +repage "$work/a.png"
    convert "$work/$2.png" -crop "${3}x${4}+${7}+${8}" +repage "$work/b.png"
    compare -metric AE -fuzz 8% "$work/a.png" "$work/b.png" null: 2>&1 | awk '{print int($1)}'
}

