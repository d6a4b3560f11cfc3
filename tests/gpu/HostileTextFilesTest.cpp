// Text files written wrong or written to hurt: each gives one message naming the file and the
// problem (with its line for text), and the reader carries on with what it could use.
#include "gpu/MaterialFile.h"
#include "gpu/ShaderSource.h"
#include "gpu/TextParser.h"

#include "ShaderFiles.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>

using namespace Orvanta;
using OrvantaTest::LogCapture;
using OrvantaTest::writeShader;
using OrvantaTest::writeTextFile;

namespace {

std::string problemOf(const std::string& text)
{
    std::string problem;
    parseText(text, problem);
    return problem;
}

std::vector<std::string> materialProblems(const std::string& text, MaterialFileData& data)
{
    std::vector<std::string> problems;
    parseMaterialText("m.material", text, data, problems);
    return problems;
}

}  // namespace

TEST(TextProblems, EachMalformedTextNamesItsFirstProblemAndLine)
{
    EXPECT_EQ(problemOf("material {\n a = 1\n}\n"), "");
    EXPECT_EQ(problemOf("material {\n a = \"x\n}\n"),
              "line 2: a double quote is never closed; the rest of the file became one value");
    EXPECT_EQ(problemOf("material {\n pass {\n a = 1\n"),
              "line 2: the block \"pass\" opened here is not closed before the end of the file (nor are the 1 blocks "
              "around it)");
    EXPECT_EQ(problemOf("material {\n a = 1\n}\n}\nmore"),
              "line 4: text after the closing \"}\" of \"material\" is ignored");
    EXPECT_EQ(problemOf("material {\n\n = 1 }"), "line 3: \"=\" stands where a name was expected; the rest of the file "
                                                 "is ignored");
    EXPECT_EQ(problemOf("material { a b }"), "line 1: the name \"ab\" is followed by \"}\" instead of \"=\" or \"{\"; "
                                             "the rest of the file is ignored");
    EXPECT_EQ(problemOf("material { a ="), "line 1: the file ends after \"a\" =, without a value; the rest of the file "
                                           "is ignored");
    EXPECT_EQ(problemOf(""), "the file holds no text");
    EXPECT_EQ(problemOf("\x7f\x45\x4c\x46\x02"), "line 1: the file does not start with a name followed by \"{\"");
    // A multi-line quoted value moves the line count on.
    EXPECT_EQ(problemOf("shader {\n code = \"a\nb\nc\"\n x\n}"),
              "line 5: the name \"x\" is followed by \"}\" instead of "
              "\"=\" or \"{\"; the rest of the file is ignored");
}

TEST(TextProblems, DeepNestingEndsAtTheBoundWithoutExhaustingTheStack)
{
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "a{\n";
    std::string problem;
    std::unique_ptr<TextNode> root = parseText(text, problem);
    ASSERT_TRUE(root);
    size_t depth = 1;
    for (const TextNode* node = root.get(); !node->children.empty(); node = &node->children[0])
        ++depth;
    EXPECT_EQ(depth, kMaxTextNesting);
    EXPECT_EQ(problem, "line 65: blocks are nested deeper than 64 levels; the rest of the file is ignored");
}

TEST(TextProblems, EveryShaderAndMaterialOfTheEngineParsesCleanly)
{
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(OrvantaTest::sourceDir() + "/resources")) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".shader" && extension != ".material")
            continue;
        std::string problem;
        EXPECT_TRUE(parseFile(entry.path().string(), problem)) << entry.path();
        EXPECT_EQ(problem, "") << entry.path();
        ++files;
    }
    EXPECT_GT(files, 20);
}

TEST(TextProblems, WhatIsNotARegularFileIsRefusedWithoutBlocking)
{
    const std::string dir = OrvantaTest::makeTempDir("textfiles");
    ASSERT_EQ(mkfifo((dir + "/pipe.material").c_str(), 0600), 0);
    std::string problem;
    EXPECT_FALSE(parseFile(dir + "/pipe.material", problem));
    EXPECT_NE(problem.find("not a regular file"), std::string::npos) << problem;
    EXPECT_FALSE(parseFile(dir, problem));
    EXPECT_NE(problem.find("directory"), std::string::npos) << problem;
}

TEST(ShaderIncludeBounds, ADiamondOfIncludesIsCutOffWithOneMessage)
{
    // Each file includes the next one twice: 2^24 reads without a bound, though there is no cycle.
    const std::string dir = OrvantaTest::makeTempDir("diamond");
    std::string next = writeShader(dir, "24.shader", "void main() {}");
    for (int level = 23; level >= 0; --level)
        next = writeShader(dir, std::to_string(level) + ".shader", "// " + std::to_string(level), {}, {next, next});
    LogCapture log;
    const ShaderSource source = loadShaderSource(next);
    EXPECT_TRUE(source.sources.empty());
    EXPECT_EQ(source.path, next);
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_NE(log.messages[0].find(next + ": "), std::string::npos) << log.messages[0];
    EXPECT_NE(log.messages[0].find("left without code"), std::string::npos) << log.messages[0];

    // Eight levels of the same diamond are 511 reads: still over the bound.
    log.messages.clear();
    EXPECT_TRUE(loadShaderSource(dir + "/16.shader").sources.empty());
    EXPECT_EQ(log.messages.size(), 1u);
    // Six levels (127 reads) are fine.
    log.messages.clear();
    EXPECT_EQ(loadShaderSource(dir + "/18.shader").sources.size(), 127u);
    EXPECT_TRUE(log.messages.empty());
}

TEST(ShaderIncludeBounds, ChainsDeeperThanTheBoundAndClimbingPathsAreRefused)
{
    const std::string dir = OrvantaTest::makeTempDir("chain");
    std::string next = writeShader(dir, "20.shader", "END");
    for (int level = 19; level >= 0; --level)
        next = writeShader(dir, std::to_string(level) + ".shader", "L", {}, {next});
    LogCapture log;
    EXPECT_TRUE(loadShaderSource(next).sources.empty());
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_NE(log.messages[0].find("nested deeper than 16"), std::string::npos) << log.messages[0];

    log.messages.clear();
    std::filesystem::create_directories(dir + "/sub");
    writeShader(dir, "lib.shader", "LIB");
    const std::string climbing = writeShader(dir + "/sub", "main.shader", "MAIN", {}, {"sub/../lib.shader"});
    EXPECT_EQ(loadShaderSource(climbing).sources, (std::vector<std::string>{"MAIN"}));
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_NE(log.messages[0].find("climbs out"), std::string::npos) << log.messages[0];
}

TEST(ShaderIncludeBounds, UnparsableShaderFileSaysWhy)
{
    const std::string dir = OrvantaTest::makeTempDir("garbage");
    const std::string garbage = writeTextFile(dir, "garbage.shader", "\x01\x02 not a shader at all");
    const std::string broken = writeTextFile(dir, "broken.shader", "shader {\n code = \"void main() {}\n");
    LogCapture log;
    EXPECT_TRUE(loadShaderSource(garbage).sources.empty());
    ASSERT_EQ(log.messages.size(), 1u);
    EXPECT_EQ(log.messages[0], "shader file " + garbage +
                                   ": line 1: the file does not start with a name followed by \"{\"; it contributes no "
                                   "code");
    EXPECT_EQ(loadShaderSource(broken).sources.size(), 1u);  // the code up to the end of the text
    ASSERT_EQ(log.messages.size(), 2u);
    EXPECT_NE(log.messages[1].find("line 2: a double quote is never closed"), std::string::npos) << log.messages[1];
}

TEST(MaterialReading, BadValuesAreReportedAndLeaveTheDefaults)
{
    MaterialFileData data;
    std::vector<std::string> problems = materialProblems(
        "material {\n isAlphaTested = ture\n castShadows = false\n alphaTestTreshold = nan\n}", data);
    EXPECT_FALSE(data.isAlphaTested);
    EXPECT_FALSE(data.castShadows);
    EXPECT_EQ(data.alphaTestTreshold, 0.0f);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0], "m.material: isAlphaTested = \"ture\" is neither true nor false; it stays false");
    EXPECT_NE(problems[1].find("alphaTestTreshold = \"nan\" is not a finite number"), std::string::npos);

    problems = materialProblems("material { alphaTestTreshold = 0.5\n alphaTestTreshold = inf }", data);
    EXPECT_EQ(data.alphaTestTreshold, 0.5f);
    EXPECT_EQ(problems.size(), 1u);
    problems = materialProblems("material { alphaTestTreshold = 0.5\n alphaTestTreshold = half }", data);
    EXPECT_EQ(data.alphaTestTreshold, 0.0f);  // the C conversion's 0, with a word
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("is not a number; 0 is used"), std::string::npos);
    problems = materialProblems("material { alphaTestTreshold = 0.25cm }", data);
    EXPECT_EQ(data.alphaTestTreshold, 0.25f);
    EXPECT_TRUE(problems.empty());
}

TEST(MaterialReading, OpticsKeysAreReadAndBadValuesKeepWhatWasThere)
{
    MaterialFileData data;
    std::vector<std::string> problems = materialProblems(
        "material {\n reflectance = 0.56\n reflectionTint = \"0.97 0.98 1.0\"\n indexOfRefraction = 1.33\n"
        " isThin = true\n transmissionColor = \" 0.9\t0.95 1 \"\n}",
        data);
    EXPECT_TRUE(problems.empty()) << problems[0];
    const MaterialOptics expected{0.56f, {0.97f, 0.98f, 1.0f}, 1.33f, true, {0.9f, 0.95f, 1.0f}};
    EXPECT_EQ(data.optics, expected);

    // Out of range, trailing words, too few or too many numbers, and an unquoted colour (the text
    // format removes its blanks): one message each, naming the file and the key.
    const char* const bad[] = {"reflectance = 1.5",
                               "reflectance = 0.5cm",
                               "indexOfRefraction = 0.9",
                               "isThin = yes",
                               "reflectionTint = 0.97 0.98 1.0",
                               "reflectionTint = \"0.9 0.9\"",
                               "transmissionColor = \"0.9 0.9 0.9 0.9\"",
                               "transmissionColor = \"0.9 -0.1 0.9\""};
    for (const char* line : bad) {
        problems = materialProblems(std::string("material {\n ") + line + "\n}", data);
        EXPECT_EQ(data.optics, MaterialOptics{}) << line;
        ASSERT_EQ(problems.size(), 1u) << line;
        const std::string key = std::string(line, std::string(line).find(' '));
        EXPECT_EQ(problems[0].rfind("m.material: " + key + " = ", 0), 0u) << problems[0];
    }
    problems = materialProblems("material { reflectance = 0.15\n reflectance = 2 }", data);
    EXPECT_EQ(data.optics.reflectance, 0.15f);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "m.material: reflectance = \"2\" is not a number from 0 to 1; it stays 0.15");
}

TEST(MaterialReading, UnbalancedBracesAreReportedAndWhatStandsBeforeIsUsed)
{
    MaterialFileData data;
    std::vector<std::string> problems = materialProblems("material {\n isDoubleSided = true\n pass {\n type = SKY\n",
                                                         data);
    EXPECT_TRUE(data.isDoubleSided);
    ASSERT_EQ(data.passes.size(), 1u);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("m.material: line 3: the block \"pass\" opened here is not closed"), std::string::npos)
        << problems[0];

    problems = materialProblems("shader { }", data);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("not a material file"), std::string::npos);
    EXPECT_TRUE(data.passes.empty());
}

TEST(MaterialReading, PathsClimbingOutAreRefused)
{
    MaterialFileData data;
    std::vector<std::string> problems = materialProblems(
        "material {\n texture { name = t\n fileName = \"resources/textures/../../../etc/shadow\" }\n"
        " pass { type = SKY\n vertexShader = \"../x.shader\"\n fragmentShader = \"resources/shaders/f.shader\"\n"
        " semantics { s = t } } }",
        data);
    ASSERT_EQ(data.textures.size(), 1u);
    EXPECT_TRUE(data.textures[0].refused);
    EXPECT_EQ(data.textures[0].fileName, "");
    ASSERT_EQ(data.passes.size(), 1u);
    const MaterialPassRecord& pass = data.passes[0];
    ASSERT_EQ(pass.steps.size(), 3u);
    EXPECT_EQ(pass.steps[0].shaderPath, "");  // refused: attached without code
    EXPECT_EQ(pass.steps[1].shaderPath, "resources/shaders/f.shader");
    EXPECT_TRUE(pass.steps[2].fromSemanticsBlock);
    EXPECT_EQ(pass.texturesDeclared, 1u);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_NE(problems[0].find("climbs out"), std::string::npos);
    EXPECT_NE(problems[1].find("../x.shader"), std::string::npos);
}

TEST(MaterialReading, PassStepsKeepTheFileOrder)
{
    MaterialFileData data;
    std::vector<std::string> problems = materialProblems(
        "material {\n pass { lightType = SUN\n vertexShader = v\n semantics { }\n fragmentShader = f\n"
        " semantics { }\n type = LIGHT }\n pass { type = NONE }\n pass { type = DEFERRED_WRITE\n fragmentShader = f }\n"
        " texture { name = late } }",
        data);
    ASSERT_EQ(data.passes.size(), 2u);
    EXPECT_EQ(data.passes[0].type, PassTypeLight);
    EXPECT_EQ(data.passes[0].lightType, 3);
    ASSERT_EQ(data.passes[0].steps.size(), 2u);  // the shader after the link and the second block are left out
    EXPECT_EQ(data.passes[0].steps[0].kind, MaterialPassStep::VertexShader);
    EXPECT_EQ(data.passes[0].steps[1].kind, MaterialPassStep::Link);
    ASSERT_EQ(data.passes[1].steps.size(), 2u);  // linked after its last key, naming no textures
    EXPECT_FALSE(data.passes[1].steps[1].fromSemanticsBlock);
    EXPECT_EQ(data.passes[1].texturesDeclared, 0u);
    EXPECT_EQ(data.textures.size(), 1u);
    EXPECT_EQ(problems.size(), 3u);  // late fragment shader, second semantics block, unknown type
}
