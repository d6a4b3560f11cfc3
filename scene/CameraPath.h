#pragma once
#include "scene/Math.h"

#include <string>
#include <string_view>
#include <vector>

namespace Orvanta {

// Where a camera stands and how it is turned (a unit quaternion; the camera looks along local +z).
struct CameraPose {
    Float3 position;
    Quaternion orientation;
};

// One key of a camera path: the pose the camera holds at `time` seconds.
struct CameraKey {
    float time = 0.0f;
    CameraPose pose;
};

// A camera path: key poses at strictly increasing times, orientations normalised. It is flown
// from the first key's time to the last's.
//
// The text format: one key per line, eight numbers separated by blanks,
//     time  x y z  qx qy qz qw
// (seconds, position, orientation quaternion of any non-zero length); '#' starts a comment that
// runs to the end of the line, blank lines are ignored, line ends may be "\n" or "\r\n".
struct CameraPath {
    std::vector<CameraKey> keys;

    float startTime() const { return keys.empty() ? 0.0f : keys.front().time; }
    float endTime() const { return keys.empty() ? 0.0f : keys.back().time; }
    float duration() const { return endTime() - startTime(); }
};

// The largest path file read: far beyond any hand-made or recorded path.
inline constexpr size_t kMaxCameraPathBytes = size_t(16) << 20;
// Times and positions beyond these are refused (the engine's loaders refuse geometry beyond
// 100 000 units from the origin; a million seconds is eleven days of flight).
inline constexpr float kMaxCameraPathTime = 1.0e6f;
inline constexpr float kMaxCameraPathCoordinate = 1.0e5f;

// Parses a path from its text (any bytes). False with one message "name:line: problem" (or
// "name: problem" for a file without keys) and `path` left empty when the text is not a valid
// path: a line without exactly eight numbers, a word that is not a finite number, a time that
// does not increase, a time or coordinate out of range, a zero quaternion, or no key at all.
bool parseCameraPath(std::string_view text, const std::string& name, CameraPath& path, std::string& error);

// Reads and parses a path file (a regular file of at most kMaxCameraPathBytes).
bool readCameraPathFile(const std::string& file, CameraPath& path, std::string& error);

// The pose at a time (clamped to the path's first and last key). Positions follow a Catmull-Rom
// spline parameterised by the keys' times (Barry and Goldman's form, so unevenly spaced keys keep
// their speed), orientations the same spline through the quaternions (each taken on the side of
// its predecessor's hemisphere), normalised. Both pass through every key and have a continuous
// first derivative; the ends are extended by reflecting the neighbouring key. A path without keys
// gives the identity pose at the origin.
CameraPose cameraPoseAt(const CameraPath& path, float time);

// One key as a line of the format (numbers written so that they read back exactly), with "\n".
std::string cameraKeyLine(const CameraKey& key);

// Appends a pose to a path file as a key `spacing` seconds after its last key (at time 0 in a
// new file, which starts with a comment describing the format), creating the file's folder if
// needed. The file is replaced atomically; a file that is not a valid path is left as it is and
// the call fails with its message. On success `appended` is the key written.
bool appendCameraKey(const std::string& file, const CameraPose& pose, float spacing, CameraKey& appended,
                     std::string& error);

}  // namespace Orvanta
