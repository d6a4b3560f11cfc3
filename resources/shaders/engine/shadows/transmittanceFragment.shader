shader {
    includes {
        file = resources/shaders/engine/common/luminance.shader
    }
    semantics {
        reflectance = MATERIAL_REFLECTANCE
        transmissionColor = MATERIAL_TRANSMISSION_COLOR
    }
    code = "
// The share of sunlight a pane lets through: what its Fresnel reflectance (Schlick's curve at the
// sun's angle of incidence) does not send back, times its transmission colour's luminance. The
// map blends destination times source, so the second channel gathers the product of every pane
// in front of the nearest opaque occluder while the first, that occluder's depth, is multiplied
// by one.
uniform float reflectance;
uniform vec3 transmissionColor;
varying vec3 lightViewNormal;

void main()
{
    float cosine = abs(normalize(lightViewNormal).z);
    float reflected = reflectance + (1.0 - reflectance) * pow(1.0 - cosine, 5.0);
    gl_FragColor = vec4(1.0, luminanceOf(transmissionColor) * (1.0 - reflected), 1.0, 1.0);
}
"
}
