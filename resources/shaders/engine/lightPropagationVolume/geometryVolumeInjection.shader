shader
{
	code = "
// Needs volumeLayout.shader and geometryVolume.shader before it.
//
// Places one surface element into the geometry volume, for the injection vertex shaders.
varying vec3 blockingCoefficients;

// The cosine below which a sample's area (its footprint across the view over the cosine) is not
// followed further: a surface seen nearly edge-on still counts ten times its footprint. Lower
// than the light injection's limit, since the blocking of a wall seen at a grazing angle must
// not be lost, while a few samples too strong only saturate their cell.
const float GV_MINIMUM_COSINE = 0.1;

// Sends the point nowhere: outside the clip volume, so it draws nothing.
void dropBlocker()
{
    blockingCoefficients = vec3(0.0);
    gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
}

// Adds a surface element at world position p into the geometry cell nearest to it (the light
// volume's nearest cell corner). The draw's matrices are the light injection's: layer j lies
// s W j further along x.
void injectBlocker(vec3 p, vec3 n, float coverage)
{
    vec3 cell = floor((p - volumeMinimumCorner()) / volumeCellSize + 0.5);
    if (!volumeContainsCell(cell) || coverage <= 0.0) {
        dropBlocker();
        return;
    }
    vec3 centre = volumeMinimumCorner() + (cell + 0.5) * volumeCellSize;
    centre.x += cell.y * volumeWidthCells * volumeCellSize;
    blockingCoefficients = blockingPotential(n, coverage);
    gl_Position = gl_ModelViewProjectionMatrix * vec4(centre, 1.0);
}
"
}
