#!/usr/bin/env bash
# A start right after the player ended, or while it ends, plays: the one
# that ends holds the single-instance name until its process is gone, and a
# start that finds it there waits for it to go instead of failing.
source "$(dirname "$0")/lib.sh"

first=$(plain_pass_set)
printf 'void mainImage(out vec4 c, in vec2 p) { c = vec4(0.0, 0.0, 1.0, 1.0); }\n' >next.glsl
next="$PWD/next.glsl"

start_player "$first"
check "the player draws" "wait_for_log '^first frame presented:' 60"
played=0
for round in 1 2 3; do
    # --quit returns once the player's process is gone.
    later_start --quit
    wait_for_player_exit 30
    rm -f "$E2E_LOG"
    start_player "$next"
    wait_for_log '^first frame presented: .*next\.glsl$' 60 && played=$((played + 1))
    echo "round $round: --quit exit $(cat later.exit), the next start $(player_exit_code)"
done
check "a start right after --quit ended the player plays, 3 of 3" "[[ $played == 3 ]]"

# The tray's Exit and a start at once: whether the start finds the ending
# player's window, or only its name, it plays once that player is gone.
start_next_while_ending() {
    rm -f next.exit
    probe tray-click double >/dev/null
    (
        wine "$LUMENFOLD_EXE" "$1" >next.out 2>next.err
        echo $? >next.exit
    ) &
    wait_for_player_exit 60
}
start_next_while_ending "$first"
check "the ending player ends with 0" "[[ \$(player_exit_code) == 0 ]]"
check "the start made while it ended plays" \
    "eventually 'logged | grep -q \"^first frame presented: .*plain\\.glsl$\"' 60 && [[ ! -f next.exit ]]"
probe tray-click double >/dev/null
check "and ends with 0 in its turn" "eventually '[[ -f next.exit ]]' 90 && [[ \$(cat next.exit) == 0 ]]"
finish
