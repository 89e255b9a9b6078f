#!/usr/bin/env bash
# Paths outside the system's code page: a set in a folder whose name no code
# page holds plays at start and when a later start forwards it, and the log
# names it in UTF-8.
source "$(dirname "$0")/lib.sh"
# Wine hands the player its arguments and file names in the locale's
# encoding; UTF-8 holds them all.
export LC_ALL=C.UTF-8

folder="$PWD/Ünïcødé 壁纸"
mkdir -p "$folder"
printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(0.0, 1.0, 0.0, 1.0); }\n' >"$folder/green.glsl"
printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(0.0, 0.0, 1.0, 1.0); }\n' >"$folder/blue.glsl"
printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(1.0, 1.0, 0.0, 1.0); }\n' >"$folder/blue.a.glsl"
shows() { screenshot now.png && [[ $(pixel_colour now.png 100 100) == "$1" ]]; }

start_player "$(win_path "$folder/green.glsl")"
check "a set in the folder plays at start, named in UTF-8" \
    "wait_for_log '^first frame presented: $(win_path "$folder/green.glsl" | sed 's/\\/\\\\/g')$' 60"
check "on screen" "eventually 'shows 0,255,0' 20"
check "no name was garbled" "! logged | grep -q '??'"

later_start "$(win_path "$folder/blue.glsl")"
check "a later start that forwards one exits with 0" "[[ \$(cat later.exit) == 0 ]]"
check "its set plays, companion and all" \
    "logged | grep -qxF 'load shader:$(win_path "$folder/blue.a.glsl")' && eventually 'shows 0,0,255' 20"

printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(1.0, 0.0, 0.0, 1.0); }\n' >"$folder/blue.glsl"
check "a save in the folder reloads it" "eventually 'shows 255,0,0' 10"

stop_player
finish
