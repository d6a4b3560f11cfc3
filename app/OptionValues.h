#pragma once
#include "scene/Math.h"

#include <string>

namespace Orvanta {

// Values of command-line options, shared by the demo and the tools. Each is false for text that
// is not exactly one such value (nothing may follow it).

// A finite number.
bool parseFiniteNumber(const std::string& text, float& value);
// A whole number within minimum .. maximum.
bool parseWholeNumber(const std::string& text, int& value, int minimum, int maximum);
// "x,y,z,qx,qy,qz,qw": seven finite numbers, the quaternion not zero; it comes back normalised.
bool parseCameraPose(const std::string& text, Float3& position, Quaternion& orientation);
// "WxH" (or "WXH"): two whole numbers within minimum .. maximum.
bool parseSize(const std::string& text, int& width, int& height, int minimum, int maximum);

}  // namespace Orvanta
