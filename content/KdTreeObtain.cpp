#include "content/KdTree.h"

#include "platform/FileAccess.h"
#include "platform/Log.h"

namespace Orvanta {

bool obtainKdTree(KdTree& tree, const std::string& kdTreePath, const std::string& sceneTag, KdTreeSource source)
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
    if (source == KdTreeSource::ScenePartial) {
        logInfo("kd-tree " + kdTreePath +
                ": the scene did not load completely; the tree is built in memory "
                "and neither read from nor saved to the file");
        tree.buildKdTree();
        return true;
    }
    const PathKind kind = pathKind(kdTreePath);
    if (kind == PathKind::Directory || kind == PathKind::Other) {
        logError("kd-tree file " + kdTreePath + ": " +
                 (kind == PathKind::Directory ? "is a directory" : "is not a regular file") +
                 "; the tree is built in memory and not saved");
        tree.buildKdTree();
        return true;
    }
    if (kind == PathKind::RegularFile && tree.loadKdTree(kdTreePath, sceneTag))
        return false;
    logInfo("building kd-tree for " + kdTreePath);
    tree.buildKdTree();
    tree.saveKdTree(kdTreePath, sceneTag);
    return true;
}

}  // namespace Orvanta
