#include "app/DemoOptions.h"

#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace Orvanta;

TEST(DemoOptions, NoOptionsKeepTheDemoAndEveryOptionIsRead)
{
    DemoOptions options;
    std::string error;
    ASSERT_TRUE(parseDemoOptions({}, options, error)) << error;
    EXPECT_FALSE(options.windowed());
    EXPECT_TRUE(options.scene.empty());
    EXPECT_TRUE(options.flightPath().empty());

    ASSERT_TRUE(parseDemoOptions({"--scene", "a.scene", "--window", "1024x600", "--camera", "1,2,3,0,0,0,2",
                                  "--time-of-day", "-1.5", "--inclination", "0.25", "--debug"},
                                 options, error))
        << error;
    EXPECT_EQ(options.scene, "a.scene");
    EXPECT_EQ(options.windowWidth, 1024);
    EXPECT_EQ(options.windowHeight, 600);
    ASSERT_TRUE(options.hasCamera);
    EXPECT_EQ(options.cameraPosition.y, 2.0f);
    EXPECT_EQ(options.cameraOrientation.w, 1.0f);  // normalised
    EXPECT_EQ(options.timeOfDay, -1.5f);
    EXPECT_EQ(options.inclination, 0.25f);
    EXPECT_TRUE(options.debug);

    ASSERT_TRUE(parseDemoOptions({"--benchmark", "b.path", "--csv", "out.csv"}, options, error)) << error;
    EXPECT_EQ(options.flightPath(), "b.path");
    EXPECT_EQ(options.csvPath, "out.csv");
}

TEST(DemoOptions, BadValuesAndClashesAreNamed)
{
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--fullscreen"}, "option '--fullscreen' is not known"},
        {{"--window"}, "option --window needs a value"},
        {{"--window", "1024"}, "option --window: '1024' is not valid"},
        {{"--window", "1024x"}, "option --window: '1024x' is not valid"},
        {{"--window", "20x600"}, "option --window: '20x600' is not valid"},
        {{"--window", "1024x600x2"}, "option --window: '1024x600x2' is not valid"},
        {{"--camera", "1,2,3,0,0,0"}, "option --camera: '1,2,3,0,0,0' is not valid"},
        {{"--camera", "1,2,3,0,0,0,0"}, "option --camera: '1,2,3,0,0,0,0' is not valid"},
        {{"--camera", "1,nan,3,0,0,0,1"}, "option --camera: '1,nan,3,0,0,0,1' is not valid"},
        {{"--time-of-day", "3"}, "option --time-of-day: '3' is not valid (radians within -2.07 .. 2.07)"},
        {{"--inclination", "up"}, "option --inclination: 'up' is not valid"},
        {{"--scene", ""}, "option --scene: '' is not valid"},
        {{"--play", "a.path", "--benchmark", "b.path"}, "--play and --benchmark both fly a path"},
        {{"--camera", "0,0,0,0,0,0,1", "--play", "a.path"}, "--camera and a flown path both place the camera"},
        {{"--csv", "out.csv"}, "--csv writes the times of a --benchmark run"},
    };
    for (const auto& c : cases) {
        DemoOptions options;
        std::string error;
        EXPECT_FALSE(parseDemoOptions(c.arguments, options, error)) << c.arguments[0];
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << "got: " << error;
    }
}

TEST(DemoOptions, UnusableFilesAreNamedBeforeAnyWindowOpens)
{
    const std::string folder = OrvantaTest::makeTempDir("demo-options");
    std::ofstream(folder + "/bad.path") << "0 0 0 0 0 0 0 1\n0 0 0 0 0 0 0 1\n";
    std::ofstream(folder + "/not.scene") << "not a scene";
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--scene", folder + "/missing.scene"}, folder + "/missing.scene"},
        {{"--scene", folder + "/not.scene"}, folder + "/not.scene"},
        {{"--play", folder + "/bad.path"}, folder + "/bad.path:2: the time does not increase"},
        {{"--benchmark", "resources/camera-paths/yard-tour.path", "--csv", folder + "/no/such/folder/t.csv"},
         folder + "/no/such/folder/t.csv: cannot be written"},
        {{"--benchmark", "resources/camera-paths/yard-tour.path", "--csv", folder}, folder + ": cannot be written"},
    };
    for (const auto& c : cases) {
        DemoOptions options;
        CameraPath flight;
        std::string error;
        ASSERT_TRUE(parseDemoOptions(c.arguments, options, error)) << error;
        EXPECT_FALSE(checkDemoFiles(options, flight, error)) << c.arguments[1];
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << "got: " << error;
    }
    // The shipped tour reads, and a CSV in an existing folder is accepted.
    DemoOptions options;
    CameraPath flight;
    std::string error;
    ASSERT_TRUE(parseDemoOptions({"--benchmark", "resources/camera-paths/yard-tour.path", "--csv", folder + "/t.csv"},
                                 options, error));
    EXPECT_TRUE(checkDemoFiles(options, flight, error)) << error;
    EXPECT_GE(flight.keys.size(), 2u);
}
