// Ink on water: last frame's colours are carried along a slowly changing
// swirl, three drifting pens add fresh ink, and everything fades very
// slowly back to the dark water. Alpha is 1 once written.
#pragma iChannel0 BufferA

// The swirl is the curl of a stream function made of a few sine waves, so it
// neither gathers nor loses ink anywhere. Each wave fits a whole number of
// times across the screen, which makes the flow wrap around the edges: ink
// leaving on one side comes back on the other and the bath has no walls.
// The waves drift and swell at their own slow paces. Units are screen
// heights.
vec2 swirl(vec2 p, float t, float aspect) {
    const vec2 WAVES[4] = vec2[4](vec2(1.0, 1.0), vec2(2.0, -1.0), vec2(1.0, -2.0), vec2(3.0, 2.0));
    vec2 gradient = vec2(0.0);
    for (int i = 0; i < 4; ++i) {
        float fi = float(i);
        vec2 k = 6.2832 * vec2(WAVES[i].x / aspect, WAVES[i].y);
        float swell = 0.6 + 0.4 * sin(t * (0.023 + 0.009 * fi) + fi * 2.0);
        float amplitude = 0.0042 / (1.0 + 0.5 * fi) * swell;
        float phase = dot(k, p) + t * (0.07 + 0.03 * fi) + fi * 1.3;
        gradient += amplitude * cos(phase) * k;
    }
    return vec2(gradient.y, -gradient.x);
}

// Marbled-paper inks: plum, teal, ochre, terracotta, cream.
const vec3 INKS[5] = vec3[5](vec3(0.52, 0.30, 0.52), vec3(0.10, 0.46, 0.48), vec3(0.80, 0.60, 0.22),
                             vec3(0.72, 0.32, 0.22), vec3(0.88, 0.82, 0.68));
const vec3 WATER = vec3(0.05, 0.06, 0.10);

// What a pen lays down as time goes by: each ink in turn.
vec3 pen_colour(float x) {
    x = fract(x) * 5.0;
    int i = int(x);
    return mix(INKS[i], INKS[(i + 1) % 5], smoothstep(0.4, 0.6, fract(x)));
}

// Catmull-Rom weights for the four texels around a sample position.
vec4 cubic_weights(float f) {
    float f2 = f * f;
    float f3 = f2 * f;
    return vec4(-0.5 * f3 + f2 - 0.5 * f, 1.5 * f3 - 2.5 * f2 + 1.0, -1.5 * f3 + 2.0 * f2 + 0.5 * f,
                0.5 * f3 - 0.5 * f2);
}

// Linear filtering blurs a little at every step, and thousands of steps
// would blur the ink to mud within seconds; a cubic filter keeps the
// filaments far longer. Its overshoot is clamped to the four nearest
// texels, which keeps colours from ringing.
vec3 sample_cubic(vec2 pixel_pos) {
    vec2 size = iResolution.xy;
    vec2 x = pixel_pos - 0.5;
    ivec2 base = ivec2(floor(x));
    vec2 f = x - floor(x);
    vec4 wx = cubic_weights(f.x);
    vec4 wy = cubic_weights(f.y);
    ivec2 texels = ivec2(size);
    vec3 sum = vec3(0.0);
    vec3 low = vec3(1e9);
    vec3 high = vec3(-1e9);
    for (int j = 0; j < 4; ++j) {
        vec3 row = vec3(0.0);
        for (int i = 0; i < 4; ++i) {
            ivec2 at = (base + ivec2(i - 1, j - 1) + texels) % texels;
            vec3 c = texelFetch(iChannel0, at, 0).rgb;
            row += wx[i] * c;
            if ((i == 1 || i == 2) && (j == 1 || j == 2)) {
                low = min(low, c);
                high = max(high, c);
            }
        }
        sum += wy[j] * row;
    }
    return clamp(sum, low, high);
}

void mainImage(out vec4 fragColor, in vec2 fragCoord) {
    vec2 p = fragCoord / iResolution.y;
    float aspect = iResolution.x / iResolution.y;
    float t = iTime;
    vec4 here = texelFetch(iChannel0, ivec2(fragCoord), 0);

    // Alpha is 0 only in a cleared buffer: at the start and after a resize,
    // which clears the buffers without restarting the frame count. Start
    // from wavy bands of ink, the first comb of a marbler.
    if (iFrame == 0 || here.a == 0.0) {
        float band = p.y * 2.2 + 0.08 * sin(p.x * 9.0) + 0.05 * sin(p.x * 23.0 + 1.0);
        fragColor = vec4(INKS[int(fract(band) * 5.0)], 1.0);
        return;
    }

    // Rates are per second, not per frame, so a faster screen does not
    // swirl faster. iTimeDelta follows the measured frame rate; the clamp
    // keeps a stall from tearing the picture apart.
    float dt = clamp(iTimeDelta, 0.0, 0.05);
    // Semi-Lagrangian step: the ink here came from upstream. A midpoint
    // estimate keeps tight curls round.
    vec2 mid = p - 0.5 * dt * swirl(p, t, aspect);
    vec2 from = p - dt * swirl(mid, t, aspect);
    vec3 colour = sample_cubic(mod(from * iResolution.y, iResolution.xy));

    for (int i = 0; i < 3; ++i) {
        float fi = float(i);
        vec2 pen = vec2(aspect * (0.5 + 0.38 * sin(t * (0.031 + 0.011 * fi) + fi * 2.3)),
                        0.5 + 0.36 * sin(t * (0.043 + 0.007 * fi) + fi * 4.1));
        float nib = 0.032;
        float wet = 1.0 - smoothstep(0.4 * nib, nib, length(p - pen));
        vec3 ink = pen_colour(t * 0.006 + fi * 0.37);
        colour = mix(colour, ink, min(wet * 18.0 * dt, 1.0));
    }

    // Old ink sinks out of sight within a minute or two, so the bath never
    // silts up with the mixture of everything.
    colour = mix(colour, WATER, 0.015 * dt);
    fragColor = vec4(colour, 1.0);
}
