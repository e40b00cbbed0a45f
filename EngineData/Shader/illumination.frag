#version 400 core
// Deferred lighting: one full-screen pass over the G-buffer. The world
// position is rebuilt from depth with the inverse camera matrix; every light
// in the arrays up to its count adds Lambert diffuse and, when specularOn,
// Blinn-Phong specular from the G-buffer's specular colour and shininess.
// Emission adds the diffuse colour scaled by the emit value. The lit surface
// is attenuated by the medium over its distance to the camera,
// exp(-opticalThickness * d), as the scattering pass assumes.
//
// G-buffer: diffuse.rgb colour (linear after sRGB decode); specular.rgb
// colour, specular.a shininess / 255; normal.xyz world normal, normal.w 1
// where geometry was drawn; emit.r emission factor.

in vec2 texCoord;
noperspective in vec4 worldAtZeroDepth; // see illumination.vert
flat in vec4 worldPerDepth;
out vec4 fragColor;

// MAX_DIRECTIONAL_LIGHTS, MAX_POINT_LIGHTS, MAX_SC_POINT_LIGHTS,
// MAX_SPOT_LIGHTS, MAX_SC_SPOT_LIGHTS and CUBE_MAP_SIZE are defined by
// IlluminationShader from the engine's constants (RenderLimits.h and the
// shadow-casting point light's map size).

struct DirectionalLight {
    bool specularOn;
    vec3 inverseDir;
    vec3 color;
};

struct PointLight {
    bool specularOn;
    vec3 pos;
    vec3 color;
    bool attenuationOn;
    vec3 attenuation; // constant, linear, quadratic
    float maxDistanceOfInfluence;
    bool shadow;
    vec2 nearAndFarPlane;
};

struct SpotLight {
    bool specularOn;
    vec3 pos;
    vec3 color;
    bool attenuationOn;
    vec3 attenuation;
    float maxDistanceOfInfluence;
    vec3 dir;
    float cosAngle; // cosine of the cone's half-angle
    float radialAttenuationEpx;
    bool shadow;
    vec2 nearAndFarPlane;
    mat4 cameraMatrix; // world to shadow-map lookup
    bool scattering;
};

uniform sampler2D depthTexture;
uniform sampler2D diffuseTexture;
uniform sampler2D specularTexture;
uniform sampler2D normalTexture;
uniform sampler2D emitTexture;
// One texel per TILE_SIZE x TILE_SIZE tile of the screen, row after row from
// the bottom, lightTileColumns to a row: the positional lights that may
// reach the tile. Red lists its point lights, 4 bits each;
// green holds their number (bits 0-3) and that of its spot lights (4-7), the
// spot lights, 2 bits each (8-15), and masks of the shadow-casting point
// lights (16-17) and spot lights (20-23). Directional lights reach every tile.
uniform usamplerBuffer lightTiles;
uniform int lightTileColumns;
uniform vec4 cameraWorldPos;
uniform float opticalThickness;

uniform DirectionalLight directionalLight[MAX_DIRECTIONAL_LIGHTS];
uniform int directionalLightCount;
uniform PointLight pointLight[MAX_POINT_LIGHTS];
uniform int pointLightCount;
uniform PointLight scPointLight[MAX_SC_POINT_LIGHTS];
uniform int scPointLightCount;
uniform SpotLight spotLight[MAX_SPOT_LIGHTS];
uniform int spotLightCount;
uniform SpotLight scSpotLight[MAX_SC_SPOT_LIGHTS];
uniform int scSpotLightCount;

uniform samplerCubeShadow scPointLightShadowCubeMap_0;
uniform samplerCubeShadow scPointLightShadowCubeMap_1;
uniform sampler2D scSpotLightShadowMap_0;
uniform sampler2D scSpotLightShadowMap_1;
uniform sampler2D scSpotLightShadowMap_2;
uniform sampler2D scSpotLightShadowMap_3;

// Surface at the current pixel.
vec3 P;        // world position
vec3 N;        // unit normal
vec3 V;        // unit vector to the camera
vec3 albedo;
vec3 specColor;
float shininess;

// The light reaching the surface so far, split into what its diffuse and
// what its specular colour reflect; they are multiplied by those colours
// once, after the last light.
vec3 diffuseLight = vec3(0.0);
vec3 specularLight = vec3(0.0);

// Adds a light of colour c from unit direction L, scaled by factor
// (attenuation, cone, shadow): Lambert diffuse and, when specularOn,
// Blinn-Phong specular; nothing where the surface faces away. The arithmetic
// is written without branches: a software rasteriser runs both sides of
// every branch, and a GPU gains nothing from skipping a few multiplications.
void addLight(vec3 L, vec3 c, bool specularOn, float factor) {
    float nDotL = dot(N, L);
    vec3 H = L + V;
    float nDotH = max(dot(N, H), 0.0) * inversesqrt(max(dot(H, H), 1.0e-12));
    float specular = specularOn && shininess > 0.0 ? pow(nDotH, shininess) : 0.0;
    vec3 light = c * (nDotL > 0.0 ? factor : 0.0);
    diffuseLight += light * nDotL;
    specularLight += light * specular;
}

// The unit direction L and the distance d from P to a light at pos (L is 0
// at the light itself, which then lights nothing).
void towards(vec3 pos, out vec3 L, out float d) {
    vec3 toLight = pos - P;
    float d2 = dot(toLight, toLight);
    float inverseD = inversesqrt(max(d2, 1.0e-20));
    d = d2 * inverseD;
    L = toLight * inverseD;
}

// Distance attenuation 1 / (c + l d + q d^2); zero beyond the light's reach.
float distanceFactor(bool attenuationOn, vec3 attenuation, float maxDistance, float d) {
    float denom = attenuation.x + (attenuation.y + attenuation.z * d) * d;
    float factor = d > maxDistance || denom <= 0.0 ? 0.0 : 1.0 / denom;
    return attenuationOn ? factor : 1.0;
}

float distanceFactor(PointLight light, float d) {
    return distanceFactor(light.attenuationOn, light.attenuation, light.maxDistanceOfInfluence,
                          d);
}

// Attenuation times the cone factor: pow(cos, exponent) inside the cone,
// with a soft rim just inside its edge, zero outside (smoothstep is 0 below
// the cone's cosine).
float spotFactor(SpotLight light, vec3 L, float d) {
    float cosTheta = -dot(L, light.dir) * inversesqrt(dot(light.dir, light.dir));
    float rim = max(0.002, 0.05 * (1.0 - light.cosAngle));
    float cone = pow(max(cosTheta, 0.0), light.radialAttenuationEpx) *
                 smoothstep(light.cosAngle, light.cosAngle + rim, cosTheta);
    return distanceFactor(light.attenuationOn, light.attenuation, light.maxDistanceOfInfluence,
                          d) *
           cone;
}

// SC_POINT_LIGHT_SLOTS and SC_SPOT_LIGHT_SLOTS, when defined, bound the
// shadow-casting loops below their array sizes: IlluminationShader compiles
// a variant for the number of such lights whose reach meets a frame's tiles,
// and a variant without them leaves out their code (their uniforms are then
// unused). The software
// rasteriser would otherwise run those loops, shadow lookups included, to
// their array sizes whatever the counts are.
#ifndef SC_POINT_LIGHT_SLOTS
#define SC_POINT_LIGHT_SLOTS MAX_SC_POINT_LIGHTS
#endif
#ifndef SC_SPOT_LIGHT_SLOTS
#define SC_SPOT_LIGHT_SLOTS MAX_SC_SPOT_LIGHTS
#endif
// DIRECTIONAL_LIGHT_LOOP, POINT_LIGHT_LOOP and SPOT_LIGHT_LOOP choose the
// loops over the lights without shadow maps, by what the frame's tiles hold:
// 0 leaves a kind out (no light of it lights anything, and the software
// rasteriser would run a loop's body once even where no pixel enters it); 1
// loops over the tile's list; 1 + n, for point and spot lights, loops over
// the first n lights, which every tile that holds one holds, with constant
// indexes instead of indexes read from the list.
#ifndef DIRECTIONAL_LIGHT_LOOP
#define DIRECTIONAL_LIGHT_LOOP 1
#endif
#ifndef POINT_LIGHT_LOOP
#define POINT_LIGHT_LOOP 1
#endif
#ifndef SPOT_LIGHT_LOOP
#define SPOT_LIGHT_LOOP 1
#endif

// Shadow encodings (written by ShadowMap.frag, blurred by shadowGauss.frag):
// - a point light's cube map stores |P - light| / far as depth; it is sampled
//   as a depth-comparison cube map with linear filtering.
// - a spot light's blurred map stores, in red and green, the filtered first
//   and second moments of d = (|P - light| - near) / (far - near).

#if SC_POINT_LIGHT_SLOTS > 0
float cubeTap(int i, vec3 direction, float reference) {
    vec4 coord = vec4(direction, reference);
    return i == 0 ? texture(scPointLightShadowCubeMap_0, coord)
                  : texture(scPointLightShadowCubeMap_1, coord);
}

// Four linearly filtered comparisons around the direction to P, a texel
// apart, against the stored distance minus a bias that grows with the slope
// of the surface as seen from the light.
float cubeShadow(int i, vec3 fromLight, vec2 nearFar) {
    float distance = length(fromLight);
    vec3 direction = fromLight / max(distance, 1.0e-6);
    float cosTheta = clamp(dot(N, -direction), 0.05, 1.0);
    float texel = 2.0 * distance / float(CUBE_MAP_SIZE); // world size of a texel there
    float slope = sqrt(1.0 - cosTheta * cosTheta) / cosTheta;
    float bias = (0.02 + texel * (1.0 + 1.5 * min(slope, 10.0))) / nearFar.y;
    float reference = distance / nearFar.y - bias;
    vec3 helper = abs(direction.y) < 0.9 ? vec3(0.0, 1.0, 0.0) : vec3(1.0, 0.0, 0.0);
    vec3 t1 = normalize(cross(direction, helper)) * texel;
    vec3 t2 = cross(direction, t1);
    float lit = cubeTap(i, fromLight + t1 + 0.4 * t2, reference) +
                cubeTap(i, fromLight - t1 - 0.4 * t2, reference) +
                cubeTap(i, fromLight + t2 - 0.4 * t1, reference) +
                cubeTap(i, fromLight - t2 + 0.4 * t1, reference);
    return lit * 0.25;
}
#endif

#if SC_SPOT_LIGHT_SLOTS > 0
// Variance floor of the spot lights' moments: no acne from rounding.
#define MIN_VARIANCE 2.0e-6
// Part of Chebyshev's bound cut off against light bleeding where occluders
// overlap.
#define LIGHT_BLEEDING_REDUCTION 0.3

vec2 spotMoments(int i, vec2 uv) {
    if (i == 0) {
        return texture(scSpotLightShadowMap_0, uv).rg;
    } else if (i == 1) {
        return texture(scSpotLightShadowMap_1, uv).rg;
    } else if (i == 2) {
        return texture(scSpotLightShadowMap_2, uv).rg;
    }
    return texture(scSpotLightShadowMap_3, uv).rg;
}

// Variance shadow test: Chebyshev's upper bound on the blurred moments, with
// a variance floor and light-bleeding reduction. Receivers behind the light
// or outside its map are unshadowed (the cone already limits them).
float spotShadow(int i, SpotLight light, float d) {
    vec4 lookup = light.cameraMatrix * vec4(P, 1.0);
    if (lookup.w <= 0.0) {
        return 1.0;
    }
    vec2 uv = lookup.xy / lookup.w;
    if (any(lessThan(uv, vec2(0.0))) || any(greaterThan(uv, vec2(1.0)))) {
        return 1.0;
    }
    float depth = clamp((d - light.nearAndFarPlane.x) /
                            (light.nearAndFarPlane.y - light.nearAndFarPlane.x), 0.0, 1.0);
    vec2 moments = spotMoments(i, uv);
    if (depth <= moments.x) {
        return 1.0;
    }
    float variance = max(moments.y - moments.x * moments.x, MIN_VARIANCE);
    float delta = depth - moments.x;
    float pMax = variance / (variance + delta * delta);
    return clamp((pMax - LIGHT_BLEEDING_REDUCTION) / (1.0 - LIGHT_BLEEDING_REDUCTION), 0.0, 1.0);
}
#endif

void main() {
    float depth = texture(depthTexture, texCoord).r;
    vec4 normalSample = texture(normalTexture, texCoord);
    if (depth >= 1.0 || normalSample.w <= 0.0) {
        fragColor = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }
    vec4 world = worldAtZeroDepth + (depth * 2.0 - 1.0) * worldPerDepth;
    P = world.xyz / world.w;
    N = normalize(normalSample.xyz);
    vec3 toCamera = cameraWorldPos.xyz - P;
    float cameraDistance2 = dot(toCamera, toCamera);
    float inverseCameraDistance = inversesqrt(max(cameraDistance2, 1.0e-20));
    float cameraDistance = cameraDistance2 * inverseCameraDistance;
    V = cameraDistance2 > 0.0 ? toCamera * inverseCameraDistance : N;
    albedo = texture(diffuseTexture, texCoord).rgb;
    vec4 specularSample = texture(specularTexture, texCoord);
    specColor = specularSample.rgb;
    shininess = specularSample.a * 255.0;

    // The counts never exceed the array sizes (the shader class refuses
    // larger ones). The plain positional lights loop over the pixel's tile's
    // list, so each pixel evaluates only the lights that may reach it; the
    // trip count and the lights are the same across a tile (where every tile
    // holds them all, the loop runs over them all instead). The
    // shadow-casting loops have constant bounds (their slots), so that the
    // compiler unrolls them and each iteration reads its own shadow maps
    // instead of selecting among all of them; a light whose bit the tile
    // lacks is skipped where the hardware branches.
    ivec2 tileAt = ivec2(gl_FragCoord.xy) / TILE_SIZE;
    uvec2 tile = texelFetch(lightTiles, tileAt.y * lightTileColumns + tileAt.x).rg;
    vec3 L;
    float d;
#if DIRECTIONAL_LIGHT_LOOP
    for (int i = 0; i < directionalLightCount; ++i) {
        addLight(normalize(directionalLight[i].inverseDir), directionalLight[i].color,
                 directionalLight[i].specularOn, 1.0);
    }
#endif
#if POINT_LIGHT_LOOP > 1
    for (int i = 0; i < pointLightCount && i < POINT_LIGHT_LOOP - 1; ++i) {
        towards(pointLight[i].pos, L, d);
        addLight(L, pointLight[i].color, pointLight[i].specularOn,
                 distanceFactor(pointLight[i], d));
    }
#elif POINT_LIGHT_LOOP == 1
    int tilePoints = min(int(tile.y & 15u), pointLightCount);
    for (int k = 0; k < tilePoints; ++k) {
        int i = int((tile.x >> (4 * k)) & 15u);
        towards(pointLight[i].pos, L, d);
        addLight(L, pointLight[i].color, pointLight[i].specularOn,
                 distanceFactor(pointLight[i], d));
    }
#endif
#if SC_POINT_LIGHT_SLOTS > 0
    for (int i = 0; i < scPointLightCount && i < SC_POINT_LIGHT_SLOTS; ++i) {
        if ((tile.y & (1u << (16 + i))) != 0u) {
            towards(scPointLight[i].pos, L, d);
            float factor = distanceFactor(scPointLight[i], d);
            if (scPointLight[i].shadow && factor > 0.0 && dot(N, L) > 0.0) {
                factor *= cubeShadow(i, P - scPointLight[i].pos, scPointLight[i].nearAndFarPlane);
            }
            addLight(L, scPointLight[i].color, scPointLight[i].specularOn, factor);
        }
    }
#endif
#if SPOT_LIGHT_LOOP > 1
    for (int i = 0; i < spotLightCount && i < SPOT_LIGHT_LOOP - 1; ++i) {
        towards(spotLight[i].pos, L, d);
        addLight(L, spotLight[i].color, spotLight[i].specularOn, spotFactor(spotLight[i], L, d));
    }
#elif SPOT_LIGHT_LOOP == 1
    int tileSpots = min(int((tile.y >> 4) & 15u), spotLightCount);
    for (int k = 0; k < tileSpots; ++k) {
        int i = int((tile.y >> (8 + 2 * k)) & 3u);
        towards(spotLight[i].pos, L, d);
        addLight(L, spotLight[i].color, spotLight[i].specularOn, spotFactor(spotLight[i], L, d));
    }
#endif
#if SC_SPOT_LIGHT_SLOTS > 0
    for (int i = 0; i < scSpotLightCount && i < SC_SPOT_LIGHT_SLOTS; ++i) {
        if ((tile.y & (1u << (20 + i))) != 0u) {
            towards(scSpotLight[i].pos, L, d);
            float factor = spotFactor(scSpotLight[i], L, d);
            if (factor > 0.0 && dot(N, L) > 0.0) {
                factor *= spotShadow(i, scSpotLight[i], d);
            }
            addLight(L, scSpotLight[i].color, scSpotLight[i].specularOn, factor);
        }
    }
#endif

    vec3 color = albedo * diffuseLight + specColor * specularLight;
    color += albedo * texture(emitTexture, texCoord).r;
    color *= exp(-max(opticalThickness, 0.0) * cameraDistance);
    fragColor = vec4(color, 1.0);
}
