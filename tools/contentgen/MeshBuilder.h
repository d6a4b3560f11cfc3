#pragma once
#include "content/ObjectFile.h"
#include "scene/Math.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Orvanta {

// How a group of triangles is drawn: the material stem and the texture set it uses.
// textureStem "kindergarten/bricks" names ".../bricksColor.tga", "...Normal.tga" and
// "...Specular.tga" under resources/textures/; an empty stem means no textures.
struct Surface {
    std::string material;
    std::string textureStem;
    float specularPower = 16.0f;
};

// Collects triangles per surface and turns them into an object file with one submesh per
// surface. Every triangle is wound counter-clockwise as seen from the side its vertex normals
// point to, whatever order the caller gives, so shapes cannot end up inside out.
// Texture coordinates are in metres of the shape's own surface.
class MeshBuilder {
public:
    void setSurface(const Surface& surface);

    // Later vertices are rotated by `rotation` and then moved by `offset` (normals, tangents and
    // binormals are rotated too); texture coordinates are not affected.
    void setTransform(Float3 offset, Quaternion rotation);
    void resetTransform();

    uint32_t addVertex(ObjectVertex vertex);
    void addTriangle(uint32_t a, uint32_t b, uint32_t c);

    // A flat parallelogram corner, corner + edgeU, corner + edgeU + edgeV, corner + edgeV, facing
    // along cross(edgeU, edgeV), split into cellsU x cellsV cells. (u0, v0) is the texture
    // coordinate at `corner`; u and v grow by one per metre along the edges.
    void addQuad(Float3 corner, Float3 edgeU, Float3 edgeV, float u0, float v0, int cellsU = 1, int cellsV = 1);
    // A rectangle centred at `center` facing along `normal` with the given half sizes; the u axis
    // is horizontal for walls (cross(up, normal)) and +x for floors and ceilings. Texture
    // coordinates continue across neighbouring faces because they come from the position.
    void addFace(Float3 center, Float3 normal, float halfU, float halfV, int cellsU = 1, int cellsV = 1);
    // A flat convex polygon facing along `normal` (fan triangulation). Texture coordinates are
    // the position projected on the same axes addFace uses.
    void addPolygon(const std::vector<Float3>& points, Float3 normal);
    // An axis-aligned box (in the current transform) with outward faces.
    void addBox(Float3 minCorner, Float3 maxCorner);
    // A box of the given size whose local axes are rotated by `rotation` around `center`.
    void addOrientedBox(Float3 center, Float3 halfSize, Quaternion rotation);
    // An open or capped cylinder from `base` along `axis` (any direction).
    void addCylinder(Float3 base, Float3 axis, float radius, int segments, bool caps);
    // A tapered cylinder (cone frustum) between two radii.
    void addTaperedCylinder(Float3 base, Float3 axis, float baseRadius, float topRadius, int segments, bool caps);
    // A sphere; `inward` makes it visible from inside (normals toward the centre).
    void addSphere(Float3 center, float radius, int rings, int segments, bool inward);

    uint32_t triangleCount() const;
    ObjectFileData build(const std::string& header) const;

private:
    struct Group {
        Surface surface;
        std::vector<uint32_t> indices;
    };
    Float3 transformPoint(Float3 p) const;
    Float3 transformDirection(Float3 v) const;

    std::vector<ObjectVertex> vertices;
    std::vector<Group> groups;
    size_t currentGroup = 0;
    Float3 offset;
    Quaternion rotation;
};

// Rotation taking unit vector `from` onto unit vector `to` (shortest arc).
Quaternion rotationBetween(Float3 from, Float3 to);
// Rotation about +y by `angle` radians.
Quaternion yaw(float angle);

}  // namespace Orvanta
