// The import's memory bound: a header that declares more records than its file can hold is
// refused before the model library reserves memory for them, and what gets past that check stops
// at the address-space limit with a message naming it.
#include "ImportTestModels.h"

#include "DeclaredCounts.h"
#include "MemoryLimit.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace Orvanta;
using namespace OrvantaTest;

namespace {

std::string writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string repeated(const std::string& text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

// A binary PLY of `vertices` xyz-float vertices and one face (a list of uchar count, int items)
// whose header declares `declared` vertices; the face's list is empty, the least it can be.
std::string binaryPly(int declared, int vertices)
{
    return "ply\nformat binary_little_endian 1.0\nelement vertex " + std::to_string(declared) +
           "\nproperty float x\nproperty float y\nproperty float z\nelement face 1\n"
           "property list uchar int vertex_indices\nend_header\n" +
           std::string(size_t(vertices) * 12, '\0') + std::string(1, '\0');
}

}  // namespace

TEST(ImportBounds, DeclaredCountsBeyondTheFileAreRefusedAtOnceAndTheMemoryLimitIsNamed)
{
    const std::string dir = makeTempDir("import-bounds");
    // The shape of a known runaway file: a cube whose header claims 353 535 235 358 vertices.
    const std::string cube = "-0.5 -0.5 0.5\n0.5 -0.5 0.5\n-0.5 0.5 0.5\n0.5 0.5 0.5\n-0.5 0.5 -0.5\n"
                             "0.5 0.5 -0.5\n-0.5 -0.5 -0.5\n0.5 -0.5 -0.5\n4 0 1 3 2\n4 2 3 5 4\n4 4 5 7 6\n"
                             "4 6 7 1 0\n4 1 7 5 3\n4 6 0 2 4\n";
    const std::string runaway = writeFile(dir + "/runaway.off", "OFF\n353535235358 6 0\n" + cube);
    ToolRun run = runImport({runaway, dir + "/out"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "orvanta-import: " + runaway +
                              ": the header declares 353535235358 vertices and 6 faces, at least 2121211412160 bytes "
                              "of records, but only " +
                              std::to_string(cube.size() + 3) + " bytes follow it\n");
    EXPECT_FALSE(std::filesystem::exists(dir + "/out"));
    // The same cube with its true count imports.
    run = runImport({writeFile(dir + "/cube.off", "OFF\n8 6 0\n" + cube), dir + "/out"});
    EXPECT_EQ(run.exitCode, 0) << run.output;

    // At the bound: records of the least size possible fit exactly; one more declared record does not.
    std::string error;
    const std::string tightOff = "\n0 0 0\n0 0 0\n3";
    EXPECT_TRUE(declaredCountsFit(writeFile(dir + "/tight.off", "OFF 2 1" + tightOff), error)) << error;
    EXPECT_FALSE(declaredCountsFit(writeFile(dir + "/over.off", "OFF 3 1" + tightOff), error));
    EXPECT_FALSE(declaredCountsFit(writeFile(dir + "/unnamed.off", "# no keyword\n3 1" + tightOff), error));
    EXPECT_TRUE(declaredCountsFit(writeFile(dir + "/tight.ply", binaryPly(2, 2)), error)) << error;
    EXPECT_FALSE(declaredCountsFit(writeFile(dir + "/over.ply", binaryPly(3, 2)), error));
    const std::string asciiPly = "ply\nformat ascii 1.0\nelement vertex 2\nproperty float x\nproperty float y\n"
                                 "property float z\nelement face 1\nproperty list uchar int vertex_indices\n"
                                 "end_header\n" +
                                 repeated("0 0 0\n", 2) + "0";
    EXPECT_TRUE(declaredCountsFit(writeFile(dir + "/ascii.ply", asciiPly), error)) << error;
    EXPECT_FALSE(declaredCountsFit(writeFile(dir + "/ascii-over.ply", asciiPly.substr(0, asciiPly.size() - 1)), error));

    // Past the header check, a face whose list declares four billion indices makes the library
    // reserve more than the limit allows. Builds with sanitizers set no limit (their shadow memory
    // takes the address space) and their allocator ends the program on such a request instead of
    // failing it, so this part runs where the limit does.
    if (!addressSpaceLimitApplies())
        return;
    const std::string list = writeFile(dir + "/list.ply", "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\n"
                                                          "property float y\nproperty float z\nelement face 1\n"
                                                          "property list uint int vertex_indices\nend_header\n"
                                                          "0 0 0\n1 0 0\n0 1 0\n4000000000 0 1 2\n");
    run = runImport({"--max-memory", "1G", list, dir + "/list"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output,
              "orvanta-import: " + list +
                  ": needs more than the 1 GiB of memory the import may use (--max-memory raises the limit)\n");
    EXPECT_FALSE(std::filesystem::exists(dir + "/list"));
}
