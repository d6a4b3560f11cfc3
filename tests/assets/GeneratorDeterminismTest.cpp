// Two runs of the content generator must produce byte-identical files.
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace {

std::map<std::string, std::string> readTree(const std::filesystem::path& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[std::filesystem::relative(entry.path(), root).string()] = std::string(std::istreambuf_iterator<char>(in),
                                                                                    {});
    }
    return files;
}

}  // namespace

TEST(ContentGenerator, TwoRunsAreByteIdentical)
{
    std::filesystem::path first = OrvantaTest::makeTempDir("contentgen-a");
    std::filesystem::path second = OrvantaTest::makeTempDir("contentgen-b");
    for (const auto& dir : {first, second}) {
        std::string command = std::string("\"") + ORVANTA_CONTENTGEN_PATH + "\" --root \"" + dir.string() + "\"";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    auto a = readTree(first);
    auto b = readTree(second);
    ASSERT_GT(a.size(), 50u);
    ASSERT_EQ(a.size(), b.size());
    for (const auto& [name, bytes] : a) {
        ASSERT_TRUE(b.count(name)) << name;
        EXPECT_TRUE(bytes == b[name]) << name << " differs between runs";
    }
    std::filesystem::remove_all(first);
    std::filesystem::remove_all(second);
}

TEST(ContentGenerator, RejectsUnknownArguments)
{
    std::string command = std::string("\"") + ORVANTA_CONTENTGEN_PATH + "\" --bogus 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
}
