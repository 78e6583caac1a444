// Import of geometry and whole scenes from files other than the host's own
// scene format: meshes through Assimp (object files, OBJ, glTF, PLY, ...),
// the surface chunks of object files and the host's scene files (.lws) by our
// own readers, and a default camera and lights for files that bring none.
#pragma once

#include <string>
#include <vector>

#include "host/scene.h"
#include "host/scene_file.h"

namespace orvik::host {

struct ImportedMesh {
  Mesh mesh;                      // in the host's left-handed space
  std::vector<Surface> surfaces;  // Triangle::surface indexes these
};

// Loads the geometry of a mesh file, flattened into one mesh in the file's
// object space and converted to the host's left-handed axes. For object
// files (.lwo) the surfaces come from their own chunks; for other formats
// from the materials. Returns "" or a message that names the file.
std::string importMeshFile(const std::string& path, ImportedMesh& out);

// Reads any scene or mesh file by its extension: ".orvs" through the host's
// scene format, ".lws" through the scene-file reader, anything else as one
// object. A scene without a camera or without lights gets the default rig.
SceneReadResult importSceneFile(const std::string& path);

// Adds a camera framing the scene's objects when there is none, and a key
// light and a fill light when there are no lights. Returns what it added, as
// a short sentence for the user (empty when nothing was added).
std::string addDefaultRig(Scene& scene);

// Bounding box of all objects' geometry in world space at a time; false when
// the scene has no geometry.
bool sceneBounds(const Scene& scene, double time, Vec3& lo, Vec3& hi);

}  // namespace orvik::host
