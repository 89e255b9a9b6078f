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

# Prints a display number that neither a socket nor a lock file claims.
lumenfold_free_display() {
    local number
    for number in $(seq 87 199); do
        if [[ ! -e /tmp/.X11-unix/X$number && ! -e /tmp/.X$number-lock ]]; then
            echo "$number"
            return 0
        fi
    done
    return 1
}

# Starts a private Xvfb of the given size (1920x1080 without one) and
# exports DISPLAY; LUMENFOLD_XVFB_PID names it.
lumenfold_start_xvfb() {
    local number size=${1:-1920x1080}
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
