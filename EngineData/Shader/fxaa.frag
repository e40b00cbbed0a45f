#version 400 core
// FXAA 3.11, quality preset 12: finds edges by the local contrast of luma,
// walks along each edge to its ends and blends across it by the distance to
// the nearer end; sub-pixel aliasing is softened by a low-pass on the 3 x 3
// neighbourhood. Luma is read from the alpha channel, where the tone mapper
// stored it in perceptual space; it is read from lumaTexture, a plain RGBA8
// view of the same texture, so those reads decode no sRGB (alpha is stored
// linear either way). The colour itself is read decoded, from colorTexture,
// and blended linear.
// The software rasteriser runs every instruction for every pixel (branches
// and early exits save nothing), so the pass is written for the fewest
// texture reads: the 3 x 3 luma comes from two gathers and two fetches, the
// centre is fetched, and the edge walk always takes all its steps, an end
// once found staying put.

in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D colorTexture;
uniform sampler2D lumaTexture; // the same texels, not decoded
uniform vec2 sampleSize; // one texel

const float edgeThreshold = 0.166;
const float edgeThresholdMin = 0.0833;
const float subpixQuality = 0.75;
// The first step to either side is one texel; then the walk goes on by
// these steps.
const int searchSteps = 5;
const float stepSizes[5] = float[](1.0, 1.5, 2.0, 4.0, 12.0);

float lumaAt(vec2 uv) {
    return textureLod(lumaTexture, uv, 0.0).a;
}

void main() {
    vec2 uv = texCoord;
    ivec2 lastTexel = textureSize(colorTexture, 0) - 1;
    ivec2 pixel = clamp(ivec2(uv / sampleSize), ivec2(0), lastTexel);
    vec4 centerSample = texelFetch(colorTexture, pixel, 0);
    vec3 center = centerSample.rgb;
    float lumaM = centerSample.a;
    // Luma of the 2 x 2 blocks below-left and above-right of the pixel; the
    // two remaining corners are fetched (clamped to the edge, as the sampler
    // does for the gathers).
    vec4 lowLeft = textureGather(lumaTexture, uv - 0.5 * sampleSize, 3);  // W M S SW
    vec4 upRight = textureGather(lumaTexture, uv + 0.5 * sampleSize, 3);  // N NE E M
    float lumaW = lowLeft.x;
    float lumaS = lowLeft.z;
    float lumaSW = lowLeft.w;
    float lumaN = upRight.x;
    float lumaNE = upRight.y;
    float lumaE = upRight.z;
    float lumaNW = texelFetch(lumaTexture, clamp(pixel + ivec2(-1, 1), ivec2(0), lastTexel), 0).a;
    float lumaSE = texelFetch(lumaTexture, clamp(pixel + ivec2(1, -1), ivec2(0), lastTexel), 0).a;

    float rangeMax = max(lumaM, max(max(lumaN, lumaS), max(lumaW, lumaE)));
    float rangeMin = min(lumaM, min(min(lumaN, lumaS), min(lumaW, lumaE)));
    float range = rangeMax - rangeMin;
    // Low contrast: not an edge, the pixel stays as it is.
    bool isEdge = range >= max(edgeThresholdMin, rangeMax * edgeThreshold);

    float lumaNS = lumaN + lumaS;
    float lumaWE = lumaW + lumaE;
    float lumaNWNE = lumaNW + lumaNE;
    float lumaSWSE = lumaSW + lumaSE;
    float lumaNWSW = lumaNW + lumaSW;
    float lumaNESE = lumaNE + lumaSE;

    // Edge orientation from second differences along both axes.
    float edgeHorz = abs(-2.0 * lumaW + lumaNWSW) + 2.0 * abs(-2.0 * lumaM + lumaNS) +
                     abs(-2.0 * lumaE + lumaNESE);
    float edgeVert = abs(-2.0 * lumaS + lumaSWSE) + 2.0 * abs(-2.0 * lumaM + lumaWE) +
                     abs(-2.0 * lumaN + lumaNWNE);
    bool horzSpan = edgeHorz >= edgeVert;

    // Sub-pixel low-pass amount from the 3 x 3 average.
    float subpixA = (2.0 * (lumaNS + lumaWE) + lumaNWSW + lumaNESE) / 12.0;
    float subpixB = clamp(abs(subpixA - lumaM) / max(range, 1.0e-6), 0.0, 1.0);
    float subpixC = (-2.0 * subpixB + 3.0) * subpixB * subpixB;
    float subpix = subpixC * subpixC * subpixQuality;

    // Choose the side of the edge with the steeper gradient.
    float lumaNeg = horzSpan ? lumaS : lumaW;
    float lumaPos = horzSpan ? lumaN : lumaE;
    float gradientNeg = abs(lumaNeg - lumaM);
    float gradientPos = abs(lumaPos - lumaM);
    bool negSide = gradientNeg >= gradientPos;
    float gradient = max(gradientNeg, gradientPos);
    float lengthSign = (horzSpan ? sampleSize.y : sampleSize.x) * (negSide ? -1.0 : 1.0);
    float lumaLocalAverage = 0.5 * ((negSide ? lumaNeg : lumaPos) + lumaM);

    // Start half a texel over, on the edge itself, and walk both ways.
    vec2 across = horzSpan ? vec2(0.0, lengthSign) : vec2(lengthSign, 0.0);
    vec2 posB = uv + 0.5 * across;
    vec2 offNP = horzSpan ? vec2(sampleSize.x, 0.0) : vec2(0.0, sampleSize.y);
    float gradientScaled = gradient * 0.25;

    vec2 posN = posB - offNP;
    vec2 posP = posB + offNP;
    float lumaEndN = lumaAt(posN) - lumaLocalAverage;
    float lumaEndP = lumaAt(posP) - lumaLocalAverage;
    bool doneN = abs(lumaEndN) >= gradientScaled;
    bool doneP = abs(lumaEndP) >= gradientScaled;
    for (int i = 0; i < searchSteps; ++i) {
        // An end once found stays put: its position and luma are kept.
        vec2 nextN = posN - offNP * stepSizes[i];
        vec2 nextP = posP + offNP * stepSizes[i];
        float endN = lumaAt(nextN) - lumaLocalAverage;
        float endP = lumaAt(nextP) - lumaLocalAverage;
        posN = doneN ? posN : nextN;
        posP = doneP ? posP : nextP;
        lumaEndN = doneN ? lumaEndN : endN;
        lumaEndP = doneP ? lumaEndP : endP;
        doneN = doneN || abs(lumaEndN) >= gradientScaled;
        doneP = doneP || abs(lumaEndP) >= gradientScaled;
    }

    float distN = horzSpan ? (uv.x - posN.x) : (uv.y - posN.y);
    float distP = horzSpan ? (posP.x - uv.x) : (posP.y - uv.y);
    bool nearerN = distN < distP;
    float dist = min(distN, distP);
    float spanLength = distN + distP;

    // Blend only when the luma at the nearer end crosses to the other side of
    // the local average than the centre does (the edge really ends there).
    bool centerBelow = lumaM - lumaLocalAverage < 0.0;
    bool goodSpan = ((nearerN ? lumaEndN : lumaEndP) < 0.0) != centerBelow;
    float pixelOffset = goodSpan ? (0.5 - dist / spanLength) : 0.0;
    float finalOffset = max(pixelOffset, subpix);

    vec3 blended = textureLod(colorTexture, uv + finalOffset * across, 0.0).rgb;
    fragColor = vec4(isEdge ? blended : center, 1.0);
}
