#include "KindergartenScene.h"

#include "Models.h"

#include "content/SkyOcclusion.h"
#include "scene/Math.h"

#include <cstdio>

namespace Orvanta {

namespace {

uint64_t fnv1a(uint64_t h, const std::vector<uint8_t>& bytes)
{
    for (uint8_t b : bytes) {
        h ^= b;
        h *= 0x100000001B3ull;
    }
    return h;
}

}  // namespace

KindergartenContent buildKindergarten()
{
    KindergartenContent content;
    YardFrame yard = kindergartenYard();
    auto& o = content.objects;
    o["ground.object"] = buildGround(yard);
    o["building.object"] = buildBuilding();
    o["treeA.object"] = buildTree(101u, 11.0f);
    o["treeB.object"] = buildTree(202u, 8.5f);
    o["bush.object"] = buildBush(303u);
    o["slide.object"] = buildSlide();
    o["swings.object"] = buildSwings();
    o["climbingFrame.object"] = buildClimbingFrame();
    o["sandbox.object"] = buildSandbox();
    o["bench.object"] = buildBench();
    o["tower.object"] = buildTower();
    o["fence.object"] = buildFenceSegment();
    o["paths.object"] = buildPaths();
    o["puddle.object"] = buildPuddle();
    content.sky = buildSky();

    std::vector<SceneInstanceRecord>& list = content.scene.instances;
    auto placeWorld = [&](const std::string& name, Float3 position, Quaternion q, float s = 1.0f) {
        list.push_back(SceneInstanceRecord{position, q, Float3{s, s, s}, name});
    };
    // Objects in the yard sit on the flat yard ground (height 0).
    auto place = [&](const std::string& name, float x, float z, float turn = 0.0f, float s = 1.0f) {
        placeWorld(name, yard.toWorld(Float3{x, 0, z}), yard.orientation(turn), s);
    };
    placeWorld("ground.object", Float3{}, Quaternion{});
    place("paths.object", 0, 0);
    place("tower.object", 0, 0);
    place("building.object", BuildingCenterX, BuildingFrontZ);
    place("sandbox.object", -6, 31, 0.2f);
    place("slide.object", 9, 30, 0.6f);
    place("swings.object", -16, 33, 0.1f);
    place("climbingFrame.object", 16, 22, -0.4f);
    place("bench.object", 3.5f, 24, EnginePi);
    place("bench.object", -10, 36, 0.0f);
    place("bench.object", 11, 36, 0.0f);
    place("puddle.object", -2.0f, 27.0f, 0.3f);
    place("treeA.object", -20, 20, 0.0f, 1.0f);
    place("treeA.object", 22, 34, 1.3f, 1.15f);
    place("treeA.object", -24, 50, 2.1f, 1.05f);
    place("treeA.object", 7, 13, 0.8f, 1.1f);
    place("treeB.object", 20, 54, 0.4f, 1.2f);
    place("treeB.object", -10, 12, 2.8f, 1.0f);
    place("treeB.object", -26, 34, 1.9f, 0.9f);
    place("treeB.object", 26, 8, 0.2f, 1.1f);
    for (float x : {-13.0f, -8.0f, 8.0f, 13.0f})
        place("bush.object", x, BuildingFrontZ - 1.2f, x);
    place("bush.object", -27, 10, 0.5f);
    place("bush.object", 27, 44, 1.5f);
    // The fence around the yard, with a gap for the gate in front of the tower.
    for (float x = YardRight; x < YardLeft - 0.1f; x += 2.5f) {
        if (x > -2.0f && x < 2.0f)
            continue;
        place("fence.object", x, YardNear, 0.0f);
        place("fence.object", x + 2.5f, YardFar, EnginePi);
    }
    for (float z = YardNear; z < YardFar - 0.1f; z += 2.5f) {
        place("fence.object", YardLeft, z, -EnginePi / 2.0f);
        place("fence.object", YardRight, z + 2.5f, EnginePi / 2.0f);
    }

    // The building's walls and roof as sky occlusion parallelograms in world space; corner 3,
    // whose z the record cannot keep, follows from the other three.
    Quaternion buildingTurn = yard.orientation();
    Float3 buildingPos = yard.toWorld(Float3{BuildingCenterX, 0, BuildingFrontZ});
    auto toWorld = [&](Float3 p) { return rotate(buildingTurn, p) + buildingPos; };
    for (const BuildingQuad& q : buildingOcclusionQuads())
        content.scene.quads.push_back(
            occlusionParallelogram(toWorld(q.corners[0]), toWorld(q.corners[1]), toWorld(q.corners[2])));

    uint64_t hash = 0xCBF29CE484222325ull;
    for (const auto& [name, data] : content.objects) {
        hash = fnv1a(hash, std::vector<uint8_t>(name.begin(), name.end()));
        hash = fnv1a(hash, encodeObjectFile(data));
    }
    content.scene.sceneTag.clear();
    hash = fnv1a(hash, encodeSceneFile(content.scene));
    char tag[64];
    std::snprintf(tag, sizeof tag, "kindergarten-%016llx", static_cast<unsigned long long>(hash));
    content.scene.sceneTag = tag;
    return content;
}

}  // namespace Orvanta
