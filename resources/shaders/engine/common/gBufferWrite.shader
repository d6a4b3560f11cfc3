shader
{
	semantics
	{
		colorTexture = MATERIAL_COLOR_TEXTURE
		normalTexture = MATERIAL_NORMAL_TEXTURE
		specularTexture = MATERIAL_SPECULAR_TEXTURE
		specularPower = MATERIAL_SPECULAR_POWER
	}
	code = "
// Shared body of the default G-buffer writes. Outputs, in attachment order: surface colour
// (albedo, specular intensity in alpha), shading normal (specular exponent in w), geometry
// normal, linear eye depth, world position.
uniform sampler2D colorTexture;
uniform sampler2D normalTexture;
uniform sampler2D specularTexture;
uniform float specularPower;

varying vec3 worldPosition;
varying vec3 worldNormal;
varying vec3 worldTangent;
varying vec3 worldBinormal;
varying float eyeDepth;

void writeGBuffer(vec4 albedo)
{
    vec2 uv = gl_TexCoord[0].xy;
    float facing = gl_FrontFacing ? 1.0 : -1.0;
    vec3 geometryNormal = normalize(worldNormal) * facing;
    vec3 tangentSpace = texture2D(normalTexture, uv).xyz * 2.0 - 1.0;
    vec3 shadingNormal = normalize(tangentSpace.x * worldTangent + tangentSpace.y * worldBinormal
                                   + tangentSpace.z * worldNormal) * facing;
    float specularIntensity = texture2D(specularTexture, uv).r;

    gl_FragData[0] = vec4(albedo.rgb, specularIntensity);
    gl_FragData[1] = vec4(shadingNormal, max(specularPower, 1.0));
    gl_FragData[2] = vec4(geometryNormal, 0.0);
    gl_FragData[3] = vec4(eyeDepth);
    gl_FragData[4] = vec4(worldPosition, 1.0);
}
"
}
