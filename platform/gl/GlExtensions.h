#pragma once
// OpenGL types, enums and the process-wide entry-point pointers. Engine code includes this header
// instead of <GL/gl.h> directly: inside namespace Orvanta an unqualified call such as
// glBindBufferARB(...) goes through the pointer resolved by loadExtensions(). Functions of
// OpenGL 1.1 (glTexImage2D, glDrawElements, ...) are called directly from the GL library.
#include <GL/gl.h>
#include <GL/glext.h>

#include <string>
#include <vector>

namespace Orvanta {

using WglEntryPoint = void (*)();

#define ORVANTA_GL_ENTRY(type, name) extern type name;
#define ORVANTA_WGL_ENTRY(name) extern WglEntryPoint name;
#include "platform/gl/GlEntryPoints.inl"
#undef ORVANTA_GL_ENTRY
#undef ORVANTA_WGL_ENTRY

// Resolves every entry point through the platform's get-proc-address. Must run while a context is
// current; calling it again resolves the same names to the same pointers. Writes one message
// naming the entry points that did not resolve (the Windows-only ones are named as such).
void loadExtensions();

// Names of GL entry points that are null after loadExtensions() (Windows-only ones excluded).
std::vector<std::string> unresolvedEntryPoints();
// Names of the entry points that exist only on Windows and so never resolve here.
std::vector<std::string> windowsOnlyEntryPoints();
// Number of entries in the table (GL and Windows-only).
int entryPointCount();
// Current value of the pointer for a name (null when unresolved or not in the table).
void* entryPointValue(const std::string& name);

}  // namespace Orvanta
