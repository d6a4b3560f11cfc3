shader {
    includes {
        file = resources/shaders/engine/common/luminance.shader
        file = resources/shaders/engine/common/surfaceOptics.shader
    }
    code = "
// The share of sunlight a pane lets through: what its Fresnel reflectance (at the sun's angle of
// incidence) does not send back, times its transmission colour's luminance. The map blends
// destination times source, so the second channel gathers the product of every pane in front of
// the nearest opaque occluder while the first, that occluder's depth, is multiplied by one.
varying vec3 lightViewNormal;

void main()
{
    float cosine = abs(normalize(lightViewNormal).z);
    gl_FragColor = vec4(1.0, luminanceOf(transmissionColor) * (1.0 - fresnelReflectance(cosine)), 1.0, 1.0);
}
"
}
