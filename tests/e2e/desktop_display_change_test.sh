#!/usr/bin/env bash
# A change of resolution moves the attached player over the new primary
# screen at its new size, and the render targets follow. Wine changes its
# display only inside a virtual desktop, so the player, the fake shell and
# the probe all run in one, under names of their own that nothing else uses.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fake_shell.sh"

desktop_key='HKCU\Software\Wine\Explorer\Desktops'
in_virtual_desktop() {
    local program=$1 copy
    copy="$PWD/$(basename "${program%.exe}")_displays.exe"
    cp "$program" "$copy"
    wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$(basename "$copy")\\Explorer" /v Desktop /d LumenfoldDisplays /f \
        >/dev/null 2>&1
    echo "$copy"
}
leave_virtual_desktop() {
    local program
    for program in *_displays.exe; do
        wine reg delete "HKCU\\Software\\Wine\\AppDefaults\\$program" /f >/dev/null 2>&1
    done
    wine reg delete "$desktop_key" /v LumenfoldDisplays /f >/dev/null 2>&1
}
# NOTE: the virtual desktop leaves its last mode in the prefix's display
# registry, where every later Wine program would read its monitors from
# until the prefix's server ends: it ends with this test.
trap 'cleanup; fake_shell stop; leave_virtual_desktop; wineserver -k 2>/dev/null; wineserver -w 2>/dev/null' EXIT

wine reg add "$desktop_key" /v LumenfoldDisplays /d 800x600 /f >/dev/null 2>&1
LUMENFOLD_EXE=$(in_virtual_desktop "$LUMENFOLD_EXE")
LUMENFOLD_PROBE=$(in_virtual_desktop "$LUMENFOLD_PROBE")
LUMENFOLD_FAKE_SHELL=$(in_virtual_desktop "$LUMENFOLD_FAKE_SHELL")

start_fake_shell classic
start_player "$(counting_pass_set)"
check "the player attaches at the virtual desktop's size" "wait_for_log '^SetWindowPos:800 600$'"
check "and draws" "wait_for_log '^first frame presented:'"
EXPLORER=$(fake_shell report | sed -n 's/^program-manager=\([0-9A-F]*\).*/\1/p')
recreations=$(count_logged '^new fbo:')

check "the resolution changes to 640 x 480" "[[ \$(probe display-mode 640 480) == changed=1 ]]"
check "the player covers the new screen" \
    "eventually \"probe describe | grep -q 'parent=$EXPLORER rect=0,0,640,480 visible=1'\" 10"
check "and says so" "wait_for_log '^screen:640 480 at 0 0$'"
check "the render targets follow" "eventually '(( \$(count_logged \"^new fbo:\") > $recreations ))' 10"

check "and back to 800 x 600" "[[ \$(probe display-mode 800 600) == changed=1 ]]"
check "the player follows again" \
    "eventually \"probe describe | grep -q 'parent=$EXPLORER rect=0,0,800,600 visible=1'\" 10"

stop_player
finish
