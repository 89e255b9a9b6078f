// A shallow stream over pebbles, seen from above: the water's surface bends
// the view of the bed and focuses the sunlight into moving caustics.
// Keys toggle the caustics (C) and an evening light (E); a player without
// keyboard input shows the default, a sunny day.
#pragma iChannel0 pebbles.png
#pragma iChannel1 gray_noise.png
#pragma iChannel2 organic4.jpg
#pragma iChannel3 Keyboard

const int KEY_C = 67;
const int KEY_E = 69;

// Row 2 of the keyboard texture holds each key's toggle state.
bool toggled(int key) {
    return texelFetch(iChannel3, ivec2(key, 2), 0).r > 0.5;
}

// The stream flows along this direction, in screen heights per second.
const vec2 FLOW = vec2(-0.030, -0.012);

// Value noise from the noise image in one fetch: the coordinate is bent
// between texel centres so the linear filter blends with a smooth curve
// instead of a straight line, which would show the texel grid as creases.
float smooth_noise(vec2 p) {
    vec2 x = p * 256.0 - 0.5;
    vec2 i = floor(x);
    vec2 f = fract(x);
    f = f * f * (3.0 - 2.0 * f);
    return textureLod(iChannel1, (i + f + 0.5) / 256.0, 0.0).r;
}

float ridge(float n) {
    return 1.0 - abs(2.0 * n - 1.0);
}

// Two layers drifting with the flow at different speeds and angles make a
// surface that never repeats visibly.
const mat2 TURN_A = mat2(0.8, 0.6, -0.6, 0.8);
const mat2 TURN_B = mat2(0.28, -0.96, 0.96, 0.28);

float surface(vec2 p, float t) {
    return smooth_noise(TURN_A * p * 0.030 - FLOW * t * 0.05) +
           0.5 * smooth_noise(TURN_B * p * 0.065 + vec2(0.31, 0.17) - FLOW * t * 0.09);
}

// Caustics as a web of bright lines: each layer is brightest where its
// noise crosses its middle value; two crossing layers make the cells.
float caustics(vec2 p, float t) {
    float a = smooth_noise(TURN_A * p * 0.040 - FLOW * t * 0.07);
    float b = smooth_noise(TURN_B * p * 0.034 + vec2(0.53, 0.29) - FLOW.yx * t * 0.06);
    float ra = ridge(a);
    float rb = ridge(b);
    // A sharp line with a soft fringe, as focused light spreads a little.
    return min(pow(ra, 14.0) + pow(rb, 14.0) + 0.3 * (pow(ra, 3.0) + pow(rb, 3.0)), 1.6);
}

vec3 rock_colour(float shade, float region) {
    // Pebbles differ in brightness in the image; that picks the rock. The
    // brightness is blurred and falls off at each pebble's rim, so the rocks
    // are ordered to differ mostly in lightness there, not in hue. Grey
    // slate comes in patches instead.
    vec3 umber = vec3(0.55, 0.40, 0.30);
    vec3 jasper = vec3(0.80, 0.52, 0.40);
    vec3 sandstone = vec3(0.90, 0.74, 0.54);
    vec3 quartz = vec3(0.92, 0.88, 0.80);
    vec3 rock = mix(umber, jasper, smoothstep(0.30, 0.45, shade));
    rock = mix(rock, sandstone, smoothstep(0.45, 0.60, shade));
    rock = mix(rock, quartz, smoothstep(0.62, 0.80, shade));
    vec3 slate = vec3(0.56, 0.58, 0.58) * (0.7 + 0.5 * shade);
    return mix(rock, slate, smoothstep(0.55, 0.75, region));
}

void mainImage(out vec4 fragColor, in vec2 fragCoord) {
    vec2 uv = fragCoord / iResolution.xy;
    vec2 p = fragCoord / iResolution.y;
    float t = iTime;
    bool evening = toggled(KEY_E);

    // Surface slope by differences, a fraction of a ripple apart.
    const float e = 0.03;
    float h = surface(p, t);
    vec2 slope = vec2(surface(p + vec2(e, 0.0), t) - h, surface(p + vec2(0.0, e), t) - h) / e;

    // The bed, turned a little so the pebble tile's grid does not line up
    // with the screen, seen through the bent surface.
    const mat2 TURN_BED = mat2(0.94, 0.34, -0.34, 0.94);
    vec2 bed = TURN_BED * p * 0.55 + slope * 0.0005;
    // The pebble image is magnified several times on a large screen and its
    // outlines are stair-stepped, so the shading comes from a slightly
    // blurred level and the outline from a blurrier one, cut sharply.
    float stone = textureLod(iChannel0, bed, 0.8).r;
    float stone_mean = textureLod(iChannel0, bed, 3.5).r;
    float outline = textureLod(iChannel0, bed, 1.5).r;
    float edge = fwidth(outline) + 0.005;
    float pebble_mask = smoothstep(0.26 - edge, 0.26 + edge, outline);
    vec3 pebble = rock_colour(stone_mean, smooth_noise(bed * 0.04 + 0.37)) * (0.2 + 0.9 * stone);

    // Between the pebbles: sand with patches of algae. Only the blurred
    // colour of the image is used; its veins would compete with the
    // caustics.
    vec3 algae = textureLod(iChannel2, bed * 0.6, 3.0).rgb;
    vec3 sand = mix(vec3(0.42, 0.35, 0.24), algae * vec3(0.45, 0.50, 0.30), 0.3) * (0.6 + stone);
    vec3 floor_colour = mix(sand, pebble, pebble_mask);

    // Sunlight reaching the bed: caustics where the surface focuses it.
    // A tree upstream shades part of the bed; its leaves stir slowly.
    vec2 sway = 0.004 * vec2(sin(t * 0.21), sin(t * 0.17 + 1.0));
    float leaf_shade = smoothstep(0.42, 0.62, smooth_noise(p * 0.010 + vec2(0.7, 0.2) + sway));
    float sun = 0.7;
    if (!toggled(KEY_C)) sun += 0.8 * caustics(p * 0.7 + slope * 0.004, t);
    sun *= 1.0 - 0.3 * leaf_shade;
    vec3 light = evening ? vec3(1.0, 0.62, 0.38) * 0.6 : vec3(1.0, 0.96, 0.88);
    vec3 colour = floor_colour * light * sun;

    // Water absorbs red first: the bed is seen through a teal veil, deeper
    // towards the bottom of the screen.
    float depth = mix(0.15, 0.4, 1.0 - uv.y) + 0.1 * (h - 0.75);
    vec3 water = evening ? vec3(0.05, 0.08, 0.12) : vec3(0.09, 0.17, 0.13);
    colour = mix(colour * vec3(0.90, 0.97, 0.92), water, depth * 0.45);

    // Sky glints on the steepest ripples.
    vec3 glint_colour = evening ? vec3(0.9, 0.55, 0.35) : vec3(0.8, 0.9, 1.0);
    colour += glint_colour * 0.06 * smoothstep(1.5, 3.0, length(slope));

    vec2 centred = uv - 0.5;
    colour *= 1.0 - 0.7 * dot(centred, centred);
    fragColor = vec4(colour * 0.8, 1.0);
}
