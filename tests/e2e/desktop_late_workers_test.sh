#!/usr/bin/env bash
# Explorer can answer 0x052C before its workers are there. The player waits
# for them, handling its messages, and attaches as soon as they come; when
# they never come it gives up waiting after two seconds and takes what the
# program manager holds, the icon view still inside it.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fake_shell.sh"

waited_for_workers() { logged | sed -n 's/^desktop: workers there after \([0-9]*\) ms$/\1/p' | head -1; }

attach_with_shell classic --workers-after 600
waited=$(waited_for_workers)
expected=$(classic_attachment_lines)
check "the player waited for the workers that came 600 ms after the answer ($waited ms)" \
    "[[ -n '$waited' ]] && ((waited >= 500))"
check "then attached to the classic desktop with the nine lines" '[[ "$(attachment_lines)" == "$expected" ]]'
check "the wallpaper worker is hidden and the player is the program manager's child" \
    "[[ \$(shell_says hidden) == wallpaper-worker && \$(shell_says children) == Lumenfold_Velvetdusk ]]"
detach

attach_with_shell classic --workers-after never
check "without workers the wait ends at its deadline, then the icon view in the program manager is taken" \
    "[[ \"\$(attachment_lines | sed -n '3,4p' | sed 's/:[0-9a-f]*$//')\" == 'desktop: the workers are not all there after 2000 ms
raised defView' ]]"
check "the player goes below the icon view left in the program manager" \
    "[[ \$(shell_says children) == 'SHELLDLL_DefView Lumenfold_Velvetdusk' ]]"
check "nothing is hidden and the player does not give up" \
    "[[ \$(shell_says hidden) == none ]] && ! logged | grep -q 'Explorer may not be running'"
detach
finish
