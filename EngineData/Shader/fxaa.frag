#version 400 core
// FXAA 3.11, quality preset 12: finds edges by the local contrast of luma,
// walks along each edge to its ends and blends across it by the distance to
// the nearer end; sub-pixel aliasing is softened by a low-pass on the 3 x 3
// neighbourhood. Luma is read from the alpha channel, where the tone mapper
// stored it in perceptual space; it is read from lumaTexture, a plain RGBA8
// view of the same texture, so those reads decode no sRGB (alpha is stored
// linear either way). The colour itself is read decoded, from colorTexture,
// and blended linear.
// The pass is written for the fewest texture reads: the 3 x 3 luma comes
// from two gathers and two fetches, the centre is fetched, and the blend
// across the edge mixes the centre with the one neighbour it is blended with.
// The edge walk is a loop that breaks when both ends are found, so groups of
// pixels without an edge leave it at once. A software rasteriser runs both
// sides of every branch but does leave a loop once no pixel of its group is
// still in it, so the walk must stay a loop: its step count is a uniform (a
// constant one would be unrolled) and the exit is a break (folded into the
// loop's condition it no longer ends the loop early there).

in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D colorTexture;
uniform sampler2D lumaTexture; // the same texels, not decoded
uniform vec2 sampleSize; // one texel
uniform int edgeSearchSteps; // the length of stepSizes

const float edgeThreshold = 0.166;
const float edgeThresholdMin = 0.0833;
const float subpixQuality = 0.75;
// The walk's steps to either side, in texels.
const float stepSizes[6] = float[](1.0, 1.0, 1.5, 2.0, 4.0, 12.0);

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

    // An end once found stays put: its distance and luma are kept.
    float walkedN = 0.0;
    float walkedP = 0.0;
    float lumaEndN = 0.0;
    float lumaEndP = 0.0;
    bool doneN = !isEdge;
    bool doneP = !isEdge;
    for (int i = 0; i < edgeSearchSteps; ++i) {
        if (doneN && doneP) {
            break;
        }
        float nextN = walkedN + (doneN ? 0.0 : stepSizes[i]);
        float nextP = walkedP + (doneP ? 0.0 : stepSizes[i]);
        float endN = lumaAt(posB - offNP * nextN) - lumaLocalAverage;
        float endP = lumaAt(posB + offNP * nextP) - lumaLocalAverage;
        lumaEndN = doneN ? lumaEndN : endN;
        lumaEndP = doneP ? lumaEndP : endP;
        walkedN = nextN;
        walkedP = nextP;
        doneN = doneN || abs(lumaEndN) >= gradientScaled;
        doneP = doneP || abs(lumaEndP) >= gradientScaled;
    }
    vec2 posN = posB - offNP * walkedN;
    vec2 posP = posB + offNP * walkedP;

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

    // A sample finalOffset of a texel across the edge: between the centre
    // and the neighbour on that side, mixed as the filtering would.
    ivec2 side = horzSpan ? ivec2(0, negSide ? -1 : 1) : ivec2(negSide ? -1 : 1, 0);
    vec3 neighbour = texelFetch(colorTexture, clamp(pixel + side, ivec2(0), lastTexel), 0).rgb;
    vec3 blended = mix(center, neighbour, finalOffset);
    fragColor = vec4(isEdge ? blended : center, 1.0);
}
