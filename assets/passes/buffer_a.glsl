// Scene: a glowing gas disc around a point mass, ray-marched through a field
// that bends every ray towards the centre.
#pragma iChannel0 rgba_noise.png
#pragma iChannel1 organic1.jpg
#pragma iChannel2 BufferA

const int   STEPS = 300;
const float DEPTH = 15.0;
const float STEP = DEPTH / float(STEPS);
const float FOCAL = 6.0;
const float BEND = 5.0;

const float DISC_RADIUS = 3.2;
const float DISC_WIDTH = 5.3;
const float DISC_THICKNESS = 0.1;
const float DISC_INNER = DISC_RADIUS - 0.5 * DISC_WIDTH;
const float DISC_OUTER = DISC_RADIUS + 0.5 * DISC_WIDTH;
// How far a dense clump may billow above the disc's mean surface. Together
// with the flare it bounds the slab in which the noise and texture fetches
// happen at all; fetches dominate the cost of the march.
const float CLUMP_MAX = 1.6;

const float RING_RADIUS = 1.0;
const float RING_THICKNESS = 0.01;

// Rays that dip below the photon orbit are swallowed. The darkening starts a
// little outside it, because the rays that graze the orbit are the ones that
// wind around several times and would otherwise flicker as lone bright pixels.
const float HORIZON_OUTER = 0.37;
const float HORIZON_INNER = 0.31;
const float HORIZON_OPACITY = 60.0;

const float NOISE_SPEED = 0.06;

float rand(vec2 co)
{
    return fract(sin(dot(co, vec2(12.9898, 78.223))) * 43758.5453);
}

// Value noise from the noise image: its green channel is the red channel
// moved by (37, 17) texels, so one bilinear fetch returns two neighbouring
// z-slices of a 3D lattice and the z interpolation is a single mix.
float noise(vec3 x)
{
    vec3 p = floor(x);
    vec3 f = fract(x);
    f = f * f * (3.0 - 2.0 * f);
    vec2 uv = (p.xy + vec2(37.0, 17.0) * p.z) + f.xy;
    vec2 rg = textureLod(iChannel0, (uv + 0.5) / 256.0, 0.0).yx;
    return mix(rg.x, rg.y, f.z);
}

mat2 rot(float a)
{
    float c = cos(a);
    float s = sin(a);
    return mat2(c, s, -s, c);
}

mat3 rotX(float a)
{
    float c = cos(a);
    float s = sin(a);
    return mat3(1.0, 0.0, 0.0,
                0.0, c, s,
                0.0, -s, c);
}

mat3 rotY(float a)
{
    float c = cos(a);
    float s = sin(a);
    return mat3(c, 0.0, -s,
                0.0, 1.0, 0.0,
                s, 0.0, c);
}

mat3 rotZ(float a)
{
    float c = cos(a);
    float s = sin(a);
    return mat3(c, s, 0.0,
                -s, c, 0.0,
                0.0, 0.0, 1.0);
}

// Rough black-body ramp: red saturates first, blue last, so cooling gas goes
// from white through yellow and orange to a deep red.
vec3 heatColour(float t)
{
    t = max(t, 0.0);
    return vec3(t, t * t, t * t * t * t) * vec3(1.0, 0.85, 0.7);
}

void mainImage(out vec4 fragColor, in vec2 fragCoord)
{
    vec2 uv = (2.0 * fragCoord - iResolution.xy) / iResolution.y;

    vec3 angles = vec3(0.05 + 0.05 * iMouse.y / iResolution.y,
                       1.0 + iMouse.x / iResolution.x,
                       -0.45);
    mat3 camera = rotY(angles.y) * rotX(angles.x) * rotZ(angles.z);
    vec3 ro = camera * vec3(0.0, 0.0, -10.0);
    vec3 rd = camera * normalize(vec3(uv, FOCAL));

    // Start each ray a random fraction of two steps in, so the fixed step
    // pattern turns into fine grain instead of contour bands.
    float start = rand(fragCoord / iResolution.xy) * 2.0 * DEPTH / float(STEPS);
    vec3 p = ro + rd * start;

    float time = iTime * NOISE_SPEED;

    // The gas orbits faster near the centre. Shearing one pattern for ever
    // would wind it into stripes, so two copies each shear for one period and
    // hand over to the other while they are fresh.
    const float PERIOD = 2.5;
    float phaseA = fract(time / PERIOD);
    float phaseB = fract(time / PERIOD + 0.5);
    float weightA = 1.0 - abs(2.0 * phaseA - 1.0);
    float weightB = 1.0 - weightA;
    float ageA = (phaseA - 0.5) * PERIOD;
    float ageB = (phaseB - 0.5) * PERIOD;
    // Each hand-over starts a new, unrelated pattern; the noise repeats every
    // 256 slices, which keeps the offsets small.
    float seedA = mod(floor(time / PERIOD) * 31.0, 256.0);
    float seedB = mod(floor(time / PERIOD + 0.5) * 31.0 + 17.0, 256.0);
    // Blending two independent patterns would halve their contrast halfway
    // through; rescaling keeps it steady.
    float contrast = inversesqrt(weightA * weightA + weightB * weightB);
    // The fine texture turns rigidly, at the pace of the gas just outside the
    // inner rim.
    mat2 detailSpin = rot(-mod(time * 1.8, 6.2831853));

    // The last mip level is the texture's mean, so the detail is measured
    // against it: the disc keeps its brightness whatever the picture is.
    const vec3 LUMA = vec3(0.3, 0.5, 0.2);
    float detailNorm = 1.0 / max(dot(textureLod(iChannel1, vec2(0.5), 16.0).rgb, LUMA), 0.02);

    // Footprint of one pixel per unit of distance, for the texture's LOD.
    float pixelAngle = 2.0 / (FOCAL * iResolution.y);

    vec3 light = vec3(0.0);
    float transmittance = 1.0;
    float travelled = start;

    for (int i = 0; i < STEPS; i++) {
        // Nothing further along can show through any more; rays swallowed
        // by the centre end here as well.
        if (transmittance < 0.002) {
            break;
        }
        float r2 = dot(p, p);
        float r = sqrt(r2);
        transmittance *= exp(-HORIZON_OPACITY * STEP * (1.0 - smoothstep(HORIZON_INNER, HORIZON_OUTER, r)));

        float radius = length(p.xz);

        // Haze ring: a thin torus whose glow falls off with the square of
        // the distance, so it reads as a sharp line wrapped in a soft haze;
        // the exponential keeps that haze from fogging the whole view.
        vec2 ringDelta = vec2(radius - RING_RADIUS, p.y);
        float ringDist = max(length(ringDelta) - RING_THICKNESS, 0.0);
        light += transmittance * vec3(1.0, 0.62, 0.34) * (0.06 * exp(-3.0 * ringDist) / (ringDist * ringDist + 0.006));

        // The disc's local ceiling: flare with radius times the tallest clump.
        float ceiling = DISC_THICKNESS * (0.55 + 0.45 * radius / DISC_RADIUS);
        if (abs(p.y) < CLUMP_MAX * ceiling && radius > DISC_INNER && radius < DISC_OUTER) {
            // Kepler-like angular speed, scaled so the inner rim turns about
            // once every seventeen seconds.
            float spin = 6.0 * pow(DISC_INNER / radius, 1.5);
            // A fixed logarithmic twist gives the pattern spiral arms; the
            // age of each copy adds the orbit it has made so far.
            float twist = 1.8 * log(radius);
            vec2 qa = rot(twist - spin * ageA) * p.xz;
            vec2 qb = rot(twist - spin * ageB) * p.xz;
            float na = noise(vec3(qa * 2.2, p.y * 3.0 + seedA));
            float nb = noise(vec3(qb * 2.2, p.y * 3.0 + seedB));
            float n = 0.5 + ((na - 0.5) * weightA + (nb - 0.5) * weightB) * contrast;
            float clouds = smoothstep(0.2, 0.8, n);

            // Radial envelope: steep inner rim, long soft outer fade.
            float rim = smoothstep(DISC_INNER, DISC_INNER + 0.6, radius);
            float fade = 1.0 - smoothstep(DISC_RADIUS - 0.6, DISC_OUTER, radius);
            // The disc flares with radius, and dense clumps billow above
            // its surface, so seen edge-on its rim is ragged, not ruled.
            float height = ceiling * clamp(0.4 + 1.2 * n, 0.3, CLUMP_MAX);
            float vertical = max(1.0 - (p.y * p.y) / (height * height), 0.0);
            float envelope = rim * fade * vertical * vertical * clouds;

            // Most slab samples miss the gas itself; only those that hit it
            // pay for the detail fetch and the shading.
            if (envelope > 0.0) {
                vec2 dq = detailSpin * p.xz;
                float lod = max(log2(max(travelled * pixelAngle * 1024.0 * 0.2, 1e-6)) + 1.0, 0.0);
                float detail = dot(textureLod(iChannel1, dq * 0.2, lod).rgb, LUMA) * detailNorm;
                float density = envelope * clamp(0.1 + 0.9 * detail, 0.0, 3.0);

                // Hotter inwards.
                float heat = pow(DISC_INNER / radius, 0.7);
                // Light from gas coming towards the eye is brighter and bluer.
                vec3 flow = normalize(vec3(-p.z, 0.0, p.x));
                float beta = 0.3 * sqrt(DISC_INNER / radius);
                float doppler = 1.0 / (1.0 - beta * dot(flow, -rd));
                float beaming = doppler * doppler * doppler;

                vec3 emission = heatColour(heat * doppler * 1.2) * beaming * (1200.0 / (radius * radius));
                light += transmittance * emission * density * STEP;
                transmittance *= exp(-density * 9.0 * STEP);
            }
        }

        // Pull the ray towards the centre, harder the closer it passes.
        vec3 towardCentre = -p / max(r, 1e-6);
        rd = normalize(rd + towardCentre * (BEND / (r2 + 0.000001) / float(STEPS)));
        p += rd * STEP;
        travelled += STEP;
    }

    fragColor = vec4(clamp(light * 0.0001, 0.0, 1.0), 1.0);
}
