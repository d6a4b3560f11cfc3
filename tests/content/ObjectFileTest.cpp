#include "ContentTestFiles.h"
#include "support/GlTestContext.h"

#include "content/BinaryIo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace Orvanta;
using OrvantaTest::smallObject;

namespace {

bool parse(const std::vector<uint8_t>& bytes, ObjectFileData& data, std::string& error)
{
    return parseObjectFile("test.object", bytes, data, error);
}

void putU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    std::memcpy(bytes.data() + at, &value, 4);
}

// Offsets of the counts in the encoding of smallObject().
size_t vertexCountOffset(const ObjectFileData& d)
{
    return d.header.size() + 1 + 24;
}
size_t triangleCountOffset(const ObjectFileData& d)
{
    return vertexCountOffset(d) + 4 + d.vertices.size() * 56;
}
size_t submeshCountOffset(const ObjectFileData& d)
{
    return triangleCountOffset(d) + 4 + d.indices.size() * 4;
}

}  // namespace

TEST(ObjectFile, WrittenRecordsReadBackEqual)
{
    std::string dir = OrvantaTest::makeTempDir("objectfile");
    ObjectFileData written = smallObject();
    std::string error;
    ASSERT_TRUE(writeObjectFile(dir + "/quad.object", written, error)) << error;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1)
        << "only quad.object is left";

    ObjectFileData read;
    ASSERT_TRUE(readObjectFile(dir + "/quad.object", read, error)) << error;
    EXPECT_EQ(read.header, written.header);
    EXPECT_EQ(read.minCorner, written.minCorner);
    EXPECT_EQ(read.maxCorner, written.maxCorner);
    ASSERT_EQ(read.vertices.size(), 4u);
    EXPECT_EQ(std::memcmp(read.vertices.data(), written.vertices.data(), 4 * 56), 0);
    EXPECT_EQ(read.indices, written.indices);
    ASSERT_EQ(read.submeshes.size(), 2u);
    for (size_t s = 0; s < 2; ++s) {
        EXPECT_EQ(read.submeshes[s].materialName, written.submeshes[s].materialName);
        EXPECT_EQ(read.submeshes[s].colorTextureName, written.submeshes[s].colorTextureName);
        EXPECT_EQ(read.submeshes[s].normalTextureName, written.submeshes[s].normalTextureName);
        EXPECT_EQ(read.submeshes[s].specularTextureName, written.submeshes[s].specularTextureName);
        EXPECT_EQ(read.submeshes[s].specularPower, written.submeshes[s].specularPower);
        EXPECT_EQ(read.submeshes[s].firstTriangle, written.submeshes[s].firstTriangle);
        EXPECT_EQ(read.submeshes[s].lastTriangle, written.submeshes[s].lastTriangle);
    }
}

TEST(ObjectFile, LayoutIsPackedLittleEndian)
{
    ObjectFileData data = smallObject();
    std::vector<uint8_t> bytes = encodeObjectFile(data);
    // header + zero, 6 floats, count + 4 vertices, count + 6 indices, count, two submeshes.
    size_t first = 6 + 10 + 16 + 18 + 12;
    size_t second = 6 + 1 + 1 + 1 + 12;
    EXPECT_EQ(bytes.size(), 12 + 24 + 4 + 224 + 4 + 24 + 4 + first + second);
    EXPECT_EQ(bytes[11], 0);
    EXPECT_EQ(bytes[vertexCountOffset(data)], 4);
    EXPECT_EQ(bytes[triangleCountOffset(data)], 2);
    EXPECT_EQ(bytes[submeshCountOffset(data)], 2);
}

TEST(ObjectFile, EveryTruncationIsRejected)
{
    std::vector<uint8_t> bytes = encodeObjectFile(smallObject());
    for (size_t length = 0; length < bytes.size(); ++length) {
        ObjectFileData data;
        std::string error;
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + length);
        EXPECT_FALSE(parse(cut, data, error)) << "length " << length;
        EXPECT_NE(error.find("test.object"), std::string::npos) << error;
    }
    ObjectFileData data;
    std::string error;
    EXPECT_TRUE(parse(bytes, data, error)) << error;
}

TEST(ObjectFile, CountsLargerThanTheDataAreRejected)
{
    ObjectFileData d = smallObject();
    std::vector<uint8_t> valid = encodeObjectFile(d);
    for (size_t at : {vertexCountOffset(d), triangleCountOffset(d), submeshCountOffset(d)}) {
        for (uint32_t count : {5u, 1000u, 0xFFFFFFFFu}) {
            std::vector<uint8_t> bytes = valid;
            putU32(bytes, at, count);
            ObjectFileData data;
            std::string error;
            EXPECT_FALSE(parse(bytes, data, error)) << "count at " << at << " = " << count;
            EXPECT_NE(error.find("test.object"), std::string::npos) << error;
        }
    }
}

TEST(ObjectFile, InconsistentContentIsRejected)
{
    {
        ObjectFileData d = smallObject();
        d.indices[4] = 4;  // one past the last vertex
        ObjectFileData data;
        std::string error;
        EXPECT_FALSE(parse(encodeObjectFile(d), data, error));
        EXPECT_NE(error.find("vertex 4"), std::string::npos) << error;
    }
    {
        ObjectFileData d = smallObject();
        d.submeshes[1].lastTriangle = 2;  // triangle count is 2
        ObjectFileData data;
        std::string error;
        EXPECT_FALSE(parse(encodeObjectFile(d), data, error));
        EXPECT_NE(error.find("submesh 1"), std::string::npos) << error;
    }
    {
        ObjectFileData d = smallObject();
        d.submeshes[0].firstTriangle = 1;  // first after last
        d.submeshes[0].lastTriangle = 0;
        ObjectFileData data;
        std::string error;
        EXPECT_FALSE(parse(encodeObjectFile(d), data, error));
    }
    {
        // A header whose zero byte never comes.
        std::vector<uint8_t> bytes(20, 'h');
        ObjectFileData data;
        std::string error;
        EXPECT_FALSE(parse(bytes, data, error));
        EXPECT_NE(error.find("zero byte"), std::string::npos) << error;
    }
}

TEST(ObjectFile, EmptyMeshAndTrailingBytesAreAccepted)
{
    ObjectFileData d;
    std::vector<uint8_t> bytes = encodeObjectFile(d);
    EXPECT_EQ(bytes.size(), 1u + 24 + 12);
    bytes.push_back(7);
    ObjectFileData data;
    std::string error;
    EXPECT_TRUE(parse(bytes, data, error)) << error;
    EXPECT_TRUE(data.vertices.empty());
    EXPECT_TRUE(data.submeshes.empty());
}

TEST(ObjectFile, MissingFileIsReportedWithItsPath)
{
    ObjectFileData data;
    std::string error;
    EXPECT_FALSE(readObjectFile("/nonexistent/dir/none.object", data, error));
    EXPECT_NE(error.find("/nonexistent/dir/none.object"), std::string::npos) << error;
}
