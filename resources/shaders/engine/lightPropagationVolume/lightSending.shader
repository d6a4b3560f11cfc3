shader
{
	includes
	{
		file = "resources/shaders/engine/common/luminance.shader"
	}
	semantics
	{
		source0 = LIGHT_PROPAGATION_VOLUME_TEXTURE0
		source1 = LIGHT_PROPAGATION_VOLUME_TEXTURE1
		source2 = LIGHT_PROPAGATION_VOLUME_TEXTURE2
		source3 = LIGHT_PROPAGATION_VOLUME_TEXTURE3
	}
	code = "
// How a cell of a propagation step's source volume sends its light on.
//
// A cell splits its light over its six faces: the share through the face along axis direction d
// is c0 / 6 + k (c . d), with k chosen so that a clamped cosine lobe sends nothing backward, a
// third forward and a sixth through each side face. The linear terms cancel over opposite faces,
// so the six shares add up to c0; where the clamp at zero cuts a negative share off, the others
// are scaled down so that they still add up to no more than c0. The total of c0 over the volume
// therefore never grows from step to step; it only falls where light leaves the volume.
//
// Light that crosses a face is stored as a cosine lobe around the mean direction of the rays that
// crossed it: between d and the direction the neighbour's light was heading. Light rising from a
// lit floor and spreading sideways so keeps rising, instead of turning into a lobe along the floor
// that would light the floor itself.
uniform sampler2D source0;
uniform sampler2D source1;
uniform sampler2D source2;
uniform sampler2D source3;

const float FACE_SHARE_LINEAR = 0.144338;  // 1 / (6 * SH_LOBE_LINEAR_RATIO)

ShCell readCell(vec3 cell)
{
    vec2 uv = volumeCellCoordinates(cell);
    ShCell c;
    c.c0 = texture2D(source0, uv).rgb;
    c.cx = texture2D(source1, uv).rgb;
    c.cy = texture2D(source2, uv).rgb;
    c.cz = texture2D(source3, uv).rgb;
    return c;
}

vec3 faceShare(vec3 c0, vec3 linear, float sign)
{
    return max(c0 / 6.0 + sign * FACE_SHARE_LINEAR * linear, vec3(0.0));
}

// The light the cell sends through its face along the axis direction d.
vec3 lightSentToward(ShCell cell, vec3 d)
{
    vec3 c0 = max(cell.c0, vec3(0.0));
    vec3 total = faceShare(c0, cell.cx, 1.0) + faceShare(c0, cell.cx, -1.0)
               + faceShare(c0, cell.cy, 1.0) + faceShare(c0, cell.cy, -1.0)
               + faceShare(c0, cell.cz, 1.0) + faceShare(c0, cell.cz, -1.0);
    // total >= c0 always (the clamp only adds); it equals c0 unless a share was cut off.
    vec3 scale = min(vec3(1.0), c0 / max(total, vec3(1e-20)));
    vec3 share = faceShare(c0, shDot(cell, d), 1.0);
    return share * scale;
}

// The direction the light a cell sends through the face along d travels on in: d turned toward
// the cell's own main direction (its linear coefficients over those of a cosine lobe, at most a
// unit vector; zero for light that is the same in every direction).
vec3 directionThroughFace(ShCell cell, vec3 d)
{
    float c0 = luminanceOf(cell.c0);
    if (c0 <= 0.0)
        return d;
    vec3 heading = vec3(luminanceOf(cell.cx), luminanceOf(cell.cy), luminanceOf(cell.cz))
                 / (SH_LOBE_LINEAR_RATIO * c0);
    float headingLength = length(heading);
    if (headingLength > 1.0)
        heading /= headingLength;
    vec3 t = d + heading;
    return dot(t, t) > 1e-6 ? normalize(t) : d;
}

// Adds light of the given flux crossing a face along the unit direction t to a cell, as a cosine
// lobe around t.
void addCrossingLight(inout ShCell cell, vec3 flux, vec3 t)
{
    vec3 linear = flux * SH_LOBE_LINEAR_RATIO;
    cell.c0 += flux;
    cell.cx += linear * t.x;
    cell.cy += linear * t.y;
    cell.cz += linear * t.z;
}

ShCell cellWithoutLight()
{
    ShCell cell;
    cell.c0 = vec3(0.0);
    cell.cx = vec3(0.0);
    cell.cy = vec3(0.0);
    cell.cz = vec3(0.0);
    return cell;
}

// Writes a cell's four coefficients to the pass's four targets.
void writeCellTargets(ShCell cell)
{
    gl_FragData[0] = vec4(cell.c0, 0.0);
    gl_FragData[1] = vec4(cell.cx, 0.0);
    gl_FragData[2] = vec4(cell.cy, 0.0);
    gl_FragData[3] = vec4(cell.cz, 0.0);
}
"
}
