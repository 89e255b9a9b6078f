#!/usr/bin/env bash
# A first start logs the context information, shows its tray icon, ignores
# clicks that are not a double click and Alt, keeps its buffers through a
# minimise and restore, survives a taskbar restart, and ends with exit code 0
# on a double click, taking its icon with it.
source "$(dirname "$0")/lib.sh"
play_without_gpu_budget

echo "stale line from an earlier run" >"$E2E_LOG"
start_player "$(counting_pass_set)"
check "context information is logged" "wait_for_log '^---------------------$'"

check "an earlier log is emptied" "! logged | grep -q 'stale line'"
check "the dump is six lines in order with Mesa's strings" \
    "logged | grep -A5 '^glGetDbgInfo:$' | cut -d: -f1 | tr '\n' ' ' | grep -qx 'glGetDbgInfo GL_VENDOR GL_RENDERER GL_VERSION GL_SHADING_LANGUAGE_VERSION --------------------- '"
check "the vendor and renderer are Mesa's" "logged | grep -q '^GL_VENDOR:Mesa' && logged | grep -q '^GL_RENDERER:llvmpipe'"
check "the version lines name a 4.5 core context" \
    "logged | grep -qx 'GL_VERSION:4.5 (Core Profile) Mesa 22.3.6' && logged | grep -qx 'GL_SHADING_LANGUAGE_VERSION:4.50'"
check "no driver message reports an error" "! logged | grep -q '^GL:.*ERROR'"

window=$(player_window)
check "the window exists" "[[ -n '$window' ]]"
check "the window is a visible borderless pop-up" "probe describe | grep -q 'visible=1 style=9'"
check "the tray icon exists" "[[ \$(probe tray-exists) == tray=1 ]]"

probe tray-click single >/dev/null
check "the player has handled the click" "sync_player"
check "a single click leaves the player running" "[[ ! -f player.exit ]]"
check "a right click opens the tray menu" "[[ \$(probe menu) == menu=1 ]]"
check "Escape closes it" "[[ \$(probe menu-escape) == menu=0 ]]"
check "the menu leaves the player running" "sync_player && [[ ! -f player.exit ]]"

check "Alt is swallowed and the player keeps answering" "[[ \$(probe alt) == 'keymenu=1 alive=1' ]]"

recreations() { logged | grep -c '^old fbo:'; }
counting_on() { screenshot now.png && [[ $(pixel_colour now.png 100 100) == 0,255,0 ]]; }
check "the install sizes BufferA once, at the size set during start-up" "eventually '[[ \$(recreations) == 1 ]]' 30"
check "the buffer counts every frame" "eventually counting_on 30"
probe minimize >/dev/null
check "the player has drawn frames since" "sync_player"
check "minimising keeps the size and the render targets" "[[ \$(recreations) == 1 ]]"
probe restore >/dev/null
check "the restored player has drawn frames since" "sync_player"
check "a restore to the same size keeps the render targets" "[[ \$(recreations) == 1 ]]"
check "and what they hold: the buffer counted on" "eventually counting_on 30"

probe taskbar-created >/dev/null
check "after a taskbar restart the icon is there" "[[ \$(probe tray-exists) == tray=1 ]]"
check "a taskbar restart leaves the player running" "[[ ! -f player.exit ]]"

stop_player
check "no tray icon is left behind" "[[ \$(probe tray-exists $window) == tray=0 ]]"
finish
