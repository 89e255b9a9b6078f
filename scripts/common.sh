# Shared by the project's scripts: where things live and how Wine is run.
# shellcheck shell=bash

LUMENFOLD_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
LUMENFOLD_BUILD="$LUMENFOLD_ROOT/build"
LUMENFOLD_DEPS="$LUMENFOLD_BUILD/deps"
LUMENFOLD_GLEW_DIR="$LUMENFOLD_DEPS/glew-2.2.0"

export WINEPREFIX="${WINEPREFIX:-$LUMENFOLD_BUILD/wine-prefix}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

# Prints a display number that neither a socket nor a lock file claims, the
# first from FIRST on (87 without one).
lumenfold_free_display() {
    local number
    for number in $(seq "${1:-87}" $((${1:-87} + 112))); do
        if [[ ! -e /tmp/.X11-unix/X$number && ! -e /tmp/.X$number-lock ]]; then
            echo "$number"
            return 0
        fi
    done
    return 1
}

# Starts a private Xvfb of the given size (1280x720 without one: the player
# covers the whole screen, and llvmpipe pays for every pixel) and
# exports DISPLAY; LUMENFOLD_XVFB_PID names it.
lumenfold_start_xvfb() {
    local number size=${1:-1280x720}
    number=$(lumenfold_free_display) || { echo "no free X display" >&2; return 1; }
    Xvfb ":$number" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    LUMENFOLD_XVFB_PID=$!
    local tries
    for tries in $(seq 1 100); do
        [[ -e /tmp/.X11-unix/X$number ]] && break
        sleep 0.1
    done
    [[ -e /tmp/.X11-unix/X$number ]] || { echo "Xvfb did not start on :$number" >&2; return 1; }
    export DISPLAY=":$number"
}

lumenfold_stop_xvfb() {
    if [[ -n "${LUMENFOLD_XVFB_PID:-}" ]]; then
        kill "$LUMENFOLD_XVFB_PID" 2>/dev/null || true
        wait "$LUMENFOLD_XVFB_PID" 2>/dev/null || true
        LUMENFOLD_XVFB_PID=
    fi
}

# The first start of a prefix takes a while; later ones find it ready. The
# marker names the settings below, so a prefix made before they changed is
# brought up to date once.
LUMENFOLD_PREFIX_MARKER=lumenfold-prefix-2

lumenfold_prepare_wine_prefix() {
    if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
    fi
    if [[ ! -f "$WINEPREFIX/$LUMENFOLD_PREFIX_MARKER" ]]; then
        # The player is tested as most people run it: on Windows 10.
        wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null 2>&1 || true
        # A crashing program would otherwise wait in Wine's debugger for
        # ever; with a debugger that cannot start it ends with its code.
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false /f \
            >/dev/null 2>&1 || true
        touch "$WINEPREFIX/$LUMENFOLD_PREFIX_MARKER"
    fi
    wineserver -w 2>/dev/null || true
}

# The host flavour without sanitizers, optimised: what scripts/render and
# scripts/bench run. Builds the targets named; the compiler's output is shown
# only when the build fails.
LUMENFOLD_RELEASE="$LUMENFOLD_BUILD/release"

lumenfold_build_release() {
    local log="$LUMENFOLD_RELEASE/last-build.log"
    mkdir -p "$LUMENFOLD_RELEASE"
    : >"$log"
    # Once configured, the build itself configures again when CMake files change.
    if [[ ! -f "$LUMENFOLD_RELEASE/CMakeCache.txt" ]]; then
        cmake -S "$LUMENFOLD_ROOT" -B "$LUMENFOLD_RELEASE" -DCMAKE_BUILD_TYPE=Release -DLUMENFOLD_SANITIZE=OFF \
            >>"$log" 2>&1 || { cat "$log" >&2; return 1; }
    fi
    cmake --build "$LUMENFOLD_RELEASE" -j "$(nproc 2>/dev/null || echo 2)" --target "$@" >>"$log" 2>&1 ||
        { cat "$log" >&2; return 1; }
}

# A private Xorg whose dummy video driver has monitors apart, as a desk of
# two monitors is laid out: a 1024 x 768 monitor left of and 300 pixels above
# a 1280 x 720 primary. Xvfb cannot place monitors; this can, and Wine then
# reports each monitor at its own origin, the primary's corner at (0, 0).
# The X screen's origin is the virtual screen's top-left corner.
LUMENFOLD_BENCH_PRIMARY=DUMMY0
LUMENFOLD_BENCH_SECOND=DUMMY1

lumenfold_write_bench_config() {
    cat >"$1" <<'CONFIG'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AllowEmptyInput" "true"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
    Modeline "1280x720" 74.50 1280 1344 1472 1664 720 723 728 748 -hsync +vsync
    Modeline "1024x768" 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 2304 1024
        Modes "1280x720"
    EndSubSection
EndSection
CONFIG
}

# Runs the command until it succeeds or SECONDS have passed.
lumenfold_wait_until() {
    local seconds=$1 deadline
    shift
    deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# Only the bench has dummy outputs: a server that another program started on
# the same display meanwhile does not count.
lumenfold_xorg_answers() {
    kill -0 "$LUMENFOLD_XORG_PID" 2>/dev/null && xrandr --current 2>/dev/null | grep -q "^$LUMENFOLD_BENCH_PRIMARY "
}

# Starts one Xorg of the bench on DISPLAY_NUMBER; true once it answers,
# false when it ended first (another server took the display meanwhile) or
# did not answer within half a minute.
lumenfold_try_xorg() {
    local number=$1 folder="$LUMENFOLD_BUILD/xorg-bench/$1" deadline
    mkdir -p "$folder"
    lumenfold_write_bench_config "$folder/xorg.conf"
    timeout "${LUMENFOLD_XORG_SECONDS:-600}" /usr/lib/xorg/Xorg ":$number" -config "$folder/xorg.conf" \
        -noreset -nolisten tcp -logfile "$folder/xorg.log" >"$folder/xorg.out" 2>&1 &
    LUMENFOLD_XORG_PID=$!
    local owner=$BASHPID
    (
        while kill -0 "$owner" 2>/dev/null && kill -0 "$LUMENFOLD_XORG_PID" 2>/dev/null; do sleep 1; done
        kill "$LUMENFOLD_XORG_PID" 2>/dev/null
    ) >/dev/null 2>&1 &
    LUMENFOLD_XORG_WATCHER=$!
    export DISPLAY=":$number"
    deadline=$((SECONDS + 30))
    until lumenfold_xorg_answers; do
        if ! kill -0 "$LUMENFOLD_XORG_PID" 2>/dev/null || ((SECONDS >= deadline)); then
            echo "Xorg did not start on :$number; its log ends:" >&2
            tail -5 "$folder/xorg.log" >&2 2>/dev/null
            lumenfold_stop_xorg_bench
            return 1
        fi
        sleep 0.1
    done
}

# Starts the bench on a free display, lays out both monitors and exports
# DISPLAY; LUMENFOLD_XORG_PID names the server. Xorg needs root here. A
# watcher ends the server with the shell that started it, however that shell
# ends, and none outlives LUMENFOLD_XORG_SECONDS (ten minutes without it).
lumenfold_start_xorg_bench() {
    local number tries
    command -v xrandr >/dev/null || { echo "xrandr is missing: run scripts/setup" >&2; return 1; }
    [[ -x /usr/lib/xorg/Xorg && -f /usr/lib/xorg/modules/drivers/dummy_drv.so ]] ||
        { echo "Xorg with the dummy driver is missing: run scripts/setup" >&2; return 1; }
    [[ $(id -u) -eq 0 ]] || { echo "the Xorg bench runs as root" >&2; return 1; }
    for tries in 1 2 3; do
        # Apart from the numbers Xvfb's users take first, so that two starts
        # at once rarely pick the same one.
        number=$(lumenfold_free_display 300) || { echo "no free X display" >&2; return 1; }
        lumenfold_try_xorg "$number" && break
        ((tries < 3)) || return 1
    done
    xrandr --addmode "$LUMENFOLD_BENCH_SECOND" 1024x768 || { lumenfold_stop_xorg_bench; return 1; }
    lumenfold_plug_second_monitor || { lumenfold_stop_xorg_bench; return 1; }
}

lumenfold_stop_xorg_bench() {
    if [[ -n "${LUMENFOLD_XORG_PID:-}" ]]; then
        kill "$LUMENFOLD_XORG_PID" 2>/dev/null || true
        wait "$LUMENFOLD_XORG_PID" 2>/dev/null || true
        LUMENFOLD_XORG_PID=
    fi
    if [[ -n "${LUMENFOLD_XORG_WATCHER:-}" ]]; then
        kill "$LUMENFOLD_XORG_WATCHER" 2>/dev/null || true
        wait "$LUMENFOLD_XORG_WATCHER" 2>/dev/null || true
        LUMENFOLD_XORG_WATCHER=
    fi
}

# The monitors the X server has on, one "NAME WxH+X+Y" line each. The dummy
# driver may call an output that is on disconnected, until it is probed.
lumenfold_bench_outputs() {
    xrandr --current |
        sed -n 's/^\([A-Z0-9]*\) \(dis\)\{0,1\}connected \(primary \)\{0,1\}\([0-9]*x[0-9]*+[0-9]*+[0-9]*\).*/\1 \4/p'
}

lumenfold_bench_output_count() { lumenfold_bench_outputs | wc -l; }
lumenfold_bench_has_outputs() { [[ $(lumenfold_bench_output_count) == "$1" ]]; }

# The second monitor goes, or comes back where it was. The X server only
# says it is done once the new layout is in force.
lumenfold_unplug_second_monitor() {
    xrandr --output "$LUMENFOLD_BENCH_SECOND" --off &&
        lumenfold_wait_until 10 lumenfold_bench_has_outputs 1
}

# NOTE: the dummy driver calls an output connected only once it has been
# probed with a mode set, and Wine leaves out the outputs that are not: the
# plain xrandr after the layout is that probe.
lumenfold_plug_second_monitor() {
    xrandr --output "$LUMENFOLD_BENCH_SECOND" --mode 1024x768 --pos 0x0 \
        --output "$LUMENFOLD_BENCH_PRIMARY" --mode 1280x720 --pos 1024x300 --primary &&
        xrandr >/dev/null &&
        lumenfold_wait_until 10 lumenfold_bench_has_outputs 2
}
