// Image pass: the scene of BufferA with the glow of BufferC, and below the
// horizon the same mirrored in rippling water.
#pragma iChannel0 BufferA
#pragma iChannel2 BufferC

vec3 glow_at(vec2 pos) {
    return texture(iChannel2, pos / iResolution.xy).rgb;
}

void mainImage(out vec4 fragColor, in vec2 fragCoord) {
    vec2 uv = fragCoord / iResolution.xy;
    float horizon_px = HORIZON * iResolution.y;
    vec3 colour;

    if (fragCoord.y >= horizon_px) {
        colour = texture(iChannel0, uv).rgb + 1.6 * glow_at(fragCoord);
    } else {
        // Distance below the horizon stands in for nearness: a row just
        // under the shore is far away, so its ripples are many and small.
        float below = (horizon_px - fragCoord.y) / iResolution.y;
        float remoteness = 0.1 / (below + 0.004);
        vec2 water = vec2(fragCoord.x / iResolution.y * remoteness * 2.0, remoteness * 12.0);
        float t = iTime * 0.3;
        float wave = noise2(water * vec2(0.6, 1.0) + vec2(0.0, t)) * 0.65
                   + noise2(water * vec2(1.3, 2.1) - vec2(t * 0.5, t * 1.6)) * 0.35;
        // Each ripple tilts the mirror: the reflection is torn sideways
        // into stacked strokes, and stretched downwards.
        vec2 mirrored = vec2(fragCoord.x, 2.0 * horizon_px - fragCoord.y);
        mirrored.x += (wave - 0.5) * 0.03 * iResolution.y * sqrt(below);
        mirrored.y -= wave * 0.05 * iResolution.y * below;
        mirrored.y = max(mirrored.y, horizon_px + 1.0);
        // Three fetches down the stretch smear each light into a streak.
        float smear = 0.02 * iResolution.y * below;
        vec3 reflected = vec3(0.0);
        for (int i = 0; i < 3; ++i) {
            vec2 at = vec2(mirrored.x, max(mirrored.y - float(i) * smear, horizon_px + 1.0));
            reflected += texture(iChannel0, at / iResolution.xy).rgb / 3.0;
        }
        reflected += 2.2 * glow_at(mirrored);
        // Water reflects less looking down than towards the horizon.
        float fresnel = mix(0.4, 0.8, exp(-8.0 * below));
        colour = reflected * fresnel * vec3(0.85, 0.9, 1.0) + vec3(0.004, 0.008, 0.016);
    }

    vec2 centred = uv - 0.5;
    colour *= 1.0 - 0.6 * dot(centred, centred);
    // Soft roll-off so the brightest lantern cores never clip harshly.
    colour = colour / (1.0 + 0.6 * max(max(colour.r, colour.g), colour.b));
    colour += (hash21(fragCoord + fract(iTime) * 61.0) - 0.5) / 255.0;
    fragColor = vec4(max(colour, 0.0), 1.0);
}
