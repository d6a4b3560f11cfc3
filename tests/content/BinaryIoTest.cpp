#include "support/GlTestContext.h"

#include "content/BinaryIo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include <filesystem>
#include <fstream>

using namespace Orvanta;

TEST(BinaryReader, NeverReadsPastTheEndAndStaysFailed)
{
    BinaryReader in({1, 0, 0, 0, 2, 0});
    uint32_t value = 0;
    EXPECT_TRUE(in.readU32(value));
    EXPECT_EQ(value, 1u);
    EXPECT_FALSE(in.readU32(value));  // two bytes left
    EXPECT_EQ(value, 1u);
    EXPECT_FALSE(in.ok());
    uint8_t byte = 0;
    EXPECT_FALSE(in.readBytes(&byte, 1));  // a failed reader fails every later read
    EXPECT_FALSE(in.skip(0));
}

TEST(BinaryReader, CStringsNeedTheirZeroByte)
{
    BinaryReader in({'a', 'b', 0, 0, 'c'});
    std::string s;
    EXPECT_TRUE(in.readCString(s));
    EXPECT_EQ(s, "ab");
    EXPECT_TRUE(in.readCString(s));
    EXPECT_EQ(s, "");
    EXPECT_FALSE(in.readCString(s));
    BinaryReader empty({});
    EXPECT_FALSE(empty.readCString(s));
}

TEST(AtomicWrite, ReplacesTheFileWholeAndLeavesNoTemporary)
{
    std::string dir = OrvantaTest::makeTempDir("atomic");
    std::string path = dir + "/f.bin";
    std::string error;
    ASSERT_TRUE(writeFileAtomically(path, {1, 2, 3}, error)) << error;
    ASSERT_TRUE(writeFileAtomically(path, {4, 5}, error)) << error;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(readWholeFile(path, bytes, error)) << error;
    EXPECT_EQ(bytes, (std::vector<uint8_t>{4, 5}));
    // Nothing but the file itself is left in the directory.
    size_t entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        entries += entry.path().filename() == "f.bin" ? 0 : 1;
    EXPECT_EQ(entries, 0u);
}

TEST(AtomicWrite, RacingWritersOfOneFileLeaveOneWholeCopy)
{
    // Threads standing in for programs that save the same kd-tree at once: every write either
    // lands whole or fails, and the file read afterwards is one writer's complete content.
    std::string dir = OrvantaTest::makeTempDir("atomic-race");
    const std::string path = dir + "/shared.bin";
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w)
        writers.emplace_back([&, w] {
            const std::vector<uint8_t> bytes(1 << 21, uint8_t(w + 1));
            for (int i = 0; i < 8; ++i) {
                std::string error;
                writeFileAtomically(path, bytes, error);
            }
        });
    for (std::thread& t : writers)
        t.join();
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(readWholeFile(path, bytes, error)) << error;
    ASSERT_EQ(bytes.size(), size_t(1) << 21);
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [&](uint8_t b) { return b == bytes[0]; }));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1)
        << "temporary files left behind";
}

TEST(AtomicWrite, UnwritableDirectoryFailsWithThePath)
{
    std::string error;
    EXPECT_FALSE(writeFileAtomically("/nonexistent/dir/f.bin", {1}, error));
    EXPECT_NE(error.find("/nonexistent/dir/f.bin"), std::string::npos);
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(readWholeFile(OrvantaTest::makeTempDir("dir"), bytes, error));  // a directory
}
