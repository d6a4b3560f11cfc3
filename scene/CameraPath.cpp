#include "scene/CameraPath.h"

#include "platform/FileAccess.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace Orvanta {

namespace {

constexpr int kNumbersPerKey = 8;
// Below this length a quaternion has no direction to normalise.
constexpr float kMinQuaternionLength = 1e-6f;

const char* const kFormatComment = "# Orvanta camera path: one key pose per line, '#' starts a comment.\n"
                                   "# time(s)  position x y z  orientation quaternion qx qy qz qw\n";

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// A word that is a whole finite number.
bool parseNumber(std::string_view word, float& value)
{
    const char* first = word.data();
    const char* last = first + word.size();
    if (first != last && *first == '+')
        ++first;
    const auto [end, status] = std::from_chars(first, last, value);
    return status == std::errc() && end == last && std::isfinite(value);
}

std::string quoted(std::string_view word)
{
    constexpr size_t kLongestShown = 32;
    std::string shown;
    for (char c : word.substr(0, kLongestShown))
        shown += (c >= 32 && c < 127) ? c : '?';
    return "'" + shown + (word.size() > kLongestShown ? "...'" : "'");
}

// The key on one line with its comment removed; false with the problem when it is not one.
bool parseKeyLine(std::string_view line, CameraKey& key, std::string& problem)
{
    float numbers[kNumbersPerKey] = {};
    int count = 0;
    size_t i = 0;
    while (i < line.size()) {
        if (isBlank(line[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < line.size() && !isBlank(line[end]))
            ++end;
        const std::string_view word = line.substr(i, end - i);
        i = end;
        if (count < kNumbersPerKey && !parseNumber(word, numbers[count])) {
            problem = quoted(word) + " is not a finite number";
            return false;
        }
        ++count;
    }
    if (count != kNumbersPerKey) {
        problem = "expected 8 numbers (time, position x y z, orientation qx qy qz qw), found " + std::to_string(count);
        return false;
    }
    if (numbers[0] < 0.0f || numbers[0] > kMaxCameraPathTime) {
        problem = "the time must lie within 0 .. 1000000 seconds";
        return false;
    }
    for (int axis = 1; axis <= 3; ++axis)
        if (std::fabs(numbers[axis]) > kMaxCameraPathCoordinate) {
            problem = "the position lies beyond 100000 units from the origin";
            return false;
        }
    const Quaternion q{numbers[4], numbers[5], numbers[6], numbers[7]};
    const double length = std::sqrt(double(q.x) * q.x + double(q.y) * q.y + double(q.z) * q.z + double(q.w) * q.w);
    if (!(length >= kMinQuaternionLength)) {
        problem = "the orientation quaternion is zero";
        return false;
    }
    key.time = numbers[0];
    key.pose.position = {numbers[1], numbers[2], numbers[3]};
    key.pose.orientation = {static_cast<float>(q.x / length), static_cast<float>(q.y / length),
                            static_cast<float>(q.z / length), static_cast<float>(q.w / length)};
    return true;
}

// Four-component points in double precision: positions use three, quaternions all four.
struct Point4 {
    double v[4] = {0, 0, 0, 0};
};

Point4 mix(const Point4& a, double wa, const Point4& b, double wb)
{
    Point4 r;
    for (int i = 0; i < 4; ++i)
        r.v[i] = a.v[i] * wa + b.v[i] * wb;
    return r;
}

// Barry and Goldman's pyramid: the Catmull-Rom spline through p1 (at t1) and p2 (at t2) with
// neighbours p0 (t0) and p3 (t3), evaluated at t in [t1, t2]. Every level is a linear blend, so
// the curve meets p1 at t1 and p2 at t2 whatever the spacing.
Point4 catmullRom(const Point4 p[4], const double t[4], double at)
{
    auto lerp = [at](const Point4& a, double ta, const Point4& b, double tb) {
        return mix(a, (tb - at) / (tb - ta), b, (at - ta) / (tb - ta));
    };
    const Point4 a1 = lerp(p[0], t[0], p[1], t[1]);
    const Point4 a2 = lerp(p[1], t[1], p[2], t[2]);
    const Point4 a3 = lerp(p[2], t[2], p[3], t[3]);
    const Point4 b1 = lerp(a1, t[0], a2, t[2]);
    const Point4 b2 = lerp(a2, t[1], a3, t[3]);
    return lerp(b1, t[1], b2, t[2]);
}

Point4 positionPoint(const CameraKey& key)
{
    return Point4{{key.pose.position.x, key.pose.position.y, key.pose.position.z, 0.0}};
}

Point4 orientationPoint(const CameraKey& key)
{
    const Quaternion& q = key.pose.orientation;
    return Point4{{q.x, q.y, q.z, q.w}};
}

double dot4(const Point4& a, const Point4& b)
{
    return a.v[0] * b.v[0] + a.v[1] * b.v[1] + a.v[2] * b.v[2] + a.v[3] * b.v[3];
}

// q, or -q (the same rotation) when that lies on reference's side of the hypersphere.
Point4 sameHemisphere(const Point4& q, const Point4& reference)
{
    return dot4(q, reference) < 0.0 ? mix(q, -1.0, q, 0.0) : q;
}

// Every key of the text, in order; a text without keys is valid here.
bool parseKeys(std::string_view text, const std::string& name, std::vector<CameraKey>& keys, std::string& error)
{
    size_t lineNumber = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        ++lineNumber;
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        line = line.substr(0, line.find('#'));
        if (std::all_of(line.begin(), line.end(), isBlank))
            continue;
        CameraKey key;
        std::string problem;
        if (parseKeyLine(line, key, problem)) {
            if (!keys.empty() && !(key.time > keys.back().time))
                problem = "the time does not increase (the previous key is at " + std::to_string(keys.back().time) +
                          " s)";
            else {
                keys.push_back(key);
                continue;
            }
        }
        error = name + ":" + std::to_string(lineNumber) + ": " + problem;
        return false;
    }
    return true;
}

}  // namespace

bool parseCameraPath(std::string_view text, const std::string& name, CameraPath& path, std::string& error)
{
    path.keys.clear();
    std::vector<CameraKey> keys;
    if (!parseKeys(text, name, keys, error))
        return false;
    if (keys.empty()) {
        error = name + ": no key poses (each line: time x y z qx qy qz qw)";
        return false;
    }
    path.keys = std::move(keys);
    return true;
}

bool readCameraPathFile(const std::string& file, CameraPath& path, std::string& error)
{
    path.keys.clear();
    std::vector<uint8_t> bytes;
    std::string problem;
    if (!readRegularFile(file, bytes, problem, kMaxCameraPathBytes)) {
        error = file + ": " + problem;
        return false;
    }
    return parseCameraPath(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), file, path,
                           error);
}

CameraPose cameraPoseAt(const CameraPath& path, float time)
{
    const std::vector<CameraKey>& keys = path.keys;
    if (keys.empty())
        return {};
    if (keys.size() == 1 || !(time > keys.front().time))
        return keys.front().pose;
    if (time >= keys.back().time)
        return keys.back().pose;
    // The segment [keys[i], keys[i + 1]] that holds the time.
    const auto next = std::upper_bound(keys.begin(), keys.end(), time,
                                       [](float t, const CameraKey& key) { return t < key.time; });
    const size_t i = static_cast<size_t>(next - keys.begin()) - 1;

    double t[4];
    Point4 positions[4], orientations[4];
    t[1] = keys[i].time;
    t[2] = keys[i + 1].time;
    positions[1] = positionPoint(keys[i]);
    positions[2] = positionPoint(keys[i + 1]);
    orientations[1] = orientationPoint(keys[i]);
    orientations[2] = sameHemisphere(orientationPoint(keys[i + 1]), orientations[1]);
    // Neighbours beyond the ends are the inner key mirrored through the end key, in time and
    // value, which makes the end segments' curves as straight as their keys allow.
    if (i > 0) {
        t[0] = keys[i - 1].time;
        positions[0] = positionPoint(keys[i - 1]);
        orientations[0] = sameHemisphere(orientationPoint(keys[i - 1]), orientations[1]);
    } else {
        t[0] = 2.0 * t[1] - t[2];
        positions[0] = mix(positions[1], 2.0, positions[2], -1.0);
        orientations[0] = mix(orientations[1], 2.0, orientations[2], -1.0);
    }
    if (i + 2 < keys.size()) {
        t[3] = keys[i + 2].time;
        positions[3] = positionPoint(keys[i + 2]);
        orientations[3] = sameHemisphere(orientationPoint(keys[i + 2]), orientations[2]);
    } else {
        t[3] = 2.0 * t[2] - t[1];
        positions[3] = mix(positions[2], 2.0, positions[1], -1.0);
        orientations[3] = mix(orientations[2], 2.0, orientations[1], -1.0);
    }
    const Point4 p = catmullRom(positions, t, time);
    const Point4 q = catmullRom(orientations, t, time);
    const double qLength = std::sqrt(dot4(q, q));
    CameraPose pose;
    pose.position = {static_cast<float>(p.v[0]), static_cast<float>(p.v[1]), static_cast<float>(p.v[2])};
    if (qLength > 0.0)
        pose.orientation = {static_cast<float>(q.v[0] / qLength), static_cast<float>(q.v[1] / qLength),
                            static_cast<float>(q.v[2] / qLength), static_cast<float>(q.v[3] / qLength)};
    else
        pose.orientation = keys[i].pose.orientation;
    return pose;
}

std::string cameraKeyLine(const CameraKey& key)
{
    const Float3& p = key.pose.position;
    const Quaternion& q = key.pose.orientation;
    char line[256];
    std::snprintf(line, sizeof line, "%.9g  %.9g %.9g %.9g  %.9g %.9g %.9g %.9g\n", key.time, p.x, p.y, p.z, q.x, q.y,
                  q.z, q.w);
    return line;
}

bool appendCameraKey(const std::string& file, const CameraPose& pose, float spacing, CameraKey& appended,
                     std::string& error)
{
    std::string text;
    CameraKey key;
    key.pose = pose;
    if (pathKind(file) == PathKind::Missing) {
        text = kFormatComment;
    } else {
        std::vector<uint8_t> bytes;
        std::string problem;
        if (!readRegularFile(file, bytes, problem, kMaxCameraPathBytes)) {
            error = file + ": " + problem;
            return false;
        }
        text.assign(bytes.begin(), bytes.end());
        // A file of comments alone is a path still to be recorded.
        std::vector<CameraKey> existing;
        if (!parseKeys(text, file, existing, error)) {
            error += " (the pose was not appended)";
            return false;
        }
        if (!existing.empty())
            key.time = existing.back().time + spacing;
        if (!text.empty() && text.back() != '\n')
            text += '\n';
    }
    key.pose.orientation = normalize(pose.orientation);
    text += cameraKeyLine(key);
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    std::error_code ignored;
    if (!folder.empty())
        std::filesystem::create_directories(folder, ignored);
    if (!writeFileAtomically(file, std::vector<uint8_t>(text.begin(), text.end()), error))
        return false;
    appended = key;
    return true;
}

}  // namespace Orvanta
