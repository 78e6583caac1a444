// `orvik resave`: a scene read, its plug-in settings loaded into the module's
// instances and written again through the module's save callbacks.
#pragma once

#include <string>
#include <vector>

#include "host/scene.h"

namespace orvik::host {

// Says why `path` cannot be written as an output file ("" when it can):
// its folder is missing or not writable, it names a folder, or it exists
// and is read-only. Checked before any work starts; nothing is created.
std::string outputFileProblem(const std::string& path);

// Makes the relative mesh and image file names of a scene read from
// `fromDir` name the same files when the scene is written into `toDir`.
void rebaseSceneFiles(Scene& scene, const std::string& fromDir, const std::string& toDir);
// The same between the folders of two scene files; an empty `fromFile` is a scene
// that came from no file, whose names are relative to the current folder.
void rebaseSceneFilesBetween(Scene& scene, const std::string& fromFile, const std::string& toFile);

// Writes `text` to `path` through a temporary file beside it that replaces
// the target only once it is complete, so a failed write never leaves a
// half-written scene (nor destroys the input when both are the same file).
// Returns "" or the error.
std::string writeFileWhole(const std::string& path, const std::string& text);

// orvik resave IN OUT [host options]; returns the exit status.
int runResaveCommand(const std::vector<std::string>& args);

}  // namespace orvik::host
