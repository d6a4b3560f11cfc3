shader {
    includes {
        file = resources/shaders/engine/shadows/shadowDepthEncoding.shader
    }
    code = "
varying float lightDepth;

void main()
{
    // The second channel, the panes' transmittance in front of the occluder, starts at one.
    gl_FragColor = vec4(encodeShadowDepth(lightDepth), 1.0, 0.0, 1.0);
}
"
}
