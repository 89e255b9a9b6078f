#!/usr/bin/env bash
# Reload on save: each save of the playing set shows on screen within a few
# seconds, whether the editor writes in place or through a temporary file
# and a rename; a save that does not build leaves the picture and puts the
# compiler's messages in the log; companions that appear or change count.
source "$(dirname "$0")/lib.sh"

mkdir -p sets
set_main="$PWD/sets/scene.glsl"
paint() { printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(%s, 1.0); }\n' "$1"; }
shows() { screenshot now.png && [[ $(pixel_colour now.png 100 100) == "$1" ]]; }
reloads() { count_logged "^pass set changed on disk: $set_main$"; }

paint '1.0, 0.0, 0.0' >"$set_main"
printf 'unrelated\n' >sets/notes.txt
start_player "$set_main"
check "the set plays" "eventually 'shows 255,0,0' 60"

printf 'changed\n' >>sets/notes.txt
check "another file of the folder changes nothing" "sync_player && sleep 1 && [[ \$(reloads) == 0 ]]"

paint '0.0, 1.0, 0.0' >"$set_main"
check "a save in place shows within 4 s" "eventually 'shows 0,255,0' 4"

# As editors that save atomically do: the new text is written in another
# folder and moved over the set, so the watched folder only sees a name
# change, never a write.
mkdir -p elsewhere
paint '0.0, 0.0, 1.0' >elsewhere/scene.glsl.tmp
sleep 0.5
mv elsewhere/scene.glsl.tmp "$set_main"
check "a save through a temporary file in another folder and a rename shows within 4 s" \
    "eventually 'shows 0,0,255' 4"

printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(1.0) }\n' >"$set_main"
check "a broken save is reported with the compiler's messages" \
    "wait_for_log '^load_shader failed:$set_main$' 4 && logged | grep -q '^Compile Error:'"
check "and the picture stays" "sync_player && shows 0,0,255"

cat >"$set_main" <<'GLSL'
#pragma iChannel0 BufferA
void mainImage(out vec4 o, in vec2 p) { o = texelFetch(iChannel0, ivec2(p), 0); }
GLSL
paint '1.0, 1.0, 0.0' >sets/scene.a.glsl
check "a companion that appears shows within 4 s" "eventually 'shows 255,255,0' 4"
paint '1.0, 0.0, 1.0' >sets/scene.a.glsl
check "a companion that changes shows within 4 s" "eventually 'shows 255,0,255' 4"
check "every reload was logged once per save that changed the set" "(( \$(reloads) >= 5 ))"
check "and the first frame of each reload is reported with the set's path" \
    "(( \$(count_logged '^first frame presented: $set_main$') == \$(reloads) ))"

stop_player
finish
