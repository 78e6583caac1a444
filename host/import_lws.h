// Reader of the host's own scene files (".lws"): frame range and rate,
// objects (their motion and parents, geometry loaded from the object files
// they name), lights with every field the shading reads, cameras with their
// zoom, backdrop, ambient light, ray-tracing options and the scene-wide
// plug-in blocks. Lines it does not need are skipped.
#pragma once

#include <string>

#include "host/scene_file.h"

namespace orvik::host {

// Parses scene text; object files are named, not loaded.
SceneReadResult parseLwsText(const std::string& text, const std::string& fileName);

// Reads a scene file and loads the object files it names. Object paths are
// tried relative to the scene's folder and to the folders above it (scene
// files usually sit in a "Scenes" folder of the content directory).
SceneReadResult loadLwsScene(const std::string& path);

}  // namespace orvik::host
