// The scene above the water: night sky with stars and a moon, two mountain
// ridges and paper lanterns rising in three depths. Alpha holds how much of
// the pixel lies in a lantern's glow, which is all that BufferB blurs.
// Below the horizon it writes nothing: the image pass mirrors this part.

float stars(vec2 p, float cell_size, float time) {
    vec2 cell = floor(p / cell_size);
    vec2 jitter = hash22(cell);
    if (jitter.x > 0.35) return 0.0;
    vec2 centre = (cell + 0.15 + 0.7 * hash22(cell + 7.3)) * cell_size;
    float pixel = 1.0 / iResolution.y;
    float d = length(p - centre);
    float twinkle = 0.65 + 0.35 * sin(time * (0.6 + jitter.y) + 40.0 * jitter.x);
    return (1.0 - smoothstep(0.0, 1.6 * pixel, d)) * twinkle * (0.25 + 0.75 * jitter.y * jitter.y);
}

// One layer of lanterns. `depth` 0 is near, 1 far; far ones are smaller,
// slower and dimmer. Returns light in rgb and coverage in alpha, and in
// `halo` how strongly the pixel lies in the lantern's glow.
vec4 lantern_layer(vec2 p, float depth, float time, out float halo) {
    halo = 0.0;
    float size = mix(0.030, 0.010, depth);
    float column_width = size * 6.0;
    float speed = mix(0.012, 0.005, depth);

    // Each column holds at most one lantern and its sway never carries it
    // out of the column, so one candidate per layer is enough.
    float c = floor(p.x / column_width);
    float seed = c * 7.13 + depth * 131.0;
    // Only some columns carry a lantern, so the sky is never crowded.
    if (hash11(seed) > 0.55) return vec4(0.0);
    float rise = fract(hash11(seed + 1.0) + time * speed * (0.8 + 0.4 * hash11(seed + 2.0)));
    float base = HORIZON + 0.01;
    float y = base + rise * (1.15 - base);
    float sway = 0.15 * column_width * sin(time * 0.23 + seed) * rise;
    float x = (c + 0.35 + 0.3 * hash11(seed + 3.0)) * column_width + sway;

    // A rounded box a little taller than wide, wider at the top than
    // at the open bottom.
    vec2 q = p - vec2(x, y);
    q.x *= 1.0 - 0.22 * clamp(q.y / size, -1.0, 1.0);
    vec2 box = abs(q) - vec2(0.55, 0.75) * size;
    float d = length(max(box, 0.0)) + min(max(box.x, box.y), 0.0) - 0.25 * size;
    float pixel = 1.0 / iResolution.y;
    float coverage = 1.0 - smoothstep(-pixel, pixel, d);
    float fade = smoothstep(0.0, 0.06, rise) * (1.0 - smoothstep(0.7, 1.0, rise));
    float brightness = mix(0.95, 0.45, depth);
    // The glow's source is soft, not the lantern's sharp outline: the blur
    // taps sit several pixels apart on a large screen and would show a sharp
    // source as bands. The falloff is never narrower than the tap spacing.
    float falloff = max(0.4 * size, 1.2 * glow_tap_spacing(iResolution.y) / iResolution.y);
    // Each lantern only knows its own column, so its halo fades out before
    // the column's edges instead of being cut off there.
    float to_edge = min(p.x - c * column_width, (c + 1.0) * column_width - p.x);
    halo = exp(-max(d, 0.0) / falloff) * brightness * fade * smoothstep(0.0, 0.2 * column_width, to_edge);
    if (coverage <= 0.0) return vec4(0.0);

    // Paper lit from a flame at the bottom: brightest there and along
    // the middle, where the light passes through the least paper.
    vec2 r = q / size;
    float across = clamp(r.x / 0.8, -1.0, 1.0);
    float paper = (1.0 - 0.45 * across * across) * mix(1.0, 0.55, smoothstep(-0.2, 0.9, r.y));
    float flame = exp(-dot(r - vec2(0.0, -0.75), r - vec2(0.0, -0.75)) * 18.0);
    float flicker = 0.9 + 0.1 * noise1(time * 3.0 + seed * 5.0);
    // They fade in over the shore and out high above; the fade thins the
    // coverage only, so a fading lantern never darkens the sky.
    vec3 light = lantern_light(0.35 * paper + flame) * brightness * flicker * (0.35 + 0.75 * paper + 1.2 * flame);
    return vec4(light, coverage * fade);
}

vec3 over(vec3 below, vec4 layer) {
    return mix(below, layer.rgb, layer.a);
}

void mainImage(out vec4 fragColor, in vec2 fragCoord) {
    vec2 uv = fragCoord / iResolution.xy;
    if (uv.y < HORIZON - 0.01) {
        fragColor = vec4(0.0);
        return;
    }
    float aspect = iResolution.x / iResolution.y;
    vec2 p = fragCoord / iResolution.y;
    float time = iTime;

    float height = (uv.y - HORIZON) / (1.0 - HORIZON);
    vec3 sky = mix(vec3(0.09, 0.06, 0.12), vec3(0.015, 0.02, 0.06), sqrt(clamp(height, 0.0, 1.0)));
    // The lanterns over the shore warm the haze along the horizon.
    sky += vec3(0.10, 0.04, 0.01) * exp(-10.0 * height);
    sky += vec3(0.75, 0.78, 0.9) * stars(p + vec2(time * 0.0008, 0.0), 0.035, time) * smoothstep(0.1, 0.5, height);

    vec2 moon_centre = vec2(0.78 * aspect, 0.82);
    float moon_radius = 0.045;
    float moon_d = length(p - moon_centre);
    float moon = 1.0 - smoothstep(moon_radius - 1.5 / iResolution.y, moon_radius, moon_d);
    // A crescent: the moon minus a disc shifted towards the lower left.
    float shade = smoothstep(moon_radius * 0.9, moon_radius * 1.05, length(p - moon_centre + vec2(0.022, 0.012)));
    float lit_moon = moon * (0.12 + 0.88 * shade);
    sky += vec3(0.10, 0.10, 0.09) * exp(-max(moon_d - moon_radius, 0.0) / 0.04);
    sky = mix(sky, vec3(0.85, 0.83, 0.74) * lit_moon, moon);

    // Both ridges drift very slowly sideways, as if the view were panning.
    float pixel = 1.0 / iResolution.y;
    float far_ridge = HORIZON + 0.01 + 0.32 * pow(ridge(p.x * 1.7 + time * 0.003, 3.0), 2.0);
    float near_ridge = HORIZON - 0.03 + 0.2 * pow(ridge(p.x * 2.9 + time * 0.006, 11.0), 2.0);

    vec3 colour = sky;
    // Haze lightens the far ridge towards its foot; the moon catches its
    // crest.
    vec3 far_rock = mix(vec3(0.075, 0.06, 0.11), vec3(0.04, 0.042, 0.08), smoothstep(HORIZON, far_ridge, uv.y));
    far_rock += vec3(0.05, 0.05, 0.06) * exp(-max(far_ridge - uv.y, 0.0) / (3.0 * pixel));
    colour = over(colour, vec4(far_rock, smoothstep(far_ridge + pixel, far_ridge, uv.y)));
    float far_halo, mid_halo, near_halo;
    vec4 far_lanterns = lantern_layer(p, 1.0, time, far_halo);
    colour = over(colour, far_lanterns);
    float near_rock = smoothstep(near_ridge + pixel, near_ridge, uv.y);
    colour = over(colour, vec4(vec3(0.015, 0.016, 0.035), near_rock));
    vec4 mid_lanterns = lantern_layer(p + vec2(0.37, 0.0), 0.55, time, mid_halo);
    colour = over(colour, mid_lanterns);
    vec4 near_lanterns = lantern_layer(p + vec2(0.71, 0.0), 0.0, time, near_halo);
    colour = over(colour, near_lanterns);

    // The near ridge hides the far lanterns' glow along with them.
    float glow = max(far_halo * (1.0 - near_rock), max(mid_halo, near_halo));
    fragColor = vec4(colour, glow);
}
