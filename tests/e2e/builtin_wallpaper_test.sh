#!/usr/bin/env bash
# The built-in wallpaper builds cleanly, shows on screen and moves.
source "$(dirname "$0")/lib.sh"

start_player
check "all five passes are built" "wait_for_log '^---------- build shader part:BufferD$' 120"
check "the built-in set is installed" "wait_for_log '^active Uniform Block:1$' 60"
check "no pass reports a compile or link error" "! logged | grep -qE '^(Compile Error|Linking Error|load_shader failed)'"
check "the directives of the built-in set match" "[[ \$(logged | grep -c '^pragma match: ') == 10 ]]"
check "a smaller window re-creates the render targets" "shrink_player"
check "each target re-creation logs old and new textures" "logged | grep -qE '^old fbo:[0-9]+ [0-9]+ [0-9]+ [0-9]+$'"

check "the wallpaper is not black" "eventually 'screenshot first.png && brighter_than first.png 0.05' 90"
check "the wallpaper changes from frame to frame" \
    "eventually 'screenshot second.png && [[ \$(changed_pixels first.png second.png) -gt 1000 ]]' 30"
check "the driver reports no error while playing" "! logged | grep -q '^GL:.*ERROR'"

stop_player
finish
