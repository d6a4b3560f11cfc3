#include "platform/FileAccess.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

using namespace Orvanta;

namespace {

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// A process id that belonged to a process which has ended.
pid_t endedProcessId()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

std::vector<std::string> namesIn(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(RegularFileRead, ReadsAFileWhole)
{
    const std::string dir = OrvantaTest::makeTempDir("readfile");
    writeText(dir + "/a.bin", std::string("ab\0cd", 5));
    std::vector<uint8_t> bytes;
    std::string problem;
    ASSERT_TRUE(readRegularFile(dir + "/a.bin", bytes, problem)) << problem;
    EXPECT_EQ(bytes, (std::vector<uint8_t>{'a', 'b', 0, 'c', 'd'}));
    writeText(dir + "/empty", "");
    ASSERT_TRUE(readRegularFile(dir + "/empty", bytes, problem)) << problem;
    EXPECT_TRUE(bytes.empty());
}

TEST(RegularFileRead, RefusesWhatIsNotARegularFileWithoutBlocking)
{
    const std::string dir = OrvantaTest::makeTempDir("notfiles");
    ASSERT_EQ(mkfifo((dir + "/fifo").c_str(), 0600), 0);
    std::vector<uint8_t> bytes;
    std::string problem;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(readRegularFile(dir + "/fifo", bytes, problem));  // no writer: must not wait for one
    EXPECT_NE(problem.find("not a regular file"), std::string::npos) << problem;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    EXPECT_FALSE(readRegularFile("/dev/zero", bytes, problem));  // would otherwise read for ever
    EXPECT_NE(problem.find("not a regular file"), std::string::npos) << problem;
    EXPECT_FALSE(readRegularFile(dir, bytes, problem));
    EXPECT_NE(problem.find("directory"), std::string::npos) << problem;
    EXPECT_FALSE(readRegularFile(dir + "/missing", bytes, problem));
    EXPECT_NE(problem.find("cannot open"), std::string::npos) << problem;
    EXPECT_TRUE(bytes.empty());

    EXPECT_EQ(pathKind(dir + "/fifo"), PathKind::Other);
    EXPECT_EQ(pathKind(dir), PathKind::Directory);
    EXPECT_EQ(pathKind(dir + "/missing"), PathKind::Missing);
}

TEST(RegularFileRead, RefusesFilesAboveTheSizeBound)
{
    const std::string dir = OrvantaTest::makeTempDir("bigfile");
    writeText(dir + "/big", std::string(100, 'x'));
    std::vector<uint8_t> bytes;
    std::string problem;
    EXPECT_FALSE(readRegularFile(dir + "/big", bytes, problem, 99));
    EXPECT_NE(problem.find("100 bytes"), std::string::npos) << problem;
    EXPECT_TRUE(readRegularFile(dir + "/big", bytes, problem, 100));
}

TEST(AtomicWriteTemporaries, StaleOnesOfEndedWritersAreRemovedOthersStay)
{
    const std::string dir = OrvantaTest::makeTempDir("stale");
    const std::string path = dir + "/scene.kdTree";
    const std::string stale = path + ".tmp" + std::to_string(endedProcessId()) + "-3";
    const std::string live = path + ".tmp" + std::to_string(getppid()) + "-0";
    const std::string ownName = path + ".tmp" + std::to_string(getpid()) + "-0";
    writeText(stale, "half a tree");
    writeText(live, "being written");
    writeText(ownName, "left by an earlier process with this id");
    writeText(path + ".tmpnotours", "x");
    writeText(dir + "/other.kdTree.tmp" + std::to_string(endedProcessId()) + "-0", "another file's");

    std::string error;
    ASSERT_TRUE(writeFileAtomically(path, {1, 2, 3}, error)) << error;
    const std::string otherStale = namesIn(dir)[0];
    std::vector<std::string> expected{otherStale, "scene.kdTree", "scene.kdTree.tmp" + std::to_string(getppid()) + "-0",
                                      "scene.kdTree.tmp" + std::to_string(getpid()) + "-0", "scene.kdTree.tmpnotours"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(dir), expected);
    EXPECT_EQ(removeStaleTemporaries(dir + "/other.kdTree"), 1);
}

TEST(AtomicWriteTemporaries, ADirectoryInThePlaceOfTheFileIsReportedAndKept)
{
    const std::string dir = OrvantaTest::makeTempDir("dirtarget");
    std::filesystem::create_directory(dir + "/scene.kdTree");
    std::string error;
    EXPECT_FALSE(writeFileAtomically(dir + "/scene.kdTree", {1}, error));
    EXPECT_NE(error.find(dir + "/scene.kdTree: is a directory"), std::string::npos) << error;
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/scene.kdTree"));
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"scene.kdTree"}));
}

TEST(ResourcePaths, ParentStepsAreFoundBetweenEitherSeparator)
{
    for (const char* climbing : {"..", "../a.tga", "a/../../b", "textures\\..\\..\\x", "a/..", "..\\a"})
        EXPECT_TRUE(hasParentStep(climbing)) << climbing;
    for (const char* staying : {"a.tga", "kindergarten/wood.tga", "a..b/c", "...", "a/.../b", ".hidden/x", ""})
        EXPECT_FALSE(hasParentStep(staying)) << staying;
}

TEST(ResourcePaths, ParentStepsMustStayInsideTheContentFolders)
{
    EXPECT_TRUE(staysInContentRoots("resources/textures/a.tga"));
    EXPECT_TRUE(staysInContentRoots("/anywhere/without/parent/steps.tga"));
    EXPECT_TRUE(staysInContentRoots("resources/materials/../textures/a.tga"));
    EXPECT_FALSE(staysInContentRoots("resources/textures/../../../../etc/passwd"));
    EXPECT_FALSE(staysInContentRoots("resources/../secret.material"));
    EXPECT_FALSE(staysInContentRoots("resources/materials/../../resources2/x"));  // a neighbour with a longer name
    // A scene's folder becomes content when the scene loads: its imports reach it from resources/.
    const std::string dir = OrvantaTest::makeTempDir("contentroot");
    const std::string fromResources =
        std::filesystem::path(dir).lexically_relative(std::filesystem::absolute("resources/materials")).string();
    ASSERT_NE(fromResources.find(".."), std::string::npos);
    EXPECT_FALSE(staysInContentRoots("resources/materials/" + fromResources + "/m.material"));
    addContentRoot(dir);
    EXPECT_TRUE(staysInContentRoots("resources/materials/" + fromResources + "/m.material"));
    EXPECT_FALSE(staysInContentRoots("resources/materials/" + fromResources + "/../m.material"));
}
