shader {
    semantics {
        vertexNormal = VERTEX_NORMAL
    }
    code = "
// Panes drawn into a sun map's transmittance channel. The modelview matrix is the light view times
// the instance's transform, so the light travels along -z of the normal it gives.
attribute vec3 vertexNormal;
varying vec3 lightViewNormal;

void main()
{
    lightViewNormal = gl_NormalMatrix * vertexNormal;
    gl_Position = gl_ProjectionMatrix * (gl_ModelViewMatrix * gl_Vertex);
}
"
}
