#!/usr/bin/env bash
# A later start can reach the player while it still waits for Explorer's
# answer, before it can load any pass set. The player must not fall over,
# and the forwarded pass set is the one that plays once it is ready.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fake_shell.sh"

mkdir -p sets
printf 'void mainImage(out vec4 c, in vec2 p) { c = vec4(0.0, 1.0, 0.0, 1.0); }\n' >sets/green.glsl
green="$PWD/sets/green.glsl"

start_fake_shell classic "$green"
start_player
check "the attachment completes" "wait_for_log '^SetWindowPos:'"
check "the forward arrived while the player waited for the shell" \
    "logged | sed -n '/^Explorer:/,/^SetWindowPos:/p' | grep -qxF 'WM_COPYDATA: $green'"
check "the player starts up in spite of it" "wait_for_log '^active Uniform Block:1$' 120"
check "the forwarded pass set is what plays" "logged | grep -qxF 'load shader:$green'"
check "the built-in set it replaced is never built" "! logged | grep -q '^---------- build shader part:BufferA$'"
check "the player is still running" "[[ ! -f player.exit ]]"

stop_player
finish
