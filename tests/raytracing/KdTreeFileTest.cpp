#include "KdTestScenes.h"
#include "platform/Log.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

bool sameTree(const KdTree& a, const KdTree& b)
{
    const std::vector<KdNodeBox> aBoxes = a.nodeBoxes(), bBoxes = b.nodeBoxes();
    const KdStoredTree aFile = a.stored(), bFile = b.stored();
    if (aFile.nodes.size() != bFile.nodes.size() || aBoxes.size() != bBoxes.size() ||
        aFile.leaves.size() != bFile.leaves.size())
        return false;
    if (std::memcmp(aFile.nodes.data(), bFile.nodes.data(), aFile.nodes.size() * sizeof(KdNode)) ||
        std::memcmp(aBoxes.data(), bBoxes.data(), aBoxes.size() * sizeof(KdNodeBox)))
        return false;
    if (a.leafTriangles != b.leafTriangles)
        return false;
    for (size_t i = 0; i < aFile.leaves.size(); ++i) {
        const KdLeaf &x = aFile.leaves[i], &y = bFile.leaves[i];
        if (x.first != y.first || x.count != y.count)
            return false;
        for (uint32_t j = 0; j < x.count; ++j)
            if (std::memcmp(&a.leafAccel(x, j), &b.leafAccel(y, j), sizeof(CompactTriAccel)))
                return false;
    }
    return true;
}

struct QuietLog {
    QuietLog()
    {
        setLogSink([this](const std::string& m) { messages.push_back(m); });
    }
    ~QuietLog() { setLogSink(nullptr); }
    std::vector<std::string> messages;
};

}  // namespace

TEST(KdTreeFile, RoundTripGivesTheBuiltTreeWithPointersIntoTheSameGeometry)
{
    const std::string dir = makeTempDir("kdtree_file");
    TestScene s = randomScene(3, 200, 3.0f);
    KdTree built;
    built.geometry = &s.geometry;
    built.buildKdTree();
    ASSERT_TRUE(built.saveKdTree(dir + "/scene.kdTree", "scene-v1"));
    KdTree loaded;
    loaded.geometry = &s.geometry;
    ASSERT_TRUE(loaded.loadKdTree(dir + "/scene.kdTree", "scene-v1"));
    EXPECT_TRUE(sameTree(built, loaded));
    ASSERT_EQ(loaded.nodes.size(), built.nodes.size());
    EXPECT_EQ(std::memcmp(loaded.nodes.data(), built.nodes.data(), built.nodes.size() * sizeof(KdTraceNode)), 0)
        << "a loaded tree is walked through the same nodes as the built one";
    EXPECT_TRUE(savedBytes(loaded, dir + "/again.kdTree") == savedBytes(built, dir + "/built.kdTree"))
        << "a loaded tree saves the file it was read from";
    EXPECT_EQ(reinterpret_cast<uintptr_t>(loaded.triangleAccels.data()) % 16, 0u);
}

TEST(KdTreeFile, MissingFileAndOtherTagsAreNotLoaded)
{
    const std::string dir = makeTempDir("kdtree_tag");
    TestScene s = randomScene(4, 30, 2.0f);
    KdTree built;
    built.geometry = &s.geometry;
    built.buildKdTree();
    ASSERT_TRUE(built.saveKdTree(dir + "/t.kdTree", "abc"));

    KdTree other = built;
    other.nodes.clear();
    EXPECT_FALSE(other.loadKdTree(dir + "/none.kdTree", "abc"));
    EXPECT_FALSE(other.loadKdTree(dir + "/t.kdTree", "ab"));
    EXPECT_FALSE(other.loadKdTree(dir + "/t.kdTree", "abcd"));
    EXPECT_FALSE(other.loadKdTree(dir + "/t.kdTree", ""));
    EXPECT_TRUE(other.nodes.empty()) << "a rejected file must leave the tree as it was";
    EXPECT_TRUE(other.loadKdTree(dir + "/t.kdTree", "abc"));
}

TEST(KdTreeFile, EveryTruncationIsRejectedAndNamesTheFile)
{
    const std::string dir = makeTempDir("kdtree_trunc");
    TestScene s = randomScene(5, 12, 1.5f);
    KdTree built;
    built.geometry = &s.geometry;
    built.buildKdTree();
    ASSERT_GT(built.stored().leaves.size(), 1u);
    const std::vector<uint8_t> whole = savedBytes(built, dir + "/whole.kdTree");
    ASSERT_FALSE(whole.empty());
    QuietLog log;
    const std::string path = dir + "/cut.kdTree";
    for (size_t n = 0; n < whole.size(); ++n) {
        writeBytes(path, std::vector<uint8_t>(whole.begin(), whole.begin() + n));
        KdTree t;
        t.geometry = &s.geometry;
        EXPECT_FALSE(t.loadKdTree(path, "test")) << "cut at " << n;
        EXPECT_TRUE(t.nodes.empty());
    }
    ASSERT_FALSE(log.messages.empty());
    EXPECT_NE(log.messages.back().find(path), std::string::npos);
    std::vector<uint8_t> longer = whole;
    longer.push_back(0);
    writeBytes(path, longer);
    KdTree t;
    t.geometry = &s.geometry;
    EXPECT_FALSE(t.loadKdTree(path, "test"));
}

TEST(KdTreeFile, InconsistentContentIsRejected)
{
    const std::string dir = makeTempDir("kdtree_bad");
    TestScene s = randomScene(6, 40, 2.0f);
    KdTree built;
    built.geometry = &s.geometry;
    built.buildKdTree();
    ASSERT_FALSE(built.nodes[0].isLeaf());
    const std::vector<uint8_t> whole = savedBytes(built, dir + "/whole.kdTree");
    const size_t nodesAt = 5 + 4;  // "test\0", nodeCount
    const size_t boxesAt = nodesAt + built.nodes.size() * 8 + 4;
    QuietLog log;
    auto rejects = [&](const std::function<void(std::vector<uint8_t>&)>& edit, const char* what) {
        std::vector<uint8_t> bytes = whole;
        edit(bytes);
        writeBytes(dir + "/bad.kdTree", bytes);
        KdTree t;
        t.geometry = &s.geometry;
        EXPECT_FALSE(t.loadKdTree(dir + "/bad.kdTree", "test")) << what;
    };
    auto putU32 = [](std::vector<uint8_t>& b, size_t at, uint32_t v) { std::memcpy(&b[at], &v, 4); };
    rejects([&](auto& b) { putU32(b, nodesAt, 0u * 8); }, "root's child is the root");
    rejects([&](auto& b) { putU32(b, nodesAt, uint32_t(built.nodes.size()) * 8); }, "child beyond the nodes");
    rejects([&](auto& b) { putU32(b, nodesAt, uint32_t(built.stored().leaves.size()) * 2 + 1); }, "missing leaf");
    rejects([&](auto& b) { putU32(b, nodesAt, 1u * 8 + 3 * 2); }, "axis 3");
    rejects([&](auto& b) { putU32(b, 5, 0xFFFFFFFFu); }, "node count beyond the file");
    rejects([&](auto& b) { putU32(b, boxesAt - 4, uint32_t(built.nodes.size()) - 1); }, "box count");
    rejects([&](auto& b) { putU32(b, boxesAt + 28, 21); }, "depth beyond 20");
    // The last u32 of the file is the last leaf's last triangle index.
    rejects([&](auto& b) { putU32(b, b.size() - 4, uint32_t(s.geometry.triangles.size())); },
            "triangle index beyond the geometry");

    // Every leaf entry of a triangle holds a copy of its one record; the tree keeps one record per
    // triangle, so copies that differ make the file inconsistent. Find a triangle in two leaves
    // and change its second copy.
    std::vector<size_t> firstCopyAt(s.geometry.triangles.size(), 0);
    size_t at = boxesAt + built.nodes.size() * 32 + 4, secondCopyAt = 0;
    for (const KdLeaf& leaf : built.stored().leaves) {
        at += 4;
        for (uint32_t i = 0; i < leaf.count && !secondCopyAt; ++i) {
            const uint32_t triangle = built.leafTriangle(leaf, i);
            if (firstCopyAt[triangle])
                secondCopyAt = at + i * sizeof(TriAccel);
            else
                firstCopyAt[triangle] = at + i * sizeof(TriAccel);
        }
        at += leaf.count * (sizeof(TriAccel) + 4);
    }
    ASSERT_EQ(at, whole.size()) << "the walk over the leaves must end at the end of the file";
    ASSERT_NE(secondCopyAt, 0u) << "no triangle lies in two leaves; the scene no longer tests this";
    const size_t log0 = log.messages.size();
    rejects([&](auto& b) { b[secondCopyAt + offsetof(TriAccel, nD)] ^= 1; }, "differing copies of one record");
    ASSERT_GT(log.messages.size(), log0);
    EXPECT_NE(log.messages.back().find("differing records"), std::string::npos) << log.messages.back();
    // Changing the unused padding of a copy is as much a difference: the file is not ours.
    rejects([&](auto& b) { b[secondCopyAt + offsetof(TriAccel, unused1)] ^= 1; }, "differing padding");
}

TEST(KdTreeFile, RecordsThatDoNotMatchTheirTrianglesAreRejected)
{
    const std::string dir = makeTempDir("kdtree_records");
    TestScene s = randomScene(7, 60, 2.0f);
    KdTree builtTree = built(s);
    const std::vector<uint8_t> whole = savedBytes(builtTree, dir + "/whole.kdTree");
    const size_t nodesAt = 5 + 4;
    const size_t leavesAt = nodesAt + builtTree.nodes.size() * 8 + 4 + builtTree.nodes.size() * 32 + 4;
    size_t firstRecord = leavesAt;  // the first record of the first leaf holding one
    for (const KdLeaf& leaf : builtTree.stored().leaves) {
        if (leaf.count)
            break;
        firstRecord += 4;
    }
    firstRecord += 4;
    QuietLog log;
    auto loads = [&](const std::vector<uint8_t>& bytes) {
        writeBytes(dir + "/bad.kdTree", bytes);
        KdTree t;
        t.geometry = &s.geometry;
        return t.loadKdTree(dir + "/bad.kdTree", "test");
    };
    std::vector<uint8_t> axis3 = whole;  // the walk would index its axis table with 3
    const uint32_t three = 3;
    std::memcpy(&axis3[firstRecord + 16], &three, 4);
    EXPECT_FALSE(loads(axis3));
    std::vector<uint8_t> nanPlane = whole;  // the root's split position
    const float nan = std::nanf("");
    std::memcpy(&nanPlane[nodesAt + 4], &nan, 4);
    EXPECT_FALSE(loads(nanPlane));
    std::vector<uint8_t> nudged = whole;  // a record's plane distance off by one unit in the last place
    nudged[firstRecord + 28] ^= 1;
    EXPECT_FALSE(loads(nudged));
    EXPECT_TRUE(loads(whole));
    ASSERT_EQ(log.messages.size(), 3u);
    EXPECT_NE(log.messages[0].find(dir + "/bad.kdTree"), std::string::npos) << log.messages[0];
    EXPECT_NE(log.messages[1].find("not finite"), std::string::npos) << log.messages[1];
}

TEST(KdTreeFile, TreeSavedForOtherGeometryUnderTheSameTagIsRejected)
{
    // The tree of a scene whose last object failed to load, saved under the scene's tag, must not
    // be used once the object loads again: its triangles are a prefix of the whole scene's.
    const std::string dir = makeTempDir("kdtree_partial");
    TestScene whole = randomScene(8, 120, 3.0f);
    TestScene partial = whole;
    partial.geometry.triangles.resize(90);
    KdTree partialTree = built(partial);
    ASSERT_TRUE(partialTree.saveKdTree(dir + "/scene.kdTree", "tag"));
    QuietLog log;
    KdTree t;
    t.geometry = &whole.geometry;
    EXPECT_FALSE(t.loadKdTree(dir + "/scene.kdTree", "tag"));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_NE(log.messages[0].find("other geometry"), std::string::npos) << log.messages[0];

    // Moving one triangle of the scene is caught as well.
    KdTree wholeTree = built(whole);
    ASSERT_TRUE(wholeTree.saveKdTree(dir + "/scene.kdTree", "tag"));
    TestScene moved = whole;
    moved.geometry.vertices[moved.geometry.triangles[50].index0].position.y += 0.25f;
    t.geometry = &moved.geometry;
    EXPECT_FALSE(t.loadKdTree(dir + "/scene.kdTree", "tag"));
    t.geometry = &whole.geometry;
    EXPECT_TRUE(t.loadKdTree(dir + "/scene.kdTree", "tag"));
}

TEST(KdTreeObtaining, PartialSceneAndADirectoryInThePlaceOfTheFileBuildWithoutSaving)
{
    const std::string dir = makeTempDir("kdtree_obtain");
    TestScene s = randomScene(9, 50, 2.0f);
    const KdTree expected = built(s);
    QuietLog log;

    KdTree partial;
    partial.geometry = &s.geometry;
    obtainKdTree(partial, dir + "/partial.kdTree", "tag", KdTreeSource::ScenePartial);
    EXPECT_TRUE(sameTree(partial, expected));
    EXPECT_FALSE(std::filesystem::exists(dir + "/partial.kdTree"));

    std::filesystem::create_directory(dir + "/taken.kdTree");
    const size_t before = log.messages.size();
    KdTree blocked;
    blocked.geometry = &s.geometry;
    obtainKdTree(blocked, dir + "/taken.kdTree", "tag");
    EXPECT_TRUE(sameTree(blocked, expected));
    ASSERT_EQ(log.messages.size(), before + 1);
    EXPECT_NE(log.messages.back().find(dir + "/taken.kdTree: is a directory"), std::string::npos)
        << log.messages.back();
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/taken.kdTree"));

    KdTree complete;
    complete.geometry = &s.geometry;
    obtainKdTree(complete, dir + "/complete.kdTree", "tag");
    EXPECT_TRUE(std::filesystem::is_regular_file(dir + "/complete.kdTree"));
}

TEST(KdTreeObtaining, KillingASaveAtAnyMomentLeavesTheOldTreeOrTheNewOne)
{
    const std::string dir = makeTempDir("kdtree_kill");
    const std::string path = dir + "/scene.kdTree";
    TestScene s = randomScene(10, 4000, 6.0f);
    // The old tree on disk before any kill; each child then saves the same tree over it in a loop,
    // under another tag, until it is killed. The tree is built before the fork so that the child
    // spends its time saving and the kills land in saves, not in a build that touches no file.
    KdTree first = built(s);
    ASSERT_TRUE(first.saveKdTree(path, "tag"));
    std::mt19937 random(10);
    QuietLog log;
    // A save writes into a temporary named after its process and renames it over the file; a
    // temporary of the killed child left behind shows that the kill landed inside that write.
    int killedWhileWriting = 0;
    for (int round = 0; round < 25; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
            for (;;)
                first.saveKdTree(path, "new");
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 150000));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const std::string childTemporary = "scene.kdTree.tmp" + std::to_string(long(child)) + "-";
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            killedWhileWriting += entry.path().filename().string().rfind(childTemporary, 0) == 0;
        // The file holds the old tree ("tag") or a whole new one ("new"), never a part of either.
        KdTree loaded;
        loaded.geometry = &s.geometry;
        ASSERT_TRUE(loaded.loadKdTree(path, "tag") || loaded.loadKdTree(path, "new")) << "round " << round;
        EXPECT_TRUE(sameTree(loaded, first));
        EXPECT_TRUE(log.messages.empty()) << log.messages.front();
    }
    // Without a kill inside a write the rounds above showed nothing about interrupted writes.
    EXPECT_GE(killedWhileWriting, 1);
    // The temporaries of killed writers go with the next save.
    ASSERT_TRUE(first.saveKdTree(path, "tag"));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        left.push_back(entry.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"scene.kdTree"});
    RecordProperty("killedWhileWriting", killedWhileWriting);
}
