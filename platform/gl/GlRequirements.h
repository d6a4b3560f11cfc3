#pragma once
// What the engine needs from an OpenGL context, checked once at start-up so that a driver that
// lacks something fails with one message naming it instead of drawing nothing or crashing later.
#include <string>
#include <vector>

namespace Orvanta {

// The lowest OpenGL version the engine draws with: framebuffer blits, float and RG render
// targets, float depth, sRGB framebuffers and half-float pixels are core from 3.0.
inline constexpr int kRequiredGlMajor = 3;
inline constexpr int kRequiredGlMinor = 0;

// The extensions whose ARB and EXT entry points and enums the engine calls by those names (the
// core versions of these functions have other names, so the version alone does not promise them).
const std::vector<std::string>& requiredGlExtensions();

// Whether a space-separated extension list holds `name` as a whole word.
bool extensionListHas(const char* list, const char* name);
// Whether the current context offers the extension.
bool hasGlExtension(const char* name);

// What a context of this GL_VERSION and GL_EXTENSIONS string lacks, as one phrase ("OpenGL 3.0
// (this context is 2.1), GL_EXT_texture3D"); empty when it has everything.
std::string missingGlRequirements(const char* version, const char* extensions);
// The same for the current context, with its renderer named, ready to print; empty when it has
// everything.
std::string currentContextShortfall();

}  // namespace Orvanta
