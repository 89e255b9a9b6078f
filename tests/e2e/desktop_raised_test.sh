#!/usr/bin/env bash
# The raised desktop (Windows 11 24H2 on): the icon view and the wallpaper
# worker are children of the program manager itself, which has no
# redirection surface. The player becomes a layered, opaque child placed
# between the two, covering the primary screen, hides nothing, and a later
# start still finds it.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fake_shell.sh"

logged_value() { logged | sed -n "s/^$1://p" | head -1; }
has_bits() { (((0x$1 & $2) == $2)); }
lacks_bits() { (((0x$1 & $2) == 0)); }

attach_with_shell raised

check "the player asked Explorer once for its workers" "[[ \$(shell_says split-requests) == 1 ]]"
check "the attachment lines come in order" \
    "[[ \"\$(attachment_lines | cut -d: -f1 | tr '\n' ' ')\" == 'hwnd Explorer desktop raised defView GWL_STYLE SetParent GWL_EXSTYLE SetLayeredWindowAttributes SetWindowPos ' ]]"
check "the player waited for the wallpaper worker inside the program manager" \
    "logged | grep -qxE 'desktop: workers there after [0-9]+ ms'"
check "the handles are the player's, the program manager's and its icon view's, each in its case" \
    "[[ \$(logged_value hwnd) == ${WINDOW,,} && \$(logged_value Explorer) == $EXPLORER && \$(logged_value 'raised defView') == \$(shell_says icon-view | tr A-F a-f) ]]"
check "the window becomes a child before it moves, leaving the desktop" \
    "has_bits \$(logged_value GWL_STYLE) 0x40000000 && lacks_bits \$(logged_value GWL_STYLE) 0x80000000 && [[ \$(logged_value SetParent) == $DESKTOP ]]"
check "the layered style and full opacity are taken" \
    "has_bits \$(logged_value GWL_EXSTYLE) 0x80000 && [[ \$(logged_value SetLayeredWindowAttributes) == 1 ]]"
check "the logged size is the primary screen" "[[ \$(logged_value SetWindowPos) == '${SCREEN/x/ }' ]]"
check "no classic line and no giving up" "! logged | grep -qE '^(worker|defView|worker2)|Explorer may not be running'"

check "the player sits directly below the icon view, above the wallpaper worker" \
    "[[ \$(shell_says children) == 'SHELLDLL_DefView Lumenfold_Velvetdusk WorkerW' ]]"
check "the player is a visible, layered, opaque child covering the primary screen" \
    "[[ \$(shell_child Lumenfold_Velvetdusk) == 'window=$WINDOW rect=0,0,${SCREEN/x/,} visible=1 layered=1 alpha=255' ]]"
check "nothing is hidden" "[[ \$(shell_says hidden) == none ]]"
check "the program manager is the window's parent" "probe describe | grep -q 'parent=$EXPLORER '"

cp plain.glsl raised.glsl
later_start raised.glsl
check "a later start finds the window under the program manager" "grep -qx 'SendMessage wnd:$WINDOW' later.lines"
check "the running player gets the path" "logged | grep -qxF 'WM_COPYDATA: $(win_path "$PWD/raised.glsl")'"

detach
finish
