#include "app/OptionValues.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace Orvanta {

bool parseFiniteNumber(const std::string& text, float& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const float parsed = std::strtof(text.c_str(), &end);
    if (!end || *end != '\0' || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool parseWholeNumber(const std::string& text, int& value, int minimum, int maximum)
{
    if (text.empty() || text.size() > 12)
        return false;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (!end || *end != '\0' || parsed < minimum || parsed > maximum)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool parseCameraPose(const std::string& text, Float3& position, Quaternion& orientation)
{
    std::vector<float> values;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        float v = 0.0f;
        if (!parseFiniteNumber(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), v))
            return false;
        values.push_back(v);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (values.size() != 7)
        return false;
    const Quaternion q{values[3], values[4], values[5], values[6]};
    if (q.x == 0.0f && q.y == 0.0f && q.z == 0.0f && q.w == 0.0f)
        return false;
    position = {values[0], values[1], values[2]};
    orientation = normalize(q);
    return true;
}

bool parseSize(const std::string& text, int& width, int& height, int minimum, int maximum)
{
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    int w = 0, h = 0;
    if (!parseWholeNumber(text.substr(0, x), w, minimum, maximum) ||
        !parseWholeNumber(text.substr(x + 1), h, minimum, maximum))
        return false;
    width = w;
    height = h;
    return true;
}

}  // namespace Orvanta
