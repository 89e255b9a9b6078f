#!/usr/bin/env bash
# Start-ups that cannot succeed end with 1 and leave nothing behind: a
# driver that cannot give a 4.5 core context (the failure is logged, no
# information dump follows), and a log file that can be written neither in
# the working folder nor in the local application data.
source "$(dirname "$0")/lib.sh"

export MESA_GL_VERSION_OVERRIDE=4.1
start_player
check "the player exits" "wait_for_player_exit 60"
check "the exit code is 1" "[[ \$(player_exit_code) == 1 ]]"
check "the failure names the version asked for" "logged | grep -qx 'wglCreateContextAttribsARB Failed, OpenGL 4.5 core'"
check "no information dump follows" "! logged | grep -q 'glGetDbgInfo'"
check "no window is left" "[[ \$(player_window) == 0 ]]"
window=$(logged | sed -n 's/^hwnd:\([0-9a-f]*\)$/\1/p')
check "no tray icon is left behind" "[[ -n '$window' && \$(probe tray-exists $window) == tray=0 ]]"

# A log that cannot be written anywhere: the start fails loudly instead of
# playing blind. Folders of the log's name take both places.
unset MESA_GL_VERSION_OVERRIDE
LOCAL_DIR=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)/Lumenfold
# The prefix is shared by every test: the folder must not outlive this one.
trap 'cleanup; rmdir "$LOCAL_DIR/$E2E_LOG" 2>/dev/null' EXIT
rm -f "$E2E_LOG"
mkdir "$E2E_LOG"
rm -f "$LOCAL_DIR/$E2E_LOG"
mkdir -p "$LOCAL_DIR/$E2E_LOG"
start_player
check "with an unwritable log the player exits" "wait_for_player_exit 60"
check "with 1" "[[ \$(player_exit_code) == 1 ]]"
check "saying why on standard error" \
    "grep -q 'cannot write the log file GLumenfold_Velvetdusk.log (.*), nor one in the local application data' player.err"
check "and leaves no window" "[[ \$(player_window) == 0 ]]"
finish
