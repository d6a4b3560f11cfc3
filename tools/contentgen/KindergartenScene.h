#pragma once
#include "content/ObjectFile.h"
#include "content/SceneFile.h"

#include <map>
#include <string>

namespace Orvanta {

// The kindergarten: every object (by file name relative to resources/objects/scene/) and the
// scene that places them. The scene tag is derived from the content, so a changed scene gets a
// new kd-tree.
struct KindergartenContent {
    std::map<std::string, ObjectFileData> objects;
    SceneFileData scene;
    ObjectFileData sky;
};

KindergartenContent buildKindergarten();

}  // namespace Orvanta
