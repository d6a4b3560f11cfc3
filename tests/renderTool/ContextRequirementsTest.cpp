// A context that lacks what the engine needs stops the render tool at start-up with exit code 2
// and one message naming what is missing. Mesa stands in for an older driver: it can be told to
// offer an older OpenGL version, or to leave an extension out.
#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace OrvantaTest;

namespace {

// The picture it would write: it stops before drawing, so there must be none.
const std::string kPicture = (std::filesystem::temp_directory_path() / "orvanta-context-requirements.png").string();

ToolRun renderWith(const std::string& environment)
{
    std::filesystem::remove(kPicture);
    const ToolRun run = runCommandLine(environment + " " + std::string(ORVANTA_RENDER_PATH) +
                                       " --width 32 --height 18 --frames 1 --output " + kPicture);
    EXPECT_FALSE(std::filesystem::exists(kPicture));
    return run;
}

TEST(ContextRequirements, AnOlderContextOrAMissingExtensionStopsTheToolWithExitCodeTwo)
{
    const ToolRun older = renderWith("MESA_GL_VERSION_OVERRIDE=2.1");
    EXPECT_EQ(older.exitCode, 2) << older.output;
    EXPECT_NE(older.output.find("lacks what the engine needs: OpenGL 3.0 (this context is 2.1)"), std::string::npos)
        << older.output;

    // Mesa cannot leave out an extension it always offers and then leaves all of those out of the
    // list: the message names GL_EXT_texture3D among the others.
    const ToolRun without = renderWith("MESA_EXTENSION_OVERRIDE=-GL_EXT_texture3D");
    EXPECT_EQ(without.exitCode, 2) << without.output;
    const size_t named = without.output.find("lacks what the engine needs: ");
    EXPECT_NE(named, std::string::npos) << without.output;
    EXPECT_NE(without.output.find("GL_EXT_texture3D", named), std::string::npos) << without.output;
}

}  // namespace
