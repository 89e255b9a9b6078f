// Image pass: shows the ink of BufferA as if floating on a marbler's bath,
// with a faint sheen where the colour changes and a darker rim.
#pragma iChannel0 BufferA

float luminance(vec3 c) {
    return dot(c, vec3(0.3, 0.55, 0.15));
}

void mainImage(out vec4 fragColor, in vec2 fragCoord) {
    vec2 uv = fragCoord / iResolution.xy;
    vec2 texel = 1.0 / iResolution.xy;
    vec3 ink = texture(iChannel0, uv).rgb;

    // Light from the upper left catches the ridges between inks, which
    // gives the flat colours a little body.
    float scale = iResolution.y / 540.0;
    vec2 offset = texel * max(scale, 1.0);
    float dx = luminance(texture(iChannel0, uv + vec2(offset.x, 0.0)).rgb) -
               luminance(texture(iChannel0, uv - vec2(offset.x, 0.0)).rgb);
    float dy = luminance(texture(iChannel0, uv + vec2(0.0, offset.y)).rgb) -
               luminance(texture(iChannel0, uv - vec2(0.0, offset.y)).rgb);
    float sheen = clamp(-dx + dy, -0.3, 0.3);

    vec3 colour = ink * 0.8 + 0.25 * sheen;
    vec2 centred = uv - 0.5;
    colour *= 1.0 - 0.8 * dot(centred, centred);
    fragColor = vec4(max(colour, 0.0), 1.0);
}
