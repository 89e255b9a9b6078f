// Vertical half of the glow: BufferB's horizontal blur blurred upwards and
// downwards, so the image pass gets the whole glow in one fetch, also where
// the water mirrors it.
#pragma iChannel0 BufferB

void mainImage(out vec4 fragColor, in vec2 fragCoord) {
    // The water only mirrors what is above the horizon.
    if (fragCoord.y < HORIZON * iResolution.y - 1.0) {
        fragColor = vec4(0.0);
        return;
    }
    float spacing = glow_tap_spacing(iResolution.y);
    vec3 sum = vec3(0.0);
    for (int i = -4; i <= 4; ++i) {
        sum += texture(iChannel0, (fragCoord + vec2(0.0, float(i) * spacing)) / iResolution.xy).rgb * glow_tap_weight(i);
    }
    fragColor = vec4(sum, 1.0);
}
