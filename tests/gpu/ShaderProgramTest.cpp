#include "gpu/ShaderProgram.h"

#include "gpu/ResourceCache.h"
#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "ShaderFiles.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

using namespace Orvanta;
using OrvantaTest::writeShader;
using OrvantaTest::writeTextFile;

TEST(ShaderSourceReading, IncludesComeFirstInTheOrderTheyStand)
{
    std::string dir = OrvantaTest::makeTempDir("shader");
    std::string c = writeShader(dir, "c.shader", "C");
    std::string a = writeShader(dir, "a.shader", "A", {}, {c});
    std::string b = writeShader(dir, "b.shader", "B");
    std::string main = writeShader(dir, "main.shader", "MAIN", {}, {a, b});
    ShaderSource source = loadShaderSource(main);
    EXPECT_EQ(source.sources, (std::vector<std::string>{"C", "A", "B", "MAIN"}));
    EXPECT_EQ(source.code, "MAIN");
}

TEST(ShaderSourceReading, LastCodeKeyCountsAndMissingCodeIsAnEmptyPiece)
{
    std::string dir = OrvantaTest::makeTempDir("shader");
    std::string twice = writeTextFile(dir, "twice.shader", "shader { code = \"first\" code = \"second\" }");
    EXPECT_EQ(loadShaderSource(twice).sources, (std::vector<std::string>{"second"}));
    std::string lib = writeShader(dir, "lib.shader", "LIB");
    std::string onlyIncludes = writeTextFile(dir, "inc.shader", "shader { includes { file = \"" + lib + "\" } }");
    EXPECT_EQ(loadShaderSource(onlyIncludes).sources, (std::vector<std::string>{"LIB", ""}));
}

TEST(ShaderSourceReading, PairsFollowTheOrderOfBlocksAndIncludes)
{
    std::string dir = OrvantaTest::makeTempDir("shader");
    std::string lib = writeShader(dir, "lib.shader", "", {{"u", "CAMERA_POSITION"}});
    std::string main = writeTextFile(dir, "main.shader",
                                     "shader { semantics { u = ELAPSED_TIME } includes { file = \"" + lib +
                                         "\" } semantics { v = LIGHT_COLOR } }");
    ShaderSource source = loadShaderSource(main);
    std::vector<SemanticPair> expected = {{"u", "ELAPSED_TIME"}, {"u", "CAMERA_POSITION"}, {"v", "LIGHT_COLOR"}};
    EXPECT_EQ(source.semantics, expected);
}

TEST(ShaderSourceReading, IncludeCyclesAreRefusedWithAMessage)
{
    std::string dir = OrvantaTest::makeTempDir("shader");
    std::string a = dir + "/a.shader";
    std::string b = writeShader(dir, "b.shader", "B", {}, {a});
    writeShader(dir, "a.shader", "A", {}, {b});
    std::string self = dir + "/self.shader";
    writeShader(dir, "self.shader", "SELF", {}, {self});
    OrvantaTest::LogCapture log;
    EXPECT_EQ(loadShaderSource(a).sources, (std::vector<std::string>{"B", "A"}));
    EXPECT_TRUE(log.contains(a));
    EXPECT_EQ(loadShaderSource(self).sources, (std::vector<std::string>{"SELF"}));
    EXPECT_EQ(log.messages.size(), 2u);
}

TEST(ShaderSourceReading, FileIncludedTwiceContributesTwice)
{
    std::string dir = OrvantaTest::makeTempDir("shader");
    std::string lib = writeShader(dir, "lib.shader", "LIB", {{"x", "ELAPSED_TIME"}});
    std::string main = writeShader(dir, "main.shader", "MAIN", {}, {lib, lib});
    ShaderSource source = loadShaderSource(main);
    EXPECT_EQ(source.sources, (std::vector<std::string>{"LIB", "LIB", "MAIN"}));
    EXPECT_EQ(source.semantics.size(), 2u);
}

TEST(ShaderSourceReading, MissingFilesAreReportedByPath)
{
    std::string dir = OrvantaTest::makeTempDir("shader");
    std::string main = writeShader(dir, "main.shader", "MAIN", {}, {dir + "/gone.shader"});
    std::string wrongRoot = writeTextFile(dir, "wrong.shader", "material { }");
    OrvantaTest::LogCapture log;
    EXPECT_EQ(loadShaderSource(main).sources, (std::vector<std::string>{"MAIN"}));
    EXPECT_TRUE(log.contains(dir + "/gone.shader"));
    EXPECT_TRUE(loadShaderSource(dir + "/none.shader").sources.empty());
    EXPECT_TRUE(log.contains(dir + "/none.shader"));
    EXPECT_TRUE(loadShaderSource(wrongRoot).sources.empty());
    EXPECT_TRUE(log.contains(wrongRoot));
}

TEST(ProgramCache, SamePathsGiveTheSameProgramAndOtherOrderAnother)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("programs");
    // Both files are valid as either stage, so the swapped pair below is a real program too: a
    // vertex source compiled as a fragment shader is not something to hand a driver (llvmpipe with
    // a warm shader cache reports it compiled and then crashes linking it).
    std::string vertex = writeShader(dir, "v.shader", "#version 120\n// first\nvoid main() {}\n");
    std::string fragment = writeShader(dir, "f.shader", "#version 120\n// second\nvoid main() {}\n");
    ShaderProgram* program = getProgram(vertex, fragment);
    ASSERT_TRUE(program);
    EXPECT_NE(program->program, 0u);
    EXPECT_NE(program->vertexShader, 0u);
    EXPECT_NE(program->fragmentShader, 0u);
    EXPECT_EQ(getProgram(vertex, fragment), program);
    EXPECT_EQ(resourceCache().programs.find(vertex + fragment), program);
    EXPECT_NE(getProgram(fragment, vertex), program);

    ShaderProgram* fragmentOnly = getFragmentProgram(fragment);
    EXPECT_EQ(fragmentOnly->vertexShader, 0u);
    EXPECT_NE(fragmentOnly->fragmentShader, 0u);
    EXPECT_EQ(getFragmentProgram(fragment), fragmentOnly);
    ShaderProgram* vertexOnly = getVertexProgram(vertex);
    EXPECT_EQ(vertexOnly->fragmentShader, 0u);
    EXPECT_NE(vertexOnly, program);
}

TEST(ProgramCache, SecondCodeKeyIsWhatCompiles)
{
    ORVANTA_REQUIRE_GL();
    std::string dir = OrvantaTest::makeTempDir("programs");
    std::string vertex = writeShader(dir, "v.shader", OrvantaTest::passThroughVertex());
    std::string fragment = writeTextFile(dir, "f.shader",
                                         "shader { code = \"this is not GLSL\"\n"
                                         " code = \"#version 120\nvoid main() { gl_FragColor = vec4(0.5); }\n\" }");
    OrvantaTest::LogCapture log;
    ShaderProgram* program = getProgram(vertex, fragment);
    GLint linked = 0;
    Orvanta::glGetObjectParameterivARB(program->program, GL_OBJECT_LINK_STATUS_ARB, &linked);
    EXPECT_EQ(linked, 1);
    EXPECT_TRUE(log.messages.empty());
}

TEST(ProgramCache, CompileFailuresNameTheFileAndTheDriverLog)
{
    ORVANTA_REQUIRE_GL();
    ASSERT_TRUE(glDebugEnabled());
    std::string dir = OrvantaTest::makeTempDir("programs");
    std::string vertex = writeShader(dir, "v.shader", OrvantaTest::passThroughVertex());
    std::string broken = writeShader(dir, "broken.shader", "#version 120\nvoid main() { undefinedCall(); }\n");
    OrvantaTest::LogCapture log;
    ShaderProgram* program = getProgram(vertex, broken);
    ASSERT_TRUE(program);
    EXPECT_TRUE(log.contains("broken.shader"));
    EXPECT_TRUE(log.contains("failed to compile"));
    EXPECT_TRUE(log.contains("failed to link"));
    // A failed program is cached like any other and has nothing to feed.
    EXPECT_EQ(getProgram(vertex, broken), program);
    EXPECT_TRUE(program->uniformBindings.empty());
}
