#version 400 core
// FXAA 3.11, quality preset 12: finds edges by the local contrast of luma,
// walks along each edge to its ends and blends across it by the distance to
// the nearer end; sub-pixel aliasing is softened by a low-pass on the 3 x 3
// neighbourhood. Luma is read from the alpha channel, where the tone mapper
// stored it in perceptual space; it is read from lumaTexture, a plain RGBA8
// view of the same texture, so those reads decode no sRGB (alpha is stored
// linear either way). The colour itself is read decoded, from colorTexture,
// and blended linear.
//
// Every luma read is a gather of a 2 x 2 block. The walk's samples lie half
// a texel across the edge, between the pixel's row and its neighbour's, so
// that each is the mean of the two texels across the edge at a step along it
// (or of four texels at the half steps): the mean of a gathered block's
// halves, as bilinear filtering would give it.
//
// The loop's first pass gathers the 3 x 3 neighbourhood and sets up the
// edge; every later pass takes one step of the walk to either side, and the
// loop ends as soon as both ends are found, at once where there is no edge.
// This shape is for software rasterisers, which run both sides of every
// branch but do leave a loop once no pixel of a group is still in it: they
// run every loop at least once, so its first pass does the work that every
// pixel needs. The loop must stay a loop: its count is a uniform (a constant
// one would be unrolled) and the exit is a break (folded into the loop's
// condition it no longer ends the loop early there). On a GPU the loop is
// the same walk as usual.

in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D colorTexture;
uniform sampler2D lumaTexture;  // the same texels, not decoded
uniform vec2 sampleSize;        // one texel
uniform int edgeSearchSteps;    // passes of the walk: 5 (steps 1 and 2, 3.5, 5.5, 9.5, 21.5)

const float edgeThreshold = 0.166;
const float edgeThresholdMin = 0.0833;
const float subpixQuality = 0.75;

void main() {
    vec2 uv = texCoord;
    ivec2 lastTexel = textureSize(colorTexture, 0) - 1;
    ivec2 pixel = clamp(ivec2(uv / sampleSize), ivec2(0), lastTexel);
    vec3 center = texelFetch(colorTexture, pixel, 0).rgb;
    // The two corners of the 3 x 3 that the first pass's gathers miss
    // (clamped to the edge, as the sampler does for the gathers).
    float lumaNW = texelFetch(lumaTexture, clamp(pixel + ivec2(-1, 1), ivec2(0), lastTexel), 0).a;
    float lumaSE = texelFetch(lumaTexture, clamp(pixel + ivec2(1, -1), ivec2(0), lastTexel), 0).a;

    // Set up by the first pass.
    float lumaM = 0.0;
    bool isEdge = false;
    bool horzSpan = false;
    bool negSide = false;
    float subpix = 0.0;
    float lumaLocalAverage = 0.0;
    float gradientScaled = 0.0;
    vec2 along = vec2(0.0); // one texel along the edge, in texture coordinates
    vec2 posB = uv;         // half a texel across the edge from the pixel
    // The walk: texels gone to either side, the luma at each end (less the
    // local average), and whether the end is found.
    float walkedN = 0.0;
    float walkedP = 0.0;
    float lumaEndN = 0.0;
    float lumaEndP = 0.0;
    bool doneN = false;
    bool doneP = false;

    for (int i = 0; i <= edgeSearchSteps; ++i) {
        // Pass 0 gathers the blocks below-left and above-right of the pixel;
        // pass 1 the blocks of steps 1 and 2 to either side (their two
        // halves); later passes the block whose mean is the sample at the
        // next half step.
        float step = i == 2 ? 3.5 : i == 3 ? 5.5 : i == 4 ? 9.5 : 21.5;
        float reach = i == 1 ? 1.5 : step;
        vec2 atN = i == 0 ? uv - 0.5 * sampleSize : posB - along * reach;
        vec2 atP = i == 0 ? uv + 0.5 * sampleSize : posB + along * reach;
        vec4 blockN = textureGather(lumaTexture, atN, 3);
        vec4 blockP = textureGather(lumaTexture, atP, 3);

        if (i == 0) {
            // blockN holds W, M, S, SW; blockP holds N, NE, E, M.
            float lumaW = blockN.x;
            float lumaS = blockN.z;
            float lumaSW = blockN.w;
            float lumaN = blockP.x;
            float lumaNE = blockP.y;
            float lumaE = blockP.z;
            lumaM = blockP.w;

            float rangeMax = max(lumaM, max(max(lumaN, lumaS), max(lumaW, lumaE)));
            float rangeMin = min(lumaM, min(min(lumaN, lumaS), min(lumaW, lumaE)));
            float range = rangeMax - rangeMin;
            // Low contrast: not an edge, the pixel stays as it is.
            isEdge = range >= max(edgeThresholdMin, rangeMax * edgeThreshold);

            float lumaNS = lumaN + lumaS;
            float lumaWE = lumaW + lumaE;
            float lumaNWSW = lumaNW + lumaSW;
            float lumaNESE = lumaNE + lumaSE;

            // Edge orientation from second differences along both axes.
            float edgeHorz = abs(-2.0 * lumaW + lumaNWSW) + 2.0 * abs(-2.0 * lumaM + lumaNS) +
                             abs(-2.0 * lumaE + lumaNESE);
            float edgeVert = abs(-2.0 * lumaS + lumaSW + lumaSE) +
                             2.0 * abs(-2.0 * lumaM + lumaWE) + abs(-2.0 * lumaN + lumaNW + lumaNE);
            horzSpan = edgeHorz >= edgeVert;

            // Sub-pixel low-pass amount from the 3 x 3 average.
            float subpixA = (2.0 * (lumaNS + lumaWE) + lumaNWSW + lumaNESE) / 12.0;
            float subpixB = clamp(abs(subpixA - lumaM) / max(range, 1.0e-6), 0.0, 1.0);
            float subpixC = (-2.0 * subpixB + 3.0) * subpixB * subpixB;
            subpix = subpixC * subpixC * subpixQuality;

            // Choose the side of the edge with the steeper gradient.
            float lumaNeg = horzSpan ? lumaS : lumaW;
            float lumaPos = horzSpan ? lumaN : lumaE;
            float gradientNeg = abs(lumaNeg - lumaM);
            float gradientPos = abs(lumaPos - lumaM);
            negSide = gradientNeg >= gradientPos;
            lumaLocalAverage = 0.5 * ((negSide ? lumaNeg : lumaPos) + lumaM);
            gradientScaled = max(gradientNeg, gradientPos) * 0.25;

            vec2 across = (horzSpan ? vec2(0.0, sampleSize.y) : vec2(sampleSize.x, 0.0)) *
                          (negSide ? -1.0 : 1.0);
            along = horzSpan ? vec2(sampleSize.x, 0.0) : vec2(0.0, sampleSize.y);
            posB = uv + 0.5 * across;
            // No edge: nothing to walk.
            doneN = !isEdge;
            doneP = !isEdge;
        } else {
            // The halves of a block along the edge: nearer the pixel and
            // farther from it (gathers list (0, 1), (1, 1), (1, 0), (0, 0)).
            vec2 halvesN = horzSpan ? vec2(blockN.y + blockN.z, blockN.x + blockN.w)
                                    : vec2(blockN.x + blockN.y, blockN.w + blockN.z);
            vec2 halvesP = horzSpan ? vec2(blockP.x + blockP.w, blockP.y + blockP.z)
                                    : vec2(blockP.w + blockP.z, blockP.x + blockP.y);
            halvesN = halvesN * 0.5 - lumaLocalAverage;
            halvesP = halvesP * 0.5 - lumaLocalAverage;
            // Pass 1 tries step 1 and, if its end is not there, step 2; the
            // later passes try the mean of the block at the next half step.
            bool firstN = i == 1 && abs(halvesN.x) >= gradientScaled;
            bool firstP = i == 1 && abs(halvesP.x) >= gradientScaled;
            float lumaN = i == 1 ? (firstN ? halvesN.x : halvesN.y)
                                 : 0.5 * (halvesN.x + halvesN.y);
            float lumaP = i == 1 ? (firstP ? halvesP.x : halvesP.y)
                                 : 0.5 * (halvesP.x + halvesP.y);
            float stepN = i == 1 ? (firstN ? 1.0 : 2.0) : step;
            float stepP = i == 1 ? (firstP ? 1.0 : 2.0) : step;
            // An end once found stays put.
            lumaEndN = doneN ? lumaEndN : lumaN;
            lumaEndP = doneP ? lumaEndP : lumaP;
            walkedN = doneN ? walkedN : stepN;
            walkedP = doneP ? walkedP : stepP;
            doneN = doneN || abs(lumaEndN) >= gradientScaled;
            doneP = doneP || abs(lumaEndP) >= gradientScaled;
        }
        if (doneN && doneP) {
            break;
        }
    }

    bool nearerN = walkedN < walkedP;
    float dist = min(walkedN, walkedP);
    float spanLength = walkedN + walkedP;

    // Blend only when the luma at the nearer end crosses to the other side of
    // the local average than the centre does (the edge really ends there).
    bool centerBelow = lumaM - lumaLocalAverage < 0.0;
    bool goodSpan = ((nearerN ? lumaEndN : lumaEndP) < 0.0) != centerBelow;
    float pixelOffset = goodSpan ? (0.5 - dist / max(spanLength, 1.0)) : 0.0;
    float finalOffset = max(pixelOffset, subpix);

    // A sample finalOffset of a texel across the edge: between the centre
    // and the neighbour on that side, mixed as the filtering would.
    ivec2 side = horzSpan ? ivec2(0, negSide ? -1 : 1) : ivec2(negSide ? -1 : 1, 0);
    vec3 neighbour = texelFetch(colorTexture, clamp(pixel + side, ivec2(0), lastTexel), 0).rgb;
    vec3 blended = mix(center, neighbour, finalOffset);
    fragColor = vec4(isEdge ? blended : center, 1.0);
}
