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
fake_shell stop

# A later start sent as soon as the player is there, as an installer that
# starts the player and then hands it a set does: the player's start-up
# handles messages, so the later start is answered every time.
printf 'void mainImage(out vec4 c, in vec2 p) { c = vec4(0.0, 0.0, 1.0, 1.0); }\n' >sets/blue.glsl
answered=0
for round in 1 2 3 4 5; do
    rm -f "$E2E_LOG"
    start_fake_shell classic
    start_player "$green"
    wait_for_log '^hwnd:' 60
    later_start "$PWD/sets/blue.glsl"
    [[ $(cat later.exit) == 0 ]] && answered=$((answered + 1))
    echo "round $round: later start exit $(cat later.exit); $(logged | grep -m1 '^desktop attachment took')"
    stop_player
    fake_shell stop
done
check "a later start right after the player started succeeds 5 of 5" "[[ $answered == 5 ]]"
finish
