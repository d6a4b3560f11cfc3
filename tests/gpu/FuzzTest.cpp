// Random and truncated input must never crash a reader or make it read past its data.
#include "gpu/Material.h"
#include "gpu/TextParser.h"
#include "gpu/Texture.h"
#include "gpu/TgaFile.h"

#include "GpuTestSupport.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <random>

using namespace Orvanta;

namespace {

size_t countNodes(const TextNode& node)
{
    size_t count = 1;
    for (const TextNode& child : node.children)
        count += countNodes(child);
    return count;
}

std::string randomText(std::mt19937& random, size_t length)
{
    static const char alphabet[] = "{}=\n\" \tab\r";
    std::string text;
    for (size_t i = 0; i < length; ++i) {
        if (random() % 8 == 0)
            text.push_back(static_cast<char>(random() % 256));
        else
            text.push_back(alphabet[random() % (sizeof alphabet - 1)]);
    }
    return text;
}

const char* const sampleMaterial = "material {\n isDoubleSided = true\n alphaTestTreshold = 0.25\n"
                                   " texture { name = t\n fileName = \"missing.tga\" }\n"
                                   " pass {\n type = LIGHT\n lightType = SUN\n semantics { sampler = t } }\n"
                                   " pass {\n type = SKY\n useDefaultPass = true }\n}\n";

}  // namespace

TEST(ReaderFuzz, ParserSurvivesRandomText)
{
    std::mt19937 random(1234);
    for (int round = 0; round < 3000; ++round) {
        std::string text = randomText(random, random() % 200);
        auto root = parseText(text);
        if (root) {
            EXPECT_EQ(root->kind, TextNode::Block);
            // Every node comes from at least one token.
            EXPECT_LE(countNodes(*root), tokenizeText(text).size());
        }
    }
}

TEST(ReaderFuzz, ParserSurvivesEveryTruncationOfAValidFile)
{
    std::string text = sampleMaterial;
    for (size_t length = 0; length <= text.size(); ++length)
        parseText(text.substr(0, length));
    auto whole = parseText(text);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->children.size(), 5u);
}

TEST(ReaderFuzz, TgaParserRejectsRandomAndTruncatedBytesCleanly)
{
    std::mt19937 random(99);
    std::vector<uint8_t> valid(18 + 3 * 3 * 4, 0x7F);
    std::fill(valid.begin(), valid.begin() + 18, 0);
    valid[2] = 2;
    valid[12] = 3;
    valid[14] = 3;
    valid[16] = 32;
    TgaImage image;
    std::string error;
    ASSERT_TRUE(parseTga("valid.tga", valid, image, error)) << error;
    for (size_t length = 0; length < valid.size(); ++length) {
        std::vector<uint8_t> truncated(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_FALSE(parseTga("cut.tga", truncated, image, error)) << length;
        EXPECT_NE(error.find("cut.tga"), std::string::npos);
    }
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> bytes(random() % 64);
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(random());
        if (bytes.size() > 16 && round % 2 == 0) {
            // Keep the header plausible so the size checks are what is exercised.
            bytes[1] = 0;
            bytes[2] = 2;
            bytes[16] = round % 4 == 0 ? 24 : 32;
        }
        TgaImage decoded;
        if (parseTga("random.tga", bytes, decoded, error)) {
            EXPECT_EQ(decoded.pixels.size(), size_t(decoded.width) * decoded.height * decoded.bitsPerPixel / 8);
        }
    }
}

TEST(ReaderFuzz, MaterialLoaderSurvivesTruncatedAndRandomFiles)
{
    ORVANTA_REQUIRE_GL();
    OrvantaTest::LogCapture log;
    std::string dir = OrvantaTest::makeTempDir("material-fuzz");
    std::string text = sampleMaterial;
    for (size_t length = 0; length <= text.size(); length += 9) {
        std::string path = OrvantaTest::writeTextFile(dir, "cut.material", text.substr(0, length));
        auto material = loadMaterial(path);
        ASSERT_TRUE(material);
        for (const auto& pass : material->passes)
            EXPECT_NE(pass->type, PassTypeNone);
    }
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        std::string mutated = text;
        for (int edit = 0; edit < 6; ++edit)
            mutated[random() % mutated.size()] = "{}=\" x"[random() % 6];
        std::string path = OrvantaTest::writeTextFile(dir, "random.material", mutated);
        ASSERT_TRUE(loadMaterial(path));
    }
}
