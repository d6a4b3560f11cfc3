// The camera path format: any bytes give either a path of keys at strictly increasing finite
// times within range, finite positions within range and unit orientations, or one message naming
// the file. An accepted path writes back, key by key, to text that reads as the same path (its
// orientations to a rounding step), and its poses along and beyond the path are finite with unit
// orientations.
#include "scene/CameraPath.h"
#include "support/FuzzSupport.h"

#include <cmath>

namespace {

bool unit(const Orvanta::Quaternion& q)
{
    const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    return std::isfinite(length) && std::fabs(length - 1.0f) < 1e-3f;
}

bool finite(const Orvanta::Float3& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Times and positions read back exactly; an orientation is normalised again when it is read, which
// may move it by a rounding step.
bool samePose(const Orvanta::CameraKey& a, const Orvanta::CameraKey& b)
{
    const Orvanta::Quaternion& p = a.pose.orientation;
    const Orvanta::Quaternion& q = b.pose.orientation;
    return a.time == b.time && a.pose.position.x == b.pose.position.x && a.pose.position.y == b.pose.position.y &&
           a.pose.position.z == b.pose.position.z && std::fabs(p.x - q.x) <= 1e-6f && std::fabs(p.y - q.y) <= 1e-6f &&
           std::fabs(p.z - q.z) <= 1e-6f && std::fabs(p.w - q.w) <= 1e-6f;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    OrvantaFuzz::quietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace Orvanta;
    CameraPath path;
    std::string error;
    if (!parseCameraPath(OrvantaFuzz::textOf(data, size), "fuzz.path", path, error)) {
        if (error.rfind("fuzz.path:", 0) != 0 || !path.keys.empty())
            __builtin_trap();
        return 0;
    }
    if (path.keys.empty())
        __builtin_trap();
    std::string written;
    for (size_t i = 0; i < path.keys.size(); ++i) {
        const CameraKey& key = path.keys[i];
        if (!std::isfinite(key.time) || std::fabs(key.time) > kMaxCameraPathTime ||
            (i > 0 && !(key.time > path.keys[i - 1].time)) || !finite(key.pose.position) ||
            std::fabs(key.pose.position.x) > kMaxCameraPathCoordinate ||
            std::fabs(key.pose.position.y) > kMaxCameraPathCoordinate ||
            std::fabs(key.pose.position.z) > kMaxCameraPathCoordinate || !unit(key.pose.orientation))
            __builtin_trap();
        written += cameraKeyLine(key);
    }
    CameraPath again;
    if (!parseCameraPath(written, "written.path", again, error) || again.keys.size() != path.keys.size())
        __builtin_trap();
    for (size_t i = 0; i < path.keys.size(); ++i)
        if (!samePose(again.keys[i], path.keys[i]))
            __builtin_trap();
    const float start = path.startTime(), duration = path.duration();
    for (float t : {start - 1.0f, start, start + 0.37f * duration, path.endTime(), path.endTime() + 5.0f}) {
        const CameraPose pose = cameraPoseAt(path, t);
        if (!finite(pose.position) || !unit(pose.orientation))
            __builtin_trap();
    }
    return 0;
}
