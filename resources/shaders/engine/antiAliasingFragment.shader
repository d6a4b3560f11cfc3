shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/luminance.shader"
	}
	semantics
	{
		frame = ANTI_ALIASING_INPUT_TEXTURE
		texel = ANTI_ALIASING_TEXEL_SIZE
	}
	code = "
// Fast approximate anti-aliasing after Lottes (2009, 2011), on the tone-mapped frame. The input is
// an sRGB texture read with bilinear filtering: every fetch is in linear light, so the blends the
// filter makes are physically right, while edges are found on a perceptual luma (the square root
// of the linear one, close to the display's encoding). A pixel whose neighbourhood has no contrast
// keeps its colour exactly. Elsewhere the edge through the pixel is classified as horizontal or
// vertical, its steeper side picked, and the edge followed both ways along the boundary (fetching
// half-way between the pixel's row and its neighbour's, so one tap reads both) until the luma of
// the pair changes: the pixel's place within that span gives how far its colour is pulled across
// the edge, as a staircase step's coverage would. Single-pixel features the search cannot follow
// get a smaller blend from the contrast of the pixel against its 3 x 3 neighbourhood.
uniform sampler2D frame;
uniform vec2 texel;

const float edgeThreshold = 0.125;     // contrast needed, relative to the brightest luma around
const float edgeThresholdMin = 0.0312; // contrast below which nothing is done, even in the dark
const float subpixelQuality = 0.75;    // how much single-pixel detail is softened
const int searchSteps = 6;

float luma(vec3 linearColor)
{
    return sqrt(luminanceOf(linearColor));
}

float lumaAt(vec2 position)
{
    return luma(texture2D(frame, position).rgb);
}

// Distance to move in each search step, in texels: fine near the pixel, coarse far away.
float searchStep(int i)
{
    if (i < 1)
        return 1.0;
    if (i < 2)
        return 1.5;
    if (i < 4)
        return 2.0;
    if (i < 5)
        return 4.0;
    return 8.0;
}

void main()
{
    vec2 position = gl_TexCoord[0].xy;
    vec3 colorM = texture2D(frame, position).rgb;
    float lumaM = luma(colorM);
    // Neighbours named by offset: Down and Up in y, Left and Right in x.
    float lumaD = lumaAt(position + vec2(0.0, -texel.y));
    float lumaU = lumaAt(position + vec2(0.0, texel.y));
    float lumaL = lumaAt(position + vec2(-texel.x, 0.0));
    float lumaR = lumaAt(position + vec2(texel.x, 0.0));
    float rangeMax = max(max(max(lumaD, lumaU), max(lumaL, lumaR)), lumaM);
    float rangeMin = min(min(min(lumaD, lumaU), min(lumaL, lumaR)), lumaM);
    float range = rangeMax - rangeMin;
    if (range < max(edgeThresholdMin, rangeMax * edgeThreshold)) {
        gl_FragColor = vec4(colorM, 1.0);
        return;
    }
    float lumaDL = lumaAt(position + vec2(-texel.x, -texel.y));
    float lumaDR = lumaAt(position + vec2(texel.x, -texel.y));
    float lumaUL = lumaAt(position + vec2(-texel.x, texel.y));
    float lumaUR = lumaAt(position + vec2(texel.x, texel.y));

    // Second differences across rows (a horizontal edge) and across columns (a vertical one),
    // over the three columns and three rows, the middle ones weighted twice.
    float edgeHorizontal = abs(lumaUL - 2.0 * lumaL + lumaDL) + 2.0 * abs(lumaU - 2.0 * lumaM + lumaD)
                         + abs(lumaUR - 2.0 * lumaR + lumaDR);
    float edgeVertical = abs(lumaUL - 2.0 * lumaU + lumaUR) + 2.0 * abs(lumaL - 2.0 * lumaM + lumaR)
                       + abs(lumaDL - 2.0 * lumaD + lumaDR);
    bool horizontal = edgeHorizontal >= edgeVertical;

    // Sub-pixel blend: the pixel's contrast against the weighted mean of its 3 x 3 neighbourhood,
    // as a fraction of the range, shaped by a smooth step and squared.
    float neighbourhood = (2.0 * (lumaD + lumaU + lumaL + lumaR) + (lumaDL + lumaDR + lumaUL + lumaUR)) / 12.0;
    float subpixel = clamp(abs(neighbourhood - lumaM) / range, 0.0, 1.0);
    subpixel = (3.0 - 2.0 * subpixel) * subpixel * subpixel;
    float subpixelOffset = subpixel * subpixel * subpixelQuality;

    // The two neighbours across the edge; the steeper side is the one the edge lies on.
    float lumaMinus = horizontal ? lumaD : lumaL;
    float lumaPlus = horizontal ? lumaU : lumaR;
    float gradientMinus = abs(lumaMinus - lumaM);
    float gradientPlus = abs(lumaPlus - lumaM);
    float across = horizontal ? texel.y : texel.x;
    if (gradientMinus > gradientPlus)
        across = -across;
    float gradientScaled = 0.25 * max(gradientMinus, gradientPlus);

    // The search runs along the boundary half a texel across the edge: each tap there is the mean
    // of the two rows (or columns), whose luma the boundary keeps while the edge goes on.
    vec2 boundary = position;
    vec2 along;
    if (horizontal) {
        boundary.y += 0.5 * across;
        along = vec2(texel.x, 0.0);
    } else {
        boundary.x += 0.5 * across;
        along = vec2(0.0, texel.y);
    }
    float lumaBoundary = lumaAt(boundary);
    bool pixelBelowBoundary = lumaM < lumaBoundary;

    vec2 positionN = boundary - along;
    vec2 positionP = boundary + along;
    float endN = lumaAt(positionN) - lumaBoundary;
    float endP = lumaAt(positionP) - lumaBoundary;
    bool doneN = abs(endN) >= gradientScaled;
    bool doneP = abs(endP) >= gradientScaled;
    for (int i = 1; i < searchSteps; ++i) {
        if (doneN && doneP)
            break;
        float stride = searchStep(i);
        if (!doneN) {
            positionN -= along * stride;
            endN = lumaAt(positionN) - lumaBoundary;
            doneN = abs(endN) >= gradientScaled;
        }
        if (!doneP) {
            positionP += along * stride;
            endP = lumaAt(positionP) - lumaBoundary;
            doneP = abs(endP) >= gradientScaled;
        }
    }

    float distanceN = horizontal ? position.x - positionN.x : position.y - positionN.y;
    float distanceP = horizontal ? positionP.x - position.x : positionP.y - position.y;
    bool nearerN = distanceN < distanceP;
    float nearest = min(distanceN, distanceP);
    // The span is an edge step only when the luma at its near end lies on the other side of the
    // boundary's from the pixel's: the staircase turns away from the pixel there.
    float endNear = nearerN ? endN : endP;
    bool goodSpan = (endNear < 0.0) != pixelBelowBoundary;
    float edgeOffset = goodSpan ? 0.5 - nearest / (distanceN + distanceP) : 0.0;
    float offset = max(edgeOffset, subpixelOffset);

    vec2 blended = position;
    if (horizontal)
        blended.y += offset * across;
    else
        blended.x += offset * across;
    gl_FragColor = vec4(texture2D(frame, blended).rgb, 1.0);
}
"
}
