shader {
    code = "
// Shadow map depth fill. The modelview matrix is the shadow camera's light view times the drawn
// instance's transform; the light view has no translation, so -eye z is the light-space depth
// d . p of the vertex in world units.
varying float lightDepth;

void main()
{
    vec4 eyePosition = gl_ModelViewMatrix * gl_Vertex;
    lightDepth = -eyePosition.z;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = gl_ProjectionMatrix * eyePosition;
}
"
}
