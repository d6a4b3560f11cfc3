#pragma once
// The output folder of an import: where the engine finds it from its own folder, whether it may
// be written, and writing it so that it appears whole or not at all.
#include "SceneAssembly.h"

#include <string>

namespace Orvanta {

// The file that marks a folder as an import's output (it holds the import's summary); only such
// a folder, or an empty one, is ever replaced.
inline constexpr const char* kImportMarkerFile = "import.txt";
inline constexpr const char* kImportMarkerStart = "orvanta-import";

// The prefix that leads from the engine's "resources/materials/" and "resources/textures/"
// folders (under engineRoot, the folder the engine runs in) to outputDir, ending in '/'. False
// with a message when engineRoot has no such folders.
bool resourcePrefixFor(const std::string& outputDir, const std::string& engineRoot, std::string& prefix,
                       std::string& error);

// True when outputDir does not exist, is an empty folder, or holds an earlier import. Anything
// else (a file, a folder with other content) gives false with a message: it is never replaced.
bool outputFolderReplaceable(const std::string& outputDir, std::string& error);

// Writes the files into a new folder beside outputDir and renames it into place once every file
// is complete, replacing an earlier import there (whose kd-tree file keptFile, if any, moves
// into the new folder: its tag decides whether it still fits). Every path must stay inside the
// folder: an absolute one or one with a ".." part is refused. On failure nothing is left behind
// and an earlier import stays as it was.
bool writeImportFolder(const std::string& outputDir, const ImportFiles& files, const std::string& keptFile,
                       std::string& error);

}  // namespace Orvanta
