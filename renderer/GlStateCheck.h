#pragma once
#include <string>

namespace Orvanta {

// The GL state every pass must leave behind: depth test on with GL_LEQUAL, depth writes on,
// blending off, back-face culling on, colour writes on. Returns a description of each
// difference ("depth test is off", ...), empty when the state holds.
std::string conventionStateDifferences();

// With GL checking on: logs "<pass> left the GL state changed: ..." when the state does not
// hold and returns false. Without checking it returns true and queries nothing.
bool checkConventionState(const char* pass);
// Number of violations reported since start (tests assert on it).
int conventionViolationTotal();

}  // namespace Orvanta
