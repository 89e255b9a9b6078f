#!/usr/bin/env bash
# A set with a Sound channel plays on a machine with no output device: it
# says so once, however often the player looks for one, and the channel
# reads silence (waveform 128, spectrum 0).
source "$(dirname "$0")/lib.sh"

# Quick software-rendered frames at a quarter scale.
SETTINGS_DIR=$(dirname "$(settings_file)")
mkdir -p "$SETTINGS_DIR"
printf '[player]\r\nrender_scale=25\r\n' >"$SETTINGS_DIR/lumenfold.ini"
# The prefix is shared by every test: no setting may outlive this one.
trap 'cleanup; rm -f "$SETTINGS_DIR/lumenfold.ini"' EXIT

named="$PWD/sets/sound.glsl"
mkdir -p sets
cat >"$named" <<'GLSL'
#pragma iChannel0 Sound
void mainImage(out vec4 o, in vec2 p) {
    o = vec4(texture(iChannel0, vec2(0.25, 0.75)).r, 1.0 - texture(iChannel0, vec2(0.25, 0.25)).r, 0.0, 1.0);
}
GLSL

no_device='^sound: no output device to listen to; Sound channels read silence$'
silent_picture() {
    screenshot now.png || return 1
    [[ $(pixel_colour now.png 100 100) =~ ^12[78],255,0$ ]]
}

start_player "$named"
check "the set plays" "wait_for_log '^first frame presented: $named$' 90"
check "the missing device is logged" "wait_for_log '$no_device' 30"
check "the picture shows silence: waveform 128, spectrum 0" "eventually silent_picture 30"
# The player looks again every three seconds; by the third look it has
# still said it once.
sleep 10
check "meanwhile no set was installed again and GL said nothing" "[[ \$(count_logged '^first frame presented:') -eq 1 ]] && ! logged | grep -q '^GL:'"
check "it is said once" "[[ \$(count_logged '$no_device') -eq 1 ]]"
check "no device was listened to" "[[ \$(count_logged '^sound: listening') -eq 0 ]]"
stop_player
finish
