#pragma once
#include <cstdint>

namespace Orvanta {

// 16-bit ray inputs are widened by moving the bit fields (sign to bit 31, exponent + 112, mantissa
// to the top of the 23 mantissa bits); zero, subnormal, infinite and NaN halves get no special
// treatment, so a zero half widens to 2^-15. This matches how the inputs are produced and costs a
// few integer operations per lane.
float widenHalf(uint16_t half);
void widenHalf4(const uint16_t in[4], float out[4]);

// IEEE 754 half precision with round-to-nearest-even; subnormal results are kept, magnitudes
// beyond the half range become infinity and NaN stays NaN.
uint16_t narrowToHalf(float value);

}  // namespace Orvanta
