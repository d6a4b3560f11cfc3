shader
{
	includes
	{
		file = "resources/shaders/engine/lightPropagationVolume/volumeLayout.shader"
	}
	semantics
	{
		mapColor = REFLECTIVE_SHADOW_MAP_COLOR_TEXTURE
		mapNormal = REFLECTIVE_SHADOW_MAP_NORMAL_TEXTURE
		mapDepth = REFLECTIVE_SHADOW_MAP_DEPTH_TEXTURE
		mapInvertedMatrix = REFLECTIVE_SHADOW_MAP_INVERTED_MATRIX
		lightsWeight = LIGHT_PROPAGATION_VOLUME_LIGHTS_WEIGHT
		sunDirection = SUN_LIGHT_DIRECTION
	}
	code = "
// Turns one reflective-shadow-map texel into a virtual point light in its volume cell. The draw's
// matrices look down the world y axis over the volume's layers laid side by side, so moving a
// point by s W j in x puts it into layer j.
uniform sampler2D mapColor;
uniform sampler2D mapNormal;
uniform sampler2D mapDepth;
uniform mat4 mapInvertedMatrix;
uniform float lightsWeight;
uniform vec3 sunDirection;

varying vec3 lightFlux;
varying vec3 lightNormal;

// A surface seen by the map: world position, normal and the light it reflects. False for texels
// where the map saw nothing.
struct MapSurface
{
    vec3 position;
    vec3 normal;
    vec3 exitance;
};

bool readMapSurface(vec2 uv, out MapSurface surface)
{
    float depth = texture2DLod(mapDepth, uv, 0.0).r;
    vec3 normal = texture2DLod(mapNormal, uv, 0.0).xyz;
    if (depth >= 1.0 || dot(normal, normal) < 0.25)
        return false;
    vec4 world = mapInvertedMatrix * vec4(vec3(uv, depth) * 2.0 - 1.0, 1.0);
    surface.position = world.xyz / world.w;
    surface.normal = normalize(normal);
    surface.exitance = texture2DLod(mapColor, uv, 0.0).rgb;
    return true;
}

// The surface area one map texel covers, in units of the texel's own area across the light:
// 1 / cosine of the sun's angle, held back at grazing angles where a texel smears over a long
// strip and its light would be put into a single cell.
float texelSurfaceArea(vec3 normal)
{
    const float minimumCosine = 0.25;
    return 1.0 / max(dot(normal, -normalize(sunDirection)), minimumCosine);
}

// Sends the point nowhere: outside the clip volume, so it draws nothing.
void dropLight()
{
    lightFlux = vec3(0.0);
    lightNormal = vec3(0.0, 1.0, 0.0);
    gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
}

// Places a light leaving the surface: half a cell out along the normal, so that a surface's own
// light lands in the cell in front of it rather than behind it, then into the centre of the cell
// there, in that cell's layer.
void injectLight(MapSurface surface, vec3 flux)
{
    vec3 p = surface.position + surface.normal * (0.5 * volumeCellSize);
    vec3 cell = floor((p - volumeMinimumCorner()) / volumeCellSize);
    if (!volumeContainsCell(cell)) {
        dropLight();
        return;
    }
    vec3 centre = volumeMinimumCorner() + (cell + 0.5) * volumeCellSize;
    centre.x += cell.y * volumeWidthCells * volumeCellSize;
    lightFlux = flux * (lightsWeight * texelSurfaceArea(surface.normal));
    lightNormal = surface.normal;
    gl_Position = gl_ModelViewProjectionMatrix * vec4(centre, 1.0);
}
"
}
