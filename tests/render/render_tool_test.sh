#!/usr/bin/env bash
# lumenfold-render as an author uses it: exit codes, the picture's size,
# colour and orientation, feedback over fixed time steps, quiet success,
# the compiler's messages on failure, repeatable bytes, every example.
source "$(dirname "$0")/render_lib.sh"

render -o unused.png --quality 9
check "an unknown option exits with 2" "[[ $code == 2 ]]"
check "with one usage line" "[[ \$(wc -l <err) == 1 ]] && grep -q 'usage: lumenfold-render' err"
render "$(halves_pass_set)"
check "a missing -o exits with 2" "[[ $code == 2 && \$(wc -l <err) == 1 ]]"

render "$(halves_pass_set)" -o halves.png
check "a one-colour set renders with 0" "[[ $code == 0 ]]"
check "success says nothing" "[[ ! -s err && ! -s out ]]"
check "the default size is 1280x720 RGBA8" "[[ \$(png_header halves.png) == '1280 720 8 6' ]]"
check "the top row comes first" "[[ \$(pixel halves.png 0 0) == '51 102 153 255' ]]"
check "the bottom row comes last" "[[ \$(pixel halves.png 1279 719) == '255 0 0 255' ]]"

printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(0.0, 1.0, 0.0, 0.25); }\n' >translucent.glsl
render translucent.glsl -o translucent.png --size 4x4
check "the picture is opaque, as the desktop shows it" "[[ $code == 0 && \$(pixel translucent.png 1 1) == '0 255 0 255' ]]"

cat >counter.a.glsl <<'GLSL'
#pragma iChannel0 BufferA
void mainImage(out vec4 o, in vec2 p) { o = texelFetch(iChannel0, ivec2(p), 0) + 1.0; }
GLSL
cat >counter.glsl <<'GLSL'
#pragma iChannel0 BufferA
void mainImage(out vec4 o, in vec2 p) {
    float counted = texelFetch(iChannel0, ivec2(p), 0).r;
    bool inputs = iFrameRate == 60.0 && abs(iTimeDelta * 60.0 - 1.0) < 1e-6 && iMouse == vec4(0.0) &&
                  iDate == vec4(2026.0, 0.0, 1.0, 43200.0 + iTime);
    o = vec4(counted, float(iFrame), inputs ? iTime * 60.0 : 200.0, 255.0) / 255.0;
}
GLSL
render counter.glsl -o counter.png --size 8x4 --time 0.5
check "31 frames at 60 per second: the counter, iFrame and iTime agree, the date follows iTime" \
    "[[ $code == 0 && \$(pixel counter.png 3 2) == '31 30 30 255' ]]"

printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(1.0); }\n' >broken.glsl
printf 'void mainImage(out vec4 o, in vec2 p) { o = no_such_value; }\n' >broken.a.glsl
render broken.glsl -o broken.png --size 8x8
check "a set with a buffer that does not build exits with 1" "[[ $code == 1 ]]"
check "the compiler's message is on standard error" "grep -q 'error.*no_such_value' err"
check "the last line says what failed" "tail -1 err | grep -q '^lumenfold-render: .*broken.glsl does not build'"
check "no file is written" "[[ ! -e broken.png ]]"

render "$(halves_pass_set)" -o no-such-folder/out.png --size 8x8
check "an unwritable output exits with 1 and says so" "[[ $code == 1 ]] && tail -1 err | grep -q 'cannot write'"
MESA_GL_VERSION_OVERRIDE=4.1 render "$(halves_pass_set)" -o old.png --size 8x8
check "without a 4.5 core context it exits with 1 and says so" \
    "[[ $code == 1 ]] && tail -1 err | grep -q 'no OpenGL 4.5 core context' && [[ ! -e old.png ]]"

# Each line uses the one before: the driver's compiler recurses once a line.
awk 'BEGIN { print "void mainImage(out vec4 o, in vec2 p) {\n    float v = p.x;";
             for (i = 0; i < 5000; i++) print "    v = v * 0.999 + 0.001;";
             print "    o = vec4(fract(v));\n}" }' >deep.glsl
# With the process's own stack small (1 MiB overflowed here before): the
# compile must not depend on it. The cache would hide a crash on a rerun.
LUMENFOLD_RENDER_EMULATOR="prlimit --stack=1048576" MESA_SHADER_CACHE_DISABLE=true render deep.glsl -o deep.png \
    --size 8x8
check "a 5,000-line dependent text builds or fails with the compiler's message, never a crash" \
    "[[ $code == 0 ]] || { [[ $code == 1 ]] && tail -1 err | grep -q 'deep.glsl does not build'; }"

printf '#pragma iChannel0 BufferA\nvoid mainImage(out vec4 o, in vec2 p) { o = texture(iChannel0, p); }\n' >huge.glsl
printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(1.0); }\n' >huge.a.glsl
render huge.glsl -o huge.png --size 16384x16384
check "targets the GL cannot allocate end the render with 1, saying so" \
    "[[ $code == 1 && ! -e huge.png ]] && tail -1 err | grep -q 'could not allocate the render targets of 16384x16384'"

render -o first.png --size 320x180 --time 0.1
check "the built-in wallpaper renders" "[[ $code == 0 ]]"
check "and is not black" "brighter_than first.png 0.05"
render -o second.png --size 320x180 --time 0.1
check "the same arguments give the same bytes" "[[ $code == 0 ]] && cmp -s first.png second.png"

render counter.glsl --stats --size 64x36 --time 0.2
check "--stats alone writes no picture and prints a line for each pass drawn, Main last, then the frame" \
    "[[ $code == 0 ]] && [[ \$(grep -c '^stats: ' out) == 4 ]] && sed -n 2p out | grep -q '^stats: BufferA ' &&
     sed -n 3p out | grep -q '^stats: Main '"
check "13 frames measured, each pass's median GPU time and the frame's at 3840x2160 by pixel count" \
    "grep -q '^stats: 13 frames measured at 64x36' out && awk '/^stats: frame/ { exit !(\$3 > 0 && \$9 > \$3 * 3500) }' out"

for folder in "$LUMENFOLD_ROOT"/examples/*/; do
    name=$(basename "$folder")
    [[ -f "$folder/$name.glsl" ]] || continue
    render "$folder/$name.glsl" -o "example-$name.png" --size 160x90 --time 0.2
    check "the example $name renders" "[[ $code == 0 ]]"
done
finish
