#!/usr/bin/env bash
# The classic desktop (Windows 10 to Windows 11 23H2): asked with 0x052C,
# Explorer puts the icons in a worker window and paints the wallpaper in a
# second worker after it. The player hides that second worker, becomes a
# child of the program manager covering the primary screen, and a later
# start still finds it there. Without a second worker nothing is hidden.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fake_shell.sh"

attach_with_shell classic
expected=$(classic_attachment_lines)
check "the player asked Explorer once for its workers" "[[ \$(shell_says split-requests) == 1 ]]"
check "the nine attachment lines come in order with their handles in their case" \
    '[[ "$(attachment_lines)" == "$expected" ]]'
check "the attachment does not also give up" "! logged | grep -q 'Explorer may not be running'"
check "the wallpaper worker is hidden, and only it" "[[ \$(shell_says hidden) == wallpaper-worker ]]"
check "the player is the program manager's only child" "[[ \$(shell_says children) == Lumenfold_Velvetdusk ]]"
check "the player covers the primary screen from (0, 0)" \
    "probe describe | grep -q 'parent=$EXPLORER rect=0,0,${SCREEN/x/,} visible=1'"
check "the player keeps its pop-up style and is not layered" \
    "probe describe | grep -q 'style=9' && shell_child Lumenfold_Velvetdusk | grep -q 'layered=0'"

cp plain.glsl classic.glsl
later_start classic.glsl
check "a later start finds the window under the program manager" "grep -qx 'SendMessage wnd:$WINDOW' later.lines"
check "the running player gets the path" "logged | grep -qxF 'WM_COPYDATA: $(win_path "$PWD/classic.glsl")'"

probe move 100 100 640 360 >/dev/null
probe displaychange >/dev/null
check "after a display change the window covers the primary screen again" \
    "eventually \"probe describe | grep -q 'rect=0,0,${SCREEN/x/,} visible=1'\" 10"

stop_player
REPORT=$(fake_shell report)
check "when the player ends, the wallpaper worker shows again" "[[ \$(shell_says hidden) == none ]]"
fake_shell stop

attach_with_shell classic-lone
check "the shell has no second worker" "[[ \$(shell_says wallpaper-worker) == 0 ]]"
expected=$(classic_attachment_lines | sed 's/^desktop: workers there after N ms$/desktop: the workers are not all there after 2000 ms/')
check "without a second worker the player waits for it until the deadline, then the lines say worker2:0 and go on" \
    '[[ "$(attachment_lines)" == "$expected" ]]'
check "without a second worker nothing is hidden" "[[ \$(shell_says hidden) == none ]]"
check "without a second worker the player still moves in and covers the screen" \
    "probe describe | grep -q 'parent=$EXPLORER rect=0,0,${SCREEN/x/,} visible=1'"
detach
finish
