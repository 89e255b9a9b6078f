# Helpers for the desktop tests: our fake shell plays Explorer's desktop
# windows, which Wine does not have, and reports what it sees.
# shellcheck shell=bash

fake_shell() { wine "$LUMENFOLD_FAKE_SHELL" "$@" 2>/dev/null | tr -d '\r'; }

SHELL_PID=
start_fake_shell() {
    wine "$LUMENFOLD_FAKE_SHELL" serve "$@" >shell.out 2>&1 &
    SHELL_PID=$!
    check "the $1 fake shell is up" 'fake_shell_comes_up 90'
}

# NOTE: on a loaded two-core machine Wine can take well over ten seconds to
# start a program while the player renders; the deadline is made for that.
# A shell whose process ended will not come up: that fails at once.
fake_shell_comes_up() {
    local deadline=$((SECONDS + $1))
    while ((SECONDS < deadline)); do
        wine "$LUMENFOLD_FAKE_SHELL" wait 2000 2>/dev/null && return 0
        kill -0 "$SHELL_PID" 2>/dev/null || return 1
    done
    return 1
}

# Ends the shell as Explorer's process ends when it crashes or is ended from
# the task manager: nothing is closed in order, every window of it simply
# goes. Returns once its program manager is gone; with no shell running
# there is nothing to end.
kill_fake_shell() {
    wine taskkill /f /im "$(basename "$LUMENFOLD_FAKE_SHELL")" >/dev/null 2>&1
    fake_shell gone
}

# The player goes first: its window lives inside the shell's.
trap 'cleanup; fake_shell stop' EXIT

# Values of the shell's report, which a test reads into REPORT.
shell_says() { sed -n "s/^$1=//p" <<<"$REPORT" | head -1; }
shell_child() { sed -n "s/^child=$1 //p" <<<"$REPORT"; }

# How long the player waited for the workers differs from run to run.
any_worker_wait() { sed -E 's/^desktop: workers there after [0-9]+ ms$/desktop: workers there after N ms/'; }

# The attachment lines of a desktop that was found, up to the size.
attachment_lines() { logged | sed -n '/^hwnd:/,/^SetWindowPos:/p' | any_worker_wait; }

# The nine lines an attachment of WINDOW to the classic desktop in REPORT
# logs, handles in the case each line uses.
classic_attachment_lines() {
    echo "hwnd:${WINDOW,,}
Explorer:$EXPLORER
desktop: workers there after N ms
worker:$(shell_says icon-worker | tr A-F a-f)
defView:$(shell_says icon-view | tr A-F a-f)
worker2:$(shell_says wallpaper-worker)
worker2 GetParent:0  explorer:$EXPLORER
SetParent:$DESKTOP
SetWindowPos:${SCREEN/x/ }"
}

# Starts the player against the given layout (and the shell's options) and
# reads what both sides see.
attach_with_shell() {
    rm -f "$E2E_LOG"
    start_fake_shell "$@"
    start_player "$(plain_pass_set)"
    check "the attachment to the $1 shell ends with the size" "wait_for_log '^SetWindowPos:'"
    REPORT=$(fake_shell report)
    WINDOW=$(player_window)
    EXPLORER=$(shell_says program-manager | cut -d' ' -f1)
    SCREEN=$(shell_says screen)
    DESKTOP=$(probe desktop-window | sed -n 's/^desktop=//p')
}

detach() {
    stop_player
    fake_shell stop
}
