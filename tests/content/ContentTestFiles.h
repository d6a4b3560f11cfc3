#pragma once
#include "content/ObjectFile.h"
#include "content/SceneFile.h"

#include <gtest/gtest.h>

#include <string>

namespace OrvantaTest {

// A small valid object: a unit quad (four vertices, two triangles) with two submeshes, the first
// with all three texture names, the second with none.
inline Orvanta::ObjectFileData smallObject()
{
    Orvanta::ObjectFileData data;
    data.header = "test object";
    data.minCorner = {-1, -2, -3};
    data.maxCorner = {4, 5, 6};
    for (int i = 0; i < 4; ++i) {
        Orvanta::ObjectVertex v;
        v.position = {float(i & 1), float(i >> 1), 0.5f};
        v.normal = {0, 0, 1};
        v.tangent = {1, 0, 0};
        v.binormal = {0, 1, 0};
        v.texCoord[0] = float(i) * 0.25f;
        v.texCoord[1] = 1.0f - float(i) * 0.25f;
        data.vertices.push_back(v);
    }
    data.indices = {0, 1, 2, 2, 1, 3};
    Orvanta::SubmeshRecord first;
    first.materialName = "stone";
    first.colorTextureName = "stone.tga";
    first.normalTextureName = "stoneNormal.tga";
    first.specularTextureName = "stoneSpecular.tga";
    first.specularPower = 16.0f;
    first.firstTriangle = 0;
    first.lastTriangle = 0;
    Orvanta::SubmeshRecord second;
    second.materialName = "plain";
    second.specularPower = 2.0f;
    second.firstTriangle = 1;
    second.lastTriangle = 1;
    data.submeshes = {first, second};
    return data;
}

inline Orvanta::SceneFileData smallScene()
{
    Orvanta::SceneFileData data;
    data.sceneTag = "tag-1";
    Orvanta::SceneInstanceRecord a;
    a.position = {1, 2, 3};
    a.orientation = {0, 0.6f, 0, 0.8f};
    a.scale = {2, 2, 2};
    a.objectName = "box.object";
    Orvanta::SceneInstanceRecord b;
    b.position = {-4, 0, 9};
    b.objectName = "props/chair.object";
    data.instances = {a, b};
    Orvanta::OcclusionQuad q;
    q.corners[0] = {0, 1, 2};
    q.corners[1] = {3, 4, 5};
    q.corners[2] = {6, 7, 8};
    q.corners[3] = {9, 10, 0};
    data.quads = {q};
    return data;
}

}  // namespace OrvantaTest
