#pragma once
#include <cstdint>

namespace Orvanta {

// The sRGB transfer curve (IEC 61966-2-1): a straight segment near black, a 2.4 power above it.
// GL_SRGB8 textures decode with it when sampled, so CPU code that must see the colours a shader
// sees uses these, not a plain 2.2 power.

// Encoded 0..1 to linear 0..1.
float srgbToLinear(float encoded);
// Linear to encoded, the input clamped to 0..1 first.
float linearToSrgb(float linear);

// The same for 8-bit channels: the byte / 255 decoded, and the nearest byte of the encoding.
float srgbByteToLinear(uint8_t value);
uint8_t linearToSrgbByte(float linear);

}  // namespace Orvanta
