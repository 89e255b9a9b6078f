#!/usr/bin/env bash
# A working folder where the log cannot be written (here a folder of the
# log's name; in life a shortcut that starts in Program Files) still gives
# a player: the log goes to %LOCALAPPDATA%\Lumenfold\ and says so first.
source "$(dirname "$0")/lib.sh"

FALLBACK_LOG=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)/Lumenfold/$E2E_LOG
rm -f "$FALLBACK_LOG"
# The prefix is shared by every test: no log may outlive this one there.
trap 'cleanup; rm -f "$FALLBACK_LOG"' EXIT

mkdir "$E2E_LOG"
start_player "$(plain_pass_set)"
E2E_LOG=$FALLBACK_LOG
check "the player plays, logging to the local application data" "wait_for_log '^first frame presented: ' 60"
check "whose first line says why and where" \
    "logged | head -1 | grep -qE '^log: the working folder.s GLumenfold_Velvetdusk.log cannot be written \\(.+\\), so the log is .:.*Lumenfold.GLumenfold_Velvetdusk.log$'"
check "Open log opens that one" \
    "probe command 1040 >/dev/null && wait_for_log '^Open log: .*Lumenfold.GLumenfold_Velvetdusk.log$' 10"
stop_player
finish
