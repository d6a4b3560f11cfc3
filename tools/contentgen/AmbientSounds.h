#pragma once
#include <string>

namespace Orvanta {

// Synthesises and encodes ambience.ogg (wind and a distant town), birds.ogg (a group of birds)
// and singleBird.ogg (one bird's call) into <audioRoot>/: 44.1 kHz mono seamless loops.
bool writeAmbientSounds(const std::string& audioRoot, std::string& error);

}  // namespace Orvanta
