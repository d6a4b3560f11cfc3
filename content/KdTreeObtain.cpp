#include "content/KdTree.h"

#include "platform/Log.h"

namespace Orvanta {

bool obtainKdTree(KdTree& tree, const std::string& kdTreePath, const std::string& sceneTag)
{
    if (!tree.geometry) {
        logError("kd-tree not obtained for " + kdTreePath + ": no ray-tracing geometry set");
        return false;
    }
    if (kdTreePath.empty()) {
        logError("kd-tree: no tree file name can be formed for this scene; building without saving");
        tree.buildKdTree();
        return true;
    }
    if (tree.loadKdTree(kdTreePath, sceneTag))
        return false;
    logInfo("building kd-tree for " + kdTreePath);
    tree.buildKdTree();
    // A failed save is reported by saveKdTree; the built tree is used all the same.
    tree.saveKdTree(kdTreePath, sceneTag);
    return true;
}

}  // namespace Orvanta
