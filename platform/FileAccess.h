#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace Orvanta {

// The largest file a loader reads whole. Far above any scene, tree or texture the engine uses,
// it keeps a mistyped path (a disk image, a log) from taking all memory.
inline constexpr size_t kMaxReadFileBytes = size_t(1) << 30;

// What a path names, without following it further than stat does.
enum class PathKind {
    Missing,
    RegularFile,
    Directory,
    Other,  // a device, a FIFO, a socket
};
PathKind pathKind(const std::string& path);

// Reads a whole regular file into bytes. Fails, with `problem` saying why (without the path, so
// the caller names the file once), for a path that cannot be opened, a directory, a device, a
// FIFO or a socket (never blocking on one), a file larger than maxBytes, or a file that shrinks
// while it is read. At most the size the file had when it was opened is read.
bool readRegularFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& problem,
                     size_t maxBytes = kMaxReadFileBytes);

// Opens a regular file for reading as a stream, with the checks readRegularFile makes (never a
// directory, device, FIFO or socket, never blocking on one, at most maxBytes), for readers that
// stream a file instead of reading it whole. Null with `problem` saying why (without the path);
// the caller closes the file.
FILE* openRegularFile(const std::string& path, std::string& problem, size_t maxBytes = kMaxReadFileBytes);

// Writes bytes to a temporary file beside path ("<path>.tmp<pid>-<n>"), flushes it to the disk,
// renames it over path and flushes the directory, so that whatever stops the program at any moment
// leaves either the old file or the complete new one. Temporaries left by earlier writers that no
// longer run are removed first. False with a message naming the path when any step fails (the
// temporary is then removed).
bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error);

// Why a file could not be written at path, for checking a tool's output names before any work:
// empty when it can be tried (its folder exists, and it is a regular file or nothing yet), else
// the problem without the path: no name, a folder, a device or pipe (which the atomic writer's
// rename would replace), or a folder that does not exist.
std::string outputPathProblem(const std::string& path);

// Removes the temporaries of path that writeFileAtomically left behind in processes that were
// killed mid-write (their process no longer exists). Returns how many were removed.
int removeStaleTemporaries(const std::string& path);

// True when a path has a ".." component (separated by '/' or '\\').
bool hasParentStep(const std::string& path);

// Content roots: the folders a path read from a resource file may reach with "..". The engine's
// "resources/" folder (under the working directory) is always one; loading a scene adds the
// scene's folder, so that an imported scene kept elsewhere reaches its own materials and
// textures through "resources/materials/../../..".
void addContentRoot(const std::string& directory);
// False for a path with a ".." step that, resolved against the working directory, leaves every
// content root (for instance "resources/textures/../../../etc/passwd"). Paths without ".." are
// used as they stand.
bool staysInContentRoots(const std::string& path);

}  // namespace Orvanta
