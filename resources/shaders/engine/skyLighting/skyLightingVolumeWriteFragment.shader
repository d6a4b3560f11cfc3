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
		foliageCentres = SKY_LIGHTING_FOLIAGE_CENTRES
		foliageRadii = SKY_LIGHTING_FOLIAGE_RADII
		foliageCount = SKY_LIGHTING_NUM_FOLIAGE
		skyMap = SKY_MAP_TEXTURE
		samplingVectors = SKY_LIGHTING_SAMPLING_VECTORS
		samplingVectorCount = SKY_LIGHTING_NUM_SAMPLING_VECTORS
		occlusionBoxMinimum = SKY_LIGHTING_OCCLUSION_BOX_MINIMUM
		occlusionBoxMaximum = SKY_LIGHTING_OCCLUSION_BOX_MAXIMUM
	}
	code = "
// One cell of the sky lighting volume: the sky's radiance from every sampling direction of the
// upper hemisphere, kept where no occlusion quad blocks the way and dimmed by the foliage crowns
// the way passes, projected onto spherical harmonics.
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

// The scene's tree and bush crowns, as ellipsoids of leaves along the world axes.
uniform vec3 foliageCentres[16];
uniform vec3 foliageRadii[16];
uniform int foliageCount;
// Leaf cards per unit of length through a crown, as the light sees them: a way through the middle
// of a tree's crown, some 8 units, lets about a seventh of the sky through, as the gaps between
// the cards of the demo's trees do.
const float FOLIAGE_DENSITY = 0.24;

// The share of light that passes the crowns on the way from origin along the unit direction:
// exp(-density * the length of the way inside each crown).
float foliagePass(vec3 origin, vec3 direction)
{
    float inside = 0.0;
    for (int i = 0; i < 16; ++i) {
        if (i >= foliageCount)
            break;
        // In the crown's own units the ellipsoid is the unit sphere; t stays the world distance.
        vec3 o = (origin - foliageCentres[i]) / foliageRadii[i];
        vec3 d = direction / foliageRadii[i];
        float a = dot(d, d);
        float b = dot(o, d);
        float c = dot(o, o) - 1.0;
        float discriminant = b * b - a * c;
        if (discriminant <= 0.0)
            continue;
        float root = sqrt(discriminant);
        float far = (-b + root) / a;
        float near = max((-b - root) / a, 0.0);
        inside += max(far - near, 0.0);
    }
    return exp(-FOLIAGE_DENSITY * inside);
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
        if (seen > 0.0 && foliageCount > 0)
            seen *= foliagePass(cellPosition, direction);
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
