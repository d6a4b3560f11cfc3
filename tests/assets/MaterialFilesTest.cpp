// The handwritten material files: each must parse, name a known pass type in every pass, and
// point its shader and texture keys at files that exist. A typo here would otherwise only show up
// as a sub-mesh that silently disappears from some pass.
#include "gpu/TextParser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace Orvanta;

namespace {

const std::set<std::string> PassTypes = {"LIGHT", "DEFERRED_WRITE", "SKY", "RAYCASTING", "RAYTRACED", "TRANSPARENCY"};

void checkPass(const std::string& file, const TextNode& pass)
{
    bool typed = false;
    for (const TextNode& key : pass.children) {
        if (key.kind != TextNode::Value)
            continue;
        if (key.name == "type") {
            typed = true;
            EXPECT_TRUE(PassTypes.count(key.value)) << file << ": unknown pass type " << key.value;
        }
        if (key.name == "vertexShader" || key.name == "fragmentShader") {
            EXPECT_TRUE(std::filesystem::exists(key.value)) << file << ": missing shader " << key.value;
        }
    }
    EXPECT_TRUE(typed) << file << ": a pass without a type is ignored by the loader";
}

}  // namespace

TEST(MaterialFiles, ParseWithKnownPassTypesAndExistingFiles)
{
    int materials = 0;
    for (const auto& entry : std::filesystem::directory_iterator("resources/materials")) {
        if (entry.path().extension() != ".material")
            continue;
        ++materials;
        const std::string file = entry.path().string();
        std::unique_ptr<TextNode> root = parseFile(file);
        ASSERT_TRUE(root) << file << " does not parse";
        EXPECT_EQ(root->name, "material") << file;
        int passes = 0;
        for (const TextNode& child : root->children) {
            if (child.kind == TextNode::Block && child.name == "pass") {
                ++passes;
                checkPass(file, child);
            }
            if (child.kind == TextNode::Block && child.name == "texture") {
                for (const TextNode& key : child.children) {
                    if (key.name == "fileName") {
                        EXPECT_TRUE(std::filesystem::exists(key.value)) << file << ": missing texture " << key.value;
                    }
                }
            }
        }
        EXPECT_GT(passes, 0) << file << " has no pass";
    }
    EXPECT_GT(materials, 10);
}
