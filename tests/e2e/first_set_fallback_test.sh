#!/usr/bin/env bash
# A first start whose set is missing or does not build plays the built-in
# set instead of a black desktop, says why, and keeps watching the named
# set: once it is written or mended, it plays.
source "$(dirname "$0")/lib.sh"

# The built-in set's software-rendered frames are quick at a quarter scale.
SETTINGS_DIR=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)/Lumenfold
mkdir -p "$SETTINGS_DIR"
printf '[player]\r\nrender_scale=25\r\n' >"$SETTINGS_DIR/lumenfold.ini"
# The prefix is shared by every test: no setting may outlive this one.
trap 'cleanup; rm -f "$SETTINGS_DIR/lumenfold.ini"' EXIT

paint() { printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(%s, 1.0); }\n' "$1"; }
named="$PWD/sets/scene.glsl"
mkdir -p sets

# $1: what is wrong with the set, then the set is put right.
falls_back_and_recovers() {
    rm -f "$E2E_LOG"
    start_player "$named"
    check "$1: the failure is logged" "wait_for_log '^load_shader failed:$named$' 60"
    check "$1: the built-in set plays instead" "wait_for_log '^first frame presented: \\(null\\)$' 90"
    paint '0.0, 1.0, 0.0' >"$named"
    check "$1: once the set is right, it plays" "wait_for_log '^first frame presented: $named$' 60"
    check "$1: on screen" "eventually 'screenshot now.png && [[ \$(pixel_colour now.png 100 100) == 0,255,0 ]]' 20"
    stop_player
}

rm -f "$named"
falls_back_and_recovers "a missing set"
printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(1.0) }\n' >"$named"
falls_back_and_recovers "a broken set"
finish
