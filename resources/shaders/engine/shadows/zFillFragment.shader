shader {
    includes {
        file = resources/shaders/engine/shadows/shadowDepthEncoding.shader
    }
    code = "
varying float lightDepth;

void main()
{
    gl_FragColor = vec4(encodeShadowDepth(lightDepth), 0.0, 0.0, 1.0);
}
"
}
