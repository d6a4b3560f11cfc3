#include "content/KdTree.h"

#include "content/SceneFile.h"
#include "platform/FileAccess.h"
#include "platform/Log.h"

namespace Orvanta {

KdBuildRule kdBuildRuleForScene(const std::string& sceneTag)
{
    return sceneTag.starts_with(kImportedSceneTagPrefix) ? KdBuildRule::SurfaceArea : KdBuildRule::Literal;
}

std::string kdTreeFileTag(const std::string& sceneTag, KdBuildRule rule)
{
    return rule == KdBuildRule::Literal ? sceneTag : sceneTag + " (kd-tree by the surface-area rule)";
}

bool obtainKdTree(KdTree& tree, const std::string& kdTreePath, const std::string& sceneTag, KdTreeSource source)
{
    if (!tree.geometry) {
        logError("kd-tree not obtained for " + kdTreePath + ": no ray-tracing geometry set");
        return false;
    }
    tree.rule = kdBuildRuleForScene(sceneTag);
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
    // A build too large for the walks' node fields leaves no nodes (and says so); saving it would
    // only write a file that no load accepts.
    if (!tree.nodes.empty())
        tree.saveKdTree(kdTreePath, sceneTag);
    return true;
}

}  // namespace Orvanta
