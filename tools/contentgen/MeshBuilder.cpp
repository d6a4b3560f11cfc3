#include "MeshBuilder.h"

#include "scene/Math.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

namespace {
}

Quaternion rotationBetween(Float3 from, Float3 to)
{
    float d = dot(from, to);
    if (d > 0.99999f)
        return Quaternion{};
    if (d < -0.99999f) {
        Float3 axis = std::fabs(from.x) < 0.9f ? cross(from, Float3{1, 0, 0}) : cross(from, Float3{0, 1, 0});
        return fromAxisAngle(axis, EnginePi);
    }
    return fromAxisAngle(cross(from, to), std::acos(d));
}

Quaternion yaw(float angle)
{
    return fromAxisAngle(Float3{0, 1, 0}, angle);
}

void MeshBuilder::setSurface(const Surface& surface)
{
    for (size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].surface.material == surface.material && groups[i].surface.textureStem == surface.textureStem &&
            groups[i].surface.specularPower == surface.specularPower) {
            currentGroup = i;
            return;
        }
    }
    groups.push_back(Group{surface, {}});
    currentGroup = groups.size() - 1;
}

void MeshBuilder::setTransform(Float3 newOffset, Quaternion newRotation)
{
    offset = newOffset;
    rotation = newRotation;
}

void MeshBuilder::resetTransform()
{
    offset = Float3{};
    rotation = Quaternion{};
}

Float3 MeshBuilder::transformPoint(Float3 p) const
{
    return rotate(rotation, p) + offset;
}
Float3 MeshBuilder::transformDirection(Float3 v) const
{
    return rotate(rotation, v);
}

uint32_t MeshBuilder::addVertex(ObjectVertex v)
{
    v.position = transformPoint(v.position);
    v.normal = normalize(transformDirection(v.normal));
    v.tangent = normalize(transformDirection(v.tangent));
    v.binormal = normalize(transformDirection(v.binormal));
    vertices.push_back(v);
    return static_cast<uint32_t>(vertices.size() - 1);
}

void MeshBuilder::addTriangle(uint32_t a, uint32_t b, uint32_t c)
{
    if (groups.empty())
        setSurface(Surface{"default", "", 16.0f});
    const ObjectVertex& va = vertices[a];
    const ObjectVertex& vb = vertices[b];
    const ObjectVertex& vc = vertices[c];
    Float3 face = cross(vb.position - va.position, vc.position - va.position);
    Float3 normal = va.normal + vb.normal + vc.normal;
    std::vector<uint32_t>& out = groups[currentGroup].indices;
    if (dot(face, normal) >= 0.0f) {
        out.insert(out.end(), {a, b, c});
    } else {
        out.insert(out.end(), {a, c, b});
    }
}

void MeshBuilder::addQuad(Float3 corner, Float3 edgeU, Float3 edgeV, float u0, float v0, int cellsU, int cellsV)
{
    Float3 tangent = normalize(edgeU);
    Float3 binormal = normalize(edgeV);
    Float3 normal = normalize(cross(edgeU, edgeV));
    float lengthU = length(edgeU);
    float lengthV = length(edgeV);
    uint32_t first = static_cast<uint32_t>(vertices.size());
    for (int j = 0; j <= cellsV; ++j) {
        for (int i = 0; i <= cellsU; ++i) {
            float fu = static_cast<float>(i) / static_cast<float>(cellsU);
            float fv = static_cast<float>(j) / static_cast<float>(cellsV);
            ObjectVertex v;
            v.position = corner + edgeU * fu + edgeV * fv;
            v.normal = normal;
            v.tangent = tangent;
            v.binormal = binormal;
            v.texCoord[0] = u0 + fu * lengthU;
            v.texCoord[1] = v0 + fv * lengthV;
            addVertex(v);
        }
    }
    uint32_t row = static_cast<uint32_t>(cellsU + 1);
    for (int j = 0; j < cellsV; ++j) {
        for (int i = 0; i < cellsU; ++i) {
            uint32_t a = first + static_cast<uint32_t>(j) * row + static_cast<uint32_t>(i);
            addTriangle(a, a + 1, a + row + 1);
            addTriangle(a, a + row + 1, a + row);
        }
    }
}

void MeshBuilder::addFace(Float3 center, Float3 normal, float halfU, float halfV, int cellsU, int cellsV)
{
    normal = normalize(normal);
    Float3 u = std::fabs(normal.y) > 0.99f ? Float3{1, 0, 0} : normalize(cross(Float3{0, 1, 0}, normal));
    Float3 v = cross(normal, u);
    Float3 corner = center - u * halfU - v * halfV;
    addQuad(corner, u * (2.0f * halfU), v * (2.0f * halfV), dot(corner, u), dot(corner, v), cellsU, cellsV);
}

void MeshBuilder::addPolygon(const std::vector<Float3>& points, Float3 normal)
{
    normal = normalize(normal);
    Float3 u = std::fabs(normal.y) > 0.99f ? Float3{1, 0, 0} : normalize(cross(Float3{0, 1, 0}, normal));
    Float3 v = cross(normal, u);
    uint32_t first = static_cast<uint32_t>(vertices.size());
    for (const Float3& p : points) {
        ObjectVertex vertex;
        vertex.position = p;
        vertex.normal = normal;
        vertex.tangent = u;
        vertex.binormal = v;
        vertex.texCoord[0] = dot(p, u);
        vertex.texCoord[1] = dot(p, v);
        addVertex(vertex);
    }
    for (size_t i = 1; i + 1 < points.size(); ++i)
        addTriangle(first, first + static_cast<uint32_t>(i), first + static_cast<uint32_t>(i + 1));
}

void MeshBuilder::addBox(Float3 lo, Float3 hi)
{
    Float3 c = (lo + hi) * 0.5f;
    Float3 h = (hi - lo) * 0.5f;
    addFace(Float3{hi.x, c.y, c.z}, Float3{1, 0, 0}, h.z, h.y);
    addFace(Float3{lo.x, c.y, c.z}, Float3{-1, 0, 0}, h.z, h.y);
    addFace(Float3{c.x, hi.y, c.z}, Float3{0, 1, 0}, h.x, h.z);
    addFace(Float3{c.x, lo.y, c.z}, Float3{0, -1, 0}, h.x, h.z);
    addFace(Float3{c.x, c.y, hi.z}, Float3{0, 0, 1}, h.x, h.y);
    addFace(Float3{c.x, c.y, lo.z}, Float3{0, 0, -1}, h.x, h.y);
}

void MeshBuilder::addOrientedBox(Float3 center, Float3 halfSize, Quaternion boxRotation)
{
    Float3 savedOffset = offset;
    Quaternion savedRotation = rotation;
    offset = transformPoint(center);
    rotation = savedRotation * boxRotation;
    addBox(-halfSize, halfSize);
    offset = savedOffset;
    rotation = savedRotation;
}

void MeshBuilder::addCylinder(Float3 base, Float3 axis, float radius, int segments, bool caps)
{
    addTaperedCylinder(base, axis, radius, radius, segments, caps);
}

void MeshBuilder::addTaperedCylinder(Float3 base, Float3 axis, float baseRadius, float topRadius, int segments,
                                     bool caps)
{
    float height = length(axis);
    Quaternion toAxis = rotationBetween(Float3{0, 1, 0}, axis / height);
    Float3 savedOffset = offset;
    Quaternion savedRotation = rotation;
    offset = transformPoint(base);
    rotation = savedRotation * toAxis;

    float slope = (baseRadius - topRadius) / height;
    float circumference = 2.0f * EnginePi * std::max(baseRadius, topRadius);
    uint32_t first = static_cast<uint32_t>(vertices.size());
    for (int j = 0; j <= 1; ++j) {
        float r = j == 0 ? baseRadius : topRadius;
        for (int i = 0; i <= segments; ++i) {
            float a = 2.0f * EnginePi * static_cast<float>(i) / static_cast<float>(segments);
            float ca = std::cos(a);
            float sa = std::sin(a);
            ObjectVertex v;
            v.position = Float3{r * ca, height * static_cast<float>(j), -r * sa};
            v.normal = normalize(Float3{ca, slope, -sa});
            v.tangent = Float3{-sa, 0, -ca};
            v.binormal = normalize(Float3{(topRadius - baseRadius) * ca, height, -(topRadius - baseRadius) * sa});
            v.texCoord[0] = circumference * static_cast<float>(i) / static_cast<float>(segments);
            v.texCoord[1] = height * static_cast<float>(j);
            addVertex(v);
        }
    }
    uint32_t row = static_cast<uint32_t>(segments + 1);
    for (int i = 0; i < segments; ++i) {
        uint32_t a = first + static_cast<uint32_t>(i);
        addTriangle(a, a + 1, a + row + 1);
        addTriangle(a, a + row + 1, a + row);
    }
    if (caps) {
        for (int j = 0; j <= 1; ++j) {
            float r = j == 0 ? baseRadius : topRadius;
            float y = height * static_cast<float>(j);
            Float3 n{0, j == 0 ? -1.0f : 1.0f, 0};
            ObjectVertex centre;
            centre.position = Float3{0, y, 0};
            centre.normal = n;
            centre.tangent = Float3{1, 0, 0};
            centre.binormal = Float3{0, 0, 1};
            uint32_t c = addVertex(centre);
            uint32_t ring = static_cast<uint32_t>(vertices.size());
            for (int i = 0; i < segments; ++i) {
                float a = 2.0f * EnginePi * static_cast<float>(i) / static_cast<float>(segments);
                ObjectVertex v = centre;
                v.position = Float3{r * std::cos(a), y, -r * std::sin(a)};
                v.texCoord[0] = v.position.x;
                v.texCoord[1] = v.position.z;
                addVertex(v);
            }
            for (int i = 0; i < segments; ++i)
                addTriangle(c, ring + static_cast<uint32_t>(i), ring + static_cast<uint32_t>((i + 1) % segments));
        }
    }
    offset = savedOffset;
    rotation = savedRotation;
}

void MeshBuilder::addSphere(Float3 center, float radius, int rings, int segments, bool inward)
{
    uint32_t first = static_cast<uint32_t>(vertices.size());
    float sign = inward ? -1.0f : 1.0f;
    for (int j = 0; j <= rings; ++j) {
        float polar = EnginePi * static_cast<float>(j) / static_cast<float>(rings);
        float sp = std::sin(polar);
        float cp = std::cos(polar);
        for (int i = 0; i <= segments; ++i) {
            float a = 2.0f * EnginePi * static_cast<float>(i) / static_cast<float>(segments);
            float ca = std::cos(a);
            float sa = std::sin(a);
            Float3 dir{sp * ca, cp, -sp * sa};
            ObjectVertex v;
            v.position = center + dir * radius;
            v.normal = dir * sign;
            v.tangent = Float3{-sa, 0, -ca};
            v.binormal = Float3{cp * ca, -sp, -cp * sa};
            v.texCoord[0] = 2.0f * EnginePi * radius * static_cast<float>(i) / static_cast<float>(segments);
            v.texCoord[1] = EnginePi * radius * static_cast<float>(j) / static_cast<float>(rings);
            addVertex(v);
        }
    }
    uint32_t row = static_cast<uint32_t>(segments + 1);
    for (int j = 0; j < rings; ++j) {
        for (int i = 0; i < segments; ++i) {
            uint32_t a = first + static_cast<uint32_t>(j) * row + static_cast<uint32_t>(i);
            if (j != 0)
                addTriangle(a, a + 1, a + row + 1);
            if (j != rings - 1)
                addTriangle(a, a + row + 1, a + row);
        }
    }
}

uint32_t MeshBuilder::triangleCount() const
{
    size_t n = 0;
    for (const Group& g : groups)
        n += g.indices.size() / 3;
    return static_cast<uint32_t>(n);
}

ObjectFileData MeshBuilder::build(const std::string& header) const
{
    ObjectFileData data;
    data.header = header;
    data.vertices = vertices;
    Float3 lo{1e30f, 1e30f, 1e30f};
    Float3 hi{-1e30f, -1e30f, -1e30f};
    for (const ObjectVertex& v : vertices) {
        lo = minComponents(lo, v.position);
        hi = maxComponents(hi, v.position);
    }
    data.minCorner = vertices.empty() ? Float3{} : lo;
    data.maxCorner = vertices.empty() ? Float3{} : hi;
    for (const Group& g : groups) {
        if (g.indices.empty())
            continue;
        SubmeshRecord record;
        record.materialName = g.surface.material;
        if (!g.surface.textureStem.empty()) {
            record.colorTextureName = g.surface.textureStem + "Color.tga";
            record.normalTextureName = g.surface.textureStem + "Normal.tga";
            record.specularTextureName = g.surface.textureStem + "Specular.tga";
        }
        record.specularPower = g.surface.specularPower;
        record.firstTriangle = static_cast<uint32_t>(data.indices.size() / 3);
        data.indices.insert(data.indices.end(), g.indices.begin(), g.indices.end());
        record.lastTriangle = static_cast<uint32_t>(data.indices.size() / 3) - 1;
        data.submeshes.push_back(record);
    }
    return data;
}

}  // namespace Orvanta
