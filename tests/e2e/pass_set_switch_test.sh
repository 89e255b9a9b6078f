#!/usr/bin/env bash
# A forwarded path switches what is on screen between two frames; a broken
# or missing pass set leaves the playing one; a plain second start goes back
# to the built-in wallpaper.
source "$(dirname "$0")/lib.sh"

mkdir -p sets
cat >sets/green.glsl <<'GLSL'
#pragma iChannel0 BufferA
void mainImage(out vec4 color, in vec2 coord) {
    color = vec4(0.0, texelFetch(iChannel0, ivec2(coord), 0).g, 0.0, 1.0);
}
GLSL
cat >sets/green.a.glsl <<'GLSL'
void mainImage(out vec4 color, in vec2 coord) { color = vec4(0.0, 1.0, 0.0, 1.0); }
GLSL
printf 'void mainImage(out vec4 color, in vec2 coord) { color = vec4(1.0) }\n' >sets/broken.glsl
green="$PWD/sets/green.glsl"
green_shown=$(win_path "$green")

is_green() { screenshot now.png && [[ $(pixel_colour now.png 100 100) == 0,255,0 ]]; }

start_player
check "the built-in set is installed" "wait_for_log '^active Uniform Block:1$' 120"
check "a smaller window re-creates the render targets" "shrink_player"

later_start "$green"
check "the forwarded set is loaded between two frames" "logged | grep -qxF 'load shader:${green_shown%.glsl}.a.glsl'"
check "the forwarded path is logged before its load" \
    "logged | grep -n -F -e 'WM_COPYDATA: $green_shown' -e 'load shader:$green_shown' | head -1 | grep -q WM_COPYDATA"
check "both files of the forwarded set are read" "logged | grep -qxF 'load shader:${green_shown%.glsl}.a.glsl'"
check "the forwarded pass set is on screen" "eventually is_green 60"

later_start "$PWD/sets/broken.glsl"
check "a broken pass set is reported" "logged | grep -qxF 'load_shader failed:$(win_path "$PWD/sets/broken.glsl")'"
later_start "$PWD/sets/missing.glsl"
check "a missing pass set is refused" "[[ \$(cat later.exit) == 1 ]] && logged | grep -qx 'WM_COPYDATA refused: no such file'"
check "the player has drawn frames since" "sync_player"
check "the playing pass set stays on screen" "is_green"

later_start
check "a plain second start asks for the built-in set" "logged | grep -qx 'WM_COPYDATA: (null)'"
check "the built-in set is built again" "[[ \$(logged | grep -c '^---------- build shader part:BufferD$') == 2 ]]"
check "the built-in wallpaper is back on screen" "eventually '! is_green && brighter_than now.png 0.05' 90"

stop_player
finish
