shader {
    includes {
        file = resources/shaders/engine/shadows/shadowDepthEncoding.shader
    }
    semantics {
        colorTexture = MATERIAL_COLOR_TEXTURE
        alphaTestTreshold = MATERIAL_ALPHA_TEST_TRESHOLD
    }
    code = "
// Cut-out surfaces (leaves, fences) cast the shadow of their opaque texels only.
uniform sampler2D colorTexture;
uniform float alphaTestTreshold;
varying float lightDepth;

void main()
{
    if (texture2D(colorTexture, gl_TexCoord[0].xy).a < alphaTestTreshold)
        discard;
    // The second channel, the panes' transmittance in front of the occluder, starts at one.
    gl_FragColor = vec4(encodeShadowDepth(lightDepth), 1.0, 0.0, 1.0);
}
"
}
