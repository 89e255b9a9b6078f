#!/usr/bin/env bash
# The player outlives its desktop. When the shell's process ends the way
# Explorer's does on a restart, update or crash, the player notices, waits
# hidden and all but idle where a later start still finds it, and attaches
# again to whichever layout the next shell builds; a taskbar that only
# rebuilt itself changes nothing, and at the end the desktop is as it was.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fake_shell.sh"

attachments() { count_logged '^hwnd:'; }
# The attachment lines after the n-th "desktop lost".
lines_after_loss() {
    logged | awk -v n="$1" '/^desktop lost$/ { seen++; next } seen == n' | sed -n '/^hwnd:/,/^SetWindowPos:/p' |
        any_worker_wait
}

attach_with_shell classic
notify=$(probe notify-window)
check "the player is attached to the classic desktop" "[[ \$(shell_says hidden) == wallpaper-worker ]]"

kill_fake_shell
check "the player notices the desktop is gone" "wait_for_log '^desktop lost$' 10"
check "and stays alive" "sync_player && [[ ! -f player.exit ]]"
stand_in=$(player_window)
check "a hidden stand-in window takes the lost one's place" \
    "[[ -n '$stand_in' && '$stand_in' != '$WINDOW' ]] && probe describe | grep -q 'parent=$DESKTOP .* visible=0'"
cpu=$(cpu_percent_over 3)
check "without a desktop it uses next to no CPU ($cpu % of a core over 3 s)" "[[ -n '$cpu' ]] && ((cpu < 15))"
cp plain.glsl while-waiting.glsl
later_start while-waiting.glsl
check "a later start reaches it" "[[ \$(cat later.exit) == 0 ]] && grep -qx 'SendMessage wnd:$stand_in' later.lines"
check "and its set is installed" "wait_for_log '^load shader:Z:.*.while-waiting.glsl$'"

# Explorer builds its desktop windows over a few seconds.
shell_started=$(date +%s%N)
start_fake_shell classic --icon-view-after 1500
check "within 5 s the player is attached again" "wait_for_log '^desktop back: ' 5"
attached_ms=$((($(date +%s%N) - shell_started) / 1000000))
REPORT=$(fake_shell report)
EXPLORER=$(shell_says program-manager | cut -d' ' -f1)
WINDOW=$(player_window)
expected=$(classic_attachment_lines)
check "the nine attachment lines come again ($attached_ms ms after the shell started; $(logged | sed -n 's/^desktop back: //p'))" \
    '[[ "$(lines_after_loss 1)" == "$expected" ]]'
check "the player is the program manager's child at the screen's size" \
    "probe describe | grep -q 'parent=$EXPLORER rect=0,0,${SCREEN/x/,} visible=1'"
check "the new wallpaper worker is hidden" "[[ \$(shell_says hidden) == wallpaper-worker ]]"
check "exactly one tray icon, the notification window's" \
    "[[ \$(probe notify-window) == '$notify' && \$(probe tray-exists) == tray=1 && \$(probe tray-exists $WINDOW) == tray=0 ]]"
cpu=$(cpu_percent_over 2)
check "the player draws again ($cpu % of a core)" "[[ -n '$cpu' ]] && ((cpu >= 5))"

kill_fake_shell
check "the next loss is noticed too" "eventually '[[ \$(count_logged \"^desktop lost$\") == 2 ]]' 10"
start_fake_shell raised
check "the player attaches to the raised desktop" "eventually '[[ \$(count_logged \"^desktop back: \") == 2 ]]' 10"
REPORT=$(fake_shell report)
WINDOW=$(player_window)
check "as a layered child directly below the icon view" \
    "[[ \$(shell_says children) == 'SHELLDLL_DefView Lumenfold_Velvetdusk WorkerW' ]] && shell_child Lumenfold_Velvetdusk | grep -q 'layered=1 alpha=255'"

before=$(attachments)
probe taskbar-created >/dev/null
check "a taskbar that only rebuilt itself attaches nothing again" "sync_player && [[ \$(attachments) == $before ]]"
check "and leaves one icon" "[[ \$(probe tray-exists) == tray=1 && \$(probe notify-window) == '$notify' ]]"
check "the player still sits below the icons" "[[ \$(player_window) == $WINDOW ]]"

stop_player
finish
