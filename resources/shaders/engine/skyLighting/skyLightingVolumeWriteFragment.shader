shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/skyMapping.shader"
		file = "resources/shaders/engine/common/skyLightingHarmonics.shader"
	}
	semantics
	{
		skyMap = SKY_MAP_TEXTURE
		occlusionCorners = SKY_LIGHTING_OCCLUSION_QUADS
		occlusionCornerCount = SKY_LIGHTING_NUM_OCCLUSION_QUADS
		samplingVectors = SKY_LIGHTING_SAMPLING_VECTORS
		samplingVectorCount = SKY_LIGHTING_NUM_SAMPLING_VECTORS
	}
	code = "
// One cell of the sky lighting volume: the sky's radiance from every sampling direction of the
// upper hemisphere, kept where no occlusion quad blocks the way, projected onto spherical
// harmonics. Each quad is four corners of which the first three count: it is the parallelogram
// with corners 0, 1 and 2 (corner 3 lies at corner 0 + corner 2 - corner 1).
uniform sampler2D skyMap;
uniform vec3 occlusionCorners[256];
uniform int occlusionCornerCount;
uniform vec3 samplingVectors[100];
uniform int samplingVectorCount;
varying vec3 cellPosition;

// Whether the ray from origin along direction (t > 0) crosses the parallelogram spanned at c1 by
// the edges to c0 and to c2, from either side.
bool crossesParallelogram(vec3 origin, vec3 direction, vec3 c0, vec3 c1, vec3 c2)
{
    vec3 edgeU = c0 - c1;
    vec3 edgeV = c2 - c1;
    vec3 p = cross(direction, edgeV);
    float determinant = dot(edgeU, p);
    // A ray in the quad's plane passes it edge-on.
    if (abs(determinant) < 1e-8)
        return false;
    vec3 fromCorner = origin - c1;
    float u = dot(fromCorner, p) / determinant;
    if (u < 0.0 || u > 1.0)
        return false;
    vec3 q = cross(fromCorner, edgeU);
    float v = dot(direction, q) / determinant;
    if (v < 0.0 || v > 1.0)
        return false;
    return dot(edgeV, q) / determinant > 0.0;
}

float visibility(vec3 origin, vec3 direction)
{
    for (int corner = 0; corner + 3 < occlusionCornerCount; corner += 4) {
        if (crossesParallelogram(origin, direction, occlusionCorners[corner], occlusionCorners[corner + 1],
                                 occlusionCorners[corner + 2]))
            return 0.0;
    }
    return 1.0;
}

void main()
{
    vec3 coefficients[9];
    for (int c = 0; c < 9; ++c)
        coefficients[c] = vec3(0.0);
    for (int i = 0; i < samplingVectorCount; ++i) {
        vec3 direction = samplingVectors[i];
        vec3 radiance = texture2D(skyMap, skyMapCoordinates(direction)).rgb;
        addHarmonicsSample(coefficients, direction, radiance * visibility(cellPosition, direction));
    }
    finishHarmonics(coefficients, samplingVectorCount);
    // The packing unpackHarmonics reads back.
    gl_FragData[0] = vec4(coefficients[0], coefficients[1].r);
    gl_FragData[1] = vec4(coefficients[1].gb, coefficients[2].rg);
    gl_FragData[2] = vec4(coefficients[2].b, coefficients[3]);
    gl_FragData[3] = vec4(coefficients[4], coefficients[5].r);
    gl_FragData[4] = vec4(coefficients[5].gb, coefficients[6].rg);
    gl_FragData[5] = vec4(coefficients[6].b, coefficients[7]);
    gl_FragData[6] = vec4(coefficients[8], 1.0);
}
"
}
