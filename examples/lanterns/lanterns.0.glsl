// Common part of every pass: the horizon they all agree on, hashes, value
// noise and the lantern colour. It comes before the uniform block, so nothing
// here may use iTime or the channels.

// Height of the far shore, as a fraction of the screen height.
const float HORIZON = 0.34;

// Integer hashing: alternate xor-shifts and odd multipliers until every
// input bit has reached every output bit. Floats are hashed by their bits,
// so any two different values differ.
uint scramble(uint x) {
    x ^= x >> 16;
    x *= 0x9E3779B9u;
    x ^= x >> 15;
    x *= 0x7A3B5C1Du;
    x ^= x >> 16;
    return x;
}

float unit_float(uint x) {
    return float(x >> 8) * (1.0 / 16777216.0);
}

float hash11(float n) {
    return unit_float(scramble(floatBitsToUint(n)));
}

float hash21(vec2 p) {
    uvec2 bits = floatBitsToUint(p);
    return unit_float(scramble(bits.x ^ scramble(bits.y)));
}

vec2 hash22(vec2 p) {
    uvec2 bits = floatBitsToUint(p);
    uint h = scramble(bits.x ^ scramble(bits.y));
    return vec2(unit_float(h), unit_float(scramble(h)));
}

float noise1(float x) {
    float i = floor(x);
    float f = fract(x);
    return mix(hash11(i), hash11(i + 1.0), f * f * (3.0 - 2.0 * f));
}

float noise2(vec2 p) {
    vec2 i = floor(p);
    vec2 f = fract(p);
    vec2 w = f * f * (3.0 - 2.0 * f);
    return mix(mix(hash21(i), hash21(i + vec2(1.0, 0.0)), w.x),
               mix(hash21(i + vec2(0.0, 1.0)), hash21(i + vec2(1.0, 1.0)), w.x), w.y);
}

// A ridge line of peaks: folded noise has a crease wherever the noise
// crosses its middle, and creases read as crests.
float ridge(float x, float seed) {
    float h = 0.0;
    float amplitude = 0.5;
    for (int octave = 0; octave < 4; ++octave) {
        h += amplitude * (1.0 - abs(2.0 * noise1(x + seed) - 1.0));
        x *= 2.05;
        seed += 17.0;
        amplitude *= 0.45;
    }
    return h;
}

// The glow is blurred with nine taps this many pixels apart in each
// direction; the radius follows the screen height so the glow keeps its
// size next to the lanterns. On a large screen the taps sit several texels
// apart, so BufferA makes the glow's source at least that soft.
float glow_tap_spacing(float screen_height) {
    return max(0.035 * screen_height / 4.0, 1.0);
}

float glow_tap_weight(int i) {
    // A Gaussian of two taps' deviation, normalised over the nine taps.
    return exp(-0.125 * float(i * i)) / 4.8980;
}

// The paper's colour when lit from inside: deep orange at the rim, pale gold
// at the flame.
vec3 lantern_light(float core) {
    return mix(vec3(0.95, 0.36, 0.10), vec3(1.0, 0.82, 0.50), core);
}
