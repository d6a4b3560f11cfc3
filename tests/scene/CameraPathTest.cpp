#include "scene/CameraPath.h"

#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

using namespace Orvanta;

namespace {

// The angle of the rotation from a to b (atan2 of the difference's parts keeps small angles exact).
float angleBetween(Quaternion a, Quaternion b)
{
    const Quaternion d = conjugate(a) * b;
    return 2.0f * std::atan2(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), std::fabs(d.w));
}

void expectPose(const CameraPose& pose, const CameraPose& expected, float tolerance, const std::string& where)
{
    EXPECT_NEAR(pose.position.x, expected.position.x, tolerance) << where;
    EXPECT_NEAR(pose.position.y, expected.position.y, tolerance) << where;
    EXPECT_NEAR(pose.position.z, expected.position.z, tolerance) << where;
    EXPECT_LE(angleBetween(pose.orientation, expected.orientation), tolerance) << where;
}

}  // namespace

TEST(CameraPath, CommentsBlankLinesAndOneKeyGiveThatPoseAtEveryTime)
{
    CameraPath path;
    std::string error;
    const std::string text = "# recorded in the yard\r\n\n  4.5  1 2 3   0 0 0 2  # facing +z\r\n\t\n";
    ASSERT_TRUE(parseCameraPath(text, "one.path", path, error)) << error;
    ASSERT_EQ(path.keys.size(), 1u);
    EXPECT_EQ(path.duration(), 0.0f);
    const CameraPose expected{{1, 2, 3}, {0, 0, 0, 1}};  // the quaternion comes back normalised
    for (float t : {-1.0f, 4.5f, 100.0f})
        expectPose(cameraPoseAt(path, t), expected, 0.0f, "t = " + std::to_string(t));
}

TEST(CameraPath, BadFilesAreNamedWithTheLineAndTheProblem)
{
    const std::string good = "0 0 0 0 0 0 0 1\n";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "bad.path: no key poses"},
        {"# only a comment\n", "bad.path: no key poses"},
        {good + "1 0 0 0 0 0 0\n", "bad.path:2: expected 8 numbers"},
        {good + "1 0 0 0 0 0 0 1 9\n", "bad.path:2: expected 8 numbers"},
        {good + "\n1 0 0 x 0 0 0 1\n", "bad.path:3: 'x' is not a finite number"},
        {good + "1 0 0 0 0 0 0 1e\n", "bad.path:2: '1e' is not a finite number"},
        {good + "1 nan 0 0 0 0 0 1\n", "bad.path:2: 'nan' is not a finite number"},
        {good + "1 1e39 0 0 0 0 0 1\n", "bad.path:2: '1e39' is not a finite number"},
        {good + "0 0 0 0 0 0 0 1\n", "bad.path:2: the time does not increase"},
        {good + "1 0 2e5 0 0 0 0 1\n", "bad.path:2: the position lies beyond"},
        {"-1 0 0 0 0 0 0 1\n", "bad.path:1: the time must lie within"},
        {good + "1 0 0 0 0 0 0 0\n", "bad.path:2: the orientation quaternion is zero"},
        {std::string("0 0 0 0 0 0 0 1\n1 0\0 0 0 0 0 0 1\n", 33), "bad.path:2:"},
    };
    for (const auto& c : cases) {
        CameraPath path;
        std::string error;
        EXPECT_FALSE(parseCameraPath(c.text, "bad.path", path, error)) << c.text;
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << "got: " << error;
        EXPECT_TRUE(path.keys.empty());
    }
    // A missing file is named too.
    CameraPath path;
    std::string error;
    EXPECT_FALSE(readCameraPathFile("no/such/file.path", path, error));
    EXPECT_EQ(error.rfind("no/such/file.path: ", 0), 0u) << error;
}

TEST(CameraPath, InterpolationPassesThroughEveryKeySmoothly)
{
    // Unevenly spaced keys with turns about different axes and a quaternion given with the
    // opposite sign of its neighbour (the same rotation).
    std::ostringstream text;
    const float times[] = {0.0f, 0.5f, 2.0f, 2.25f, 5.0f};
    const CameraPose poses[] = {
        {{0, 1, 0}, normalize(fromAxisAngle({0, 1, 0}, 0.0f))},
        {{2, 1.5f, 1}, normalize(fromAxisAngle({0, 1, 0}, 0.8f))},
        {{3, 1, 4}, normalize(fromAxisAngle({1, 0, 0}, -0.4f))},
        {{3.5f, 2, 4.5f}, normalize(fromAxisAngle({1, 1, 0}, 1.2f))},
        {{-4, 1, 8}, normalize(fromAxisAngle({0, 1, 0}, 3.0f))},
    };
    for (int i = 0; i < 5; ++i) {
        Quaternion q = poses[i].orientation;
        if (i == 3)
            q = {-q.x, -q.y, -q.z, -q.w};
        text << times[i] << ' ' << poses[i].position.x << ' ' << poses[i].position.y << ' ' << poses[i].position.z
             << ' ' << q.x << ' ' << q.y << ' ' << q.z << ' ' << q.w << '\n';
    }
    CameraPath path;
    std::string error;
    ASSERT_TRUE(parseCameraPath(text.str(), "tour.path", path, error)) << error;
    ASSERT_EQ(path.keys.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        expectPose(cameraPoseAt(path, times[i]), poses[i], 1e-5f, "at key " + std::to_string(i));
        // Continuous through the key: just before and after it the pose is still close to it.
        for (float offset : {-1e-3f, 1e-3f}) {
            const CameraPose near = cameraPoseAt(path, times[i] + offset);
            EXPECT_LT(length(near.position - poses[i].position), 0.05f) << "near key " << i;
            EXPECT_LT(angleBetween(near.orientation, poses[i].orientation), 0.05f) << "near key " << i;
        }
        // No kink at an inner key: the velocity arriving equals the velocity leaving.
        if (i > 0 && i < 4) {
            const float h = 1e-3f;
            const Float3 before = (poses[i].position - cameraPoseAt(path, times[i] - h).position) / h;
            const Float3 after = (cameraPoseAt(path, times[i] + h).position - poses[i].position) / h;
            EXPECT_LT(length(after - before), 0.05f * std::max(length(before), 1.0f)) << "velocity at key " << i;
            const float turnBefore = angleBetween(cameraPoseAt(path, times[i] - h).orientation, poses[i].orientation);
            const float turnAfter = angleBetween(poses[i].orientation, cameraPoseAt(path, times[i] + h).orientation);
            EXPECT_NEAR(turnBefore / h, turnAfter / h, 0.05f * std::max(turnBefore / h, 1.0f))
                << "turn rate at key " << i;
        }
    }
    // Between keys the orientation stays a unit quaternion.
    const Quaternion q = cameraPoseAt(path, 3.1f).orientation;
    EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-5f);
}

TEST(CameraPath, EvenMotionIsReproducedBetweenKeys)
{
    // Keys on a straight line at constant speed, turning at a constant rate about y: the spline
    // must give the closed-form motion between the keys, at the ends too.
    std::ostringstream text;
    const float rate = 0.7f;  // radians per second
    for (int i = 0; i < 4; ++i) {
        const Quaternion q = fromAxisAngle({0, 1, 0}, rate * float(i));
        text << i << ' ' << 1.0f + 2.0f * float(i) << " 1.7 " << -3.0f * float(i) << ' ' << q.x << ' ' << q.y << ' '
             << q.z << ' ' << q.w << '\n';
    }
    CameraPath path;
    std::string error;
    ASSERT_TRUE(parseCameraPath(text.str(), "line.path", path, error)) << error;
    for (float t : {0.25f, 0.5f, 1.5f, 2.75f}) {
        const CameraPose expected{{1.0f + 2.0f * t, 1.7f, -3.0f * t}, fromAxisAngle({0, 1, 0}, rate * t)};
        expectPose(cameraPoseAt(path, t), expected, t == 1.5f ? 1e-5f : 5e-3f, "t = " + std::to_string(t));
    }
}

TEST(CameraPath, RecordingAppendsKeysTwoSecondsApartAndKeepsBadFiles)
{
    const std::string folder = OrvantaTest::makeTempDir("camera-path");
    const std::string file = folder + "/paths/recorded.path";
    CameraKey key;
    std::string error;
    const CameraPose first{{1, 2, 3}, fromAxisAngle({0, 1, 0}, 0.5f)};
    const CameraPose second{{-10.4346f, 1.7f, 30.2375f}, {0, -0.344821f, 0, 0.938668f}};
    ASSERT_TRUE(appendCameraKey(file, first, 2.0f, key, error)) << error;
    EXPECT_EQ(key.time, 0.0f);
    ASSERT_TRUE(appendCameraKey(file, second, 2.0f, key, error)) << error;
    EXPECT_EQ(key.time, 2.0f);
    CameraPath path;
    ASSERT_TRUE(readCameraPathFile(file, path, error)) << error;
    ASSERT_EQ(path.keys.size(), 2u);
    expectPose(path.keys[0].pose, first, 1e-6f, "first");
    expectPose(path.keys[1].pose, second, 1e-6f, "second");

    const std::string bad = folder + "/bad.path";
    std::ofstream(bad) << "0 0 0 0 0 0 0 1\n1 oops\n";
    EXPECT_FALSE(appendCameraKey(bad, first, 2.0f, key, error));
    EXPECT_EQ(error.rfind(bad + ":2:", 0), 0u) << error;
    std::ifstream in(bad);
    std::stringstream kept;
    kept << in.rdbuf();
    EXPECT_EQ(kept.str(), "0 0 0 0 0 0 0 1\n1 oops\n");
}
