shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/skyMapping.shader"
		file = "resources/shaders/engine/common/skyLightingHarmonics.shader"
		file = "resources/shaders/engine/common/skyOcclusion.shader"
	}
	semantics
	{
		skyMap = SKY_MAP_TEXTURE
		samplingVectors = SKY_LIGHTING_SAMPLING_VECTORS
		samplingVectorCount = SKY_LIGHTING_NUM_SAMPLING_VECTORS
		occlusionBoxMinimum = SKY_LIGHTING_OCCLUSION_BOX_MINIMUM
		occlusionBoxMaximum = SKY_LIGHTING_OCCLUSION_BOX_MAXIMUM
	}
	code = "
// One cell of the sky lighting volume: the sky's radiance from every sampling direction of the
// upper hemisphere, kept where no occlusion quad blocks the way, projected onto spherical
// harmonics.
uniform sampler2D skyMap;
uniform vec3 samplingVectors[100];
uniform int samplingVectorCount;
varying vec3 cellPosition;
// The box around all occlusion quads (empty without quads).
uniform vec3 occlusionBoxMinimum;
uniform vec3 occlusionBoxMaximum;

// Whether the rising ray from origin along direction crosses a quad. A quad wholly below the
// origin cannot be reached and is passed over without the full test.
float visibility(vec3 origin, vec3 direction)
{
    for (int corner = 0; corner + 3 < occlusionCornerCount; corner += 4) {
        vec3 c0 = occlusionCorners[corner];
        vec3 c1 = occlusionCorners[corner + 1];
        vec3 c2 = occlusionCorners[corner + 2];
        if (max(max(c0.y, c1.y), max(c2.y, c0.y + c2.y - c1.y)) < origin.y)
            continue;
        if (parallelogramCrossing(origin, direction, c0, c1, c2) > 0.0)
            return 0.0;
    }
    return 1.0;
}

void main()
{
    vec3 coefficients[9];
    for (int c = 0; c < 9; ++c)
        coefficients[c] = vec3(0.0);
    // A rising ray steeper than the steepest way to the quads' box (its top H above the cell at a
    // horizontal distance D: H / sqrt(H^2 + D^2)) passes every quad.
    float height = occlusionBoxMaximum.y - cellPosition.y;
    vec2 away = max(max(occlusionBoxMinimum.xz - cellPosition.xz, cellPosition.xz - occlusionBoxMaximum.xz), vec2(0.0));
    float distance = length(away);
    float reach = occlusionBoxMinimum.x > occlusionBoxMaximum.x || height < 0.0
                ? -1.0 : height / max(sqrt(height * height + distance * distance), 1e-6);
    for (int i = 0; i < samplingVectorCount; ++i) {
        vec3 direction = samplingVectors[i];
        vec3 radiance = texture2D(skyMap, skyMapCoordinates(direction)).rgb;
        float seen = direction.y > reach ? 1.0 : visibility(cellPosition, direction);
        addHarmonicsSample(coefficients, direction, radiance * seen);
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
