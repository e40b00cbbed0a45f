#version 400 core
// Light scattered towards the camera by the medium inside a god-ray spot
// light's cone: the functions shared by the scattering pass's vertex,
// tessellation control and tessellation evaluation stages (compiled in front
// of each of them). The model, its equations and its approximations are
// written down in godRays.md beside this file.

uniform mat4 inverseCameraMatrix;      // the camera's clip space to world
uniform vec4 cameraWorldPos;
uniform sampler2D depthTexture;        // G-buffer depth, unit 0
uniform mat4 inverseLightCameraMatrix; // the light's clip space to world
uniform vec2 nearAndFarPlane;          // of the light's shadow map
uniform sampler2D shadowMap;           // unblurred moments: r = (|x - light| - near) / (far - near)
uniform vec3 lightWorldPos;
uniform vec3 lightDir;                 // not normalised
uniform vec3 lightIntensity;
uniform vec3 lightAttenuation;         // constant, linear, quadratic; all 0: none
uniform vec2 lightCone;                // cosine of the half-angle, falloff exponent
uniform float beta;                    // extinction = scattering coefficient
uniform float intMinAB;                // u range of the tables (columns)
uniform float intMaxAB;
// (1 - g) A + g B over u (columns, as the tables) and sigma = x / (1 + |x|)
// (rows, from intMinSigma to intMaxSigma), x a point's offset along the ray
// from the foot of the perpendicular over h: the phase table that
// LightLookupTable makes of tables A and B, for g = 0.4 (forward
// scattering), unit 5.
uniform sampler2D phaseTable;
uniform float intMinSigma;
uniform float intMaxSigma;

const float PI = 3.14159265;
// Pieces of the in-cone segment with their own falloff, attenuation and
// visibility (see godRays.md): for the pictured value, and for the probes
// that only decide how finely to tessellate.
const int STEPS = 16;
const int PROBE_STEPS = 4;
// Closest approach of a view ray to the light that is still resolved.
const float MIN_LIGHT_DISTANCE = 0.05;
// Tolerance of the shadow test, in normalised light distance.
const float SHADOW_BIAS = 0.002;

// The view ray through a screen point: origin, unit direction and length
// to the surface of the G-buffer (or to the far plane).
void viewRay(vec2 ndc, out vec3 origin, out vec3 direction, out float rayLength) {
    float depth = textureLod(depthTexture, ndc * 0.5 + 0.5, 0.0).r;
    vec4 world = inverseCameraMatrix * vec4(ndc, depth * 2.0 - 1.0, 1.0);
    origin = cameraWorldPos.xyz;
    vec3 toSurface = world.xyz / world.w - origin;
    rayLength = max(length(toSurface), 1.0e-4);
    direction = toSurface / rayLength;
}

// The interval of t in [0, tMax] where origin + t r lies inside the cone
// (apex s, unit axis a, cosine of the half-angle cosCone); empty when x > y.
vec2 coneInterval(vec3 origin, vec3 r, vec3 s, vec3 a, float cosCone, float tMax) {
    vec3 w = origin - s;
    float c2 = cosCone * cosCone;
    float ra = dot(r, a);
    float wa = dot(w, a);
    // |a . (w + t r)|^2 - c2 |w + t r|^2 >= 0 on the nappe a . (w + t r) >= 0.
    float qa = ra * ra - c2;
    float qb = 2.0 * (ra * wa - c2 * dot(r, w));
    float qc = wa * wa - c2 * dot(w, w);
    float lo = 0.0;
    float hi = tMax;
    if (abs(ra) > 1.0e-6) {
        float tApex = -wa / ra;
        if (ra > 0.0) {
            lo = max(lo, tApex);
        } else {
            hi = min(hi, tApex);
        }
    } else if (wa < 0.0) {
        return vec2(1.0, 0.0);
    }
    if (abs(qa) < 1.0e-7) {
        if (abs(qb) < 1.0e-9) {
            return qc >= 0.0 ? vec2(lo, hi) : vec2(1.0, 0.0);
        }
        float t = -qc / qb;
        return qb > 0.0 ? vec2(max(lo, t), hi) : vec2(lo, min(hi, t));
    }
    float disc = qb * qb - 4.0 * qa * qc;
    if (disc < 0.0) {
        return qa > 0.0 ? vec2(lo, hi) : vec2(1.0, 0.0);
    }
    float root = sqrt(disc);
    float t1 = (-qb - root) / (2.0 * qa);
    float t2 = (-qb + root) / (2.0 * qa);
    if (t1 > t2) {
        float t = t1;
        t1 = t2;
        t2 = t;
    }
    if (qa < 0.0) {
        // The ray crosses the cone: inside between the roots.
        return vec2(max(lo, t1), min(hi, t2));
    }
    // The ray runs along the cone: inside beyond one root.
    return ra > 0.0 ? vec2(max(lo, t2), hi) : vec2(lo, min(hi, t1));
}

// The cone's falloff where the direction from the light makes cosTheta with
// the axis, with the lighting pass's soft rim.
float coneFalloff(float cosTheta) {
    float rim = max(0.002, 0.05 * (1.0 - lightCone.x));
    return pow(max(cosTheta, 0.0), lightCone.y) *
           smoothstep(lightCone.x, lightCone.x + rim, cosTheta);
}

// The light's attenuation times d^2: what remains of it beside the
// inverse-square law that the tables integrate exactly.
float attenuationWeight(float d) {
    float denominator = lightAttenuation.x + lightAttenuation.y * d + lightAttenuation.z * d * d;
    return denominator > 0.0 ? d * d / denominator : d * d;
}

// (1 - g) A + g B at u and at the point offset along the ray from the foot
// of the perpendicular, bilinearly from the phase table. uAt is u's place
// in the table (0 to 1), sigmaScale 1 / the sigma range, and scale and bias
// map places to texel centres; all are the same for every piece of a ray, so
// a piece divides only once, for sigma.
float phaseIntegral(float uAt, float offset, float h, float sigmaScale, vec2 scale, vec2 bias) {
    float sigma = offset / (h + abs(offset)); // x / (1 + |x|), x = offset / h
    vec2 at = vec2(uAt, (sigma - intMinSigma) * sigmaScale);
    vec2 uv = clamp(at, 0.0, 1.0) * scale + bias;
    return textureLod(phaseTable, uv, 0.0).r;
}

// 1 where a point, at clip in the light's clip space, sees the light in its
// shadow map (or lies outside the map), 0 where something nearer the light
// is in the way.
float lightVisibility(vec4 clip, float distanceToLight) {
    if (clip.w <= 0.0) {
        return 1.0;
    }
    vec2 uv = clip.xy * (0.5 / clip.w) + 0.5;
    if (any(lessThan(uv, vec2(0.0))) || any(greaterThan(uv, vec2(1.0)))) {
        return 1.0;
    }
    // d <= stored + bias, with d = (distance - near) / (far - near),
    // compared without the division.
    float stored = textureLod(shadowMap, uv, 0.0).r;
    return distanceToLight - nearAndFarPlane.x <=
                   (stored + SHADOW_BIAS) * (nearAndFarPlane.y - nearAndFarPlane.x)
               ? 1.0
               : 0.0;
}

// The scattered radiance reaching the camera through a screen point, from
// the given number of pieces of the in-cone segment; lightCamera is
// inverse(inverseLightCameraMatrix), which callers compute once. inBeam is
// set when the view ray passes through the cone at all.
vec3 scatteringAt(vec2 ndc, int steps, mat4 lightCamera, out bool inBeam) {
    vec3 origin;
    vec3 r;
    float rayLength;
    viewRay(ndc, origin, r, rayLength);
    vec3 a = normalize(lightDir);
    vec2 segment = coneInterval(origin, r, lightWorldPos, a, lightCone.x, rayLength);
    inBeam = segment.y > segment.x;
    if (!inBeam || beta <= 0.0) {
        return vec3(0.0);
    }
    // The ray's geometry relative to the light: the foot of the
    // perpendicular from the light at t = tFoot, at distance h.
    vec3 toLight = lightWorldPos - origin;
    float tFoot = dot(toLight, r);
    float h = max(length(toLight - r * tFoot), MIN_LIGHT_DISTANCE);
    float u = beta * h;
    vec2 size = vec2(textureSize(phaseTable, 0));
    // The ray in the light's clip space, where it is linear in t too.
    vec4 clipOrigin = lightCamera * vec4(origin, 1.0);
    vec4 clipDirection = lightCamera * vec4(r, 0.0);
    float sum = 0.0;
    float tPrevious = segment.x;
    float uAt = (u - intMinAB) / (intMaxAB - intMinAB);
    float sigmaScale = 1.0 / (intMaxSigma - intMinSigma);
    vec2 scale = (size - 1.0) / size;
    vec2 bias = 0.5 / size;
    float phiPrevious = phaseIntegral(uAt, tPrevious - tFoot, h, sigmaScale, scale, bias);
    for (int k = 1; k <= steps; ++k) {
        float t = mix(segment.x, segment.y, float(k) / float(steps));
        float phi = phaseIntegral(uAt, t - tFoot, h, sigmaScale, scale, bias);
        float tMiddle = 0.5 * (tPrevious + t);
        vec3 fromLight = origin + r * tMiddle - lightWorldPos;
        float d = length(fromLight);
        float weight = coneFalloff(dot(fromLight, a) / max(d, 1.0e-6)) * attenuationWeight(d) *
                       lightVisibility(clipOrigin + clipDirection * tMiddle, d);
        sum += weight * max(phi - phiPrevious, 0.0);
        phiPrevious = phi;
        tPrevious = t;
    }
    return lightIntensity * (beta / (2.0 * PI * h)) * exp(-beta * tFoot) * sum;
}
