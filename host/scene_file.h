// The host's own text scene format (".orvs"); docs/scene-format.md describes it.
//
// Reading is all or nothing: a scene is handed back only when the whole text
// (and, for loadSceneFile, every mesh it names) was read without error. The
// error names the place as "file:line: what is wrong".
#pragma once

#include <string>

#include "host/scene.h"

namespace orvik::host {

constexpr const char* kSceneFileMagic = "OrvikScene";
constexpr int kSceneFileVersion = 1;

struct SceneReadResult {
  bool ok = false;
  Scene scene;        // valid only when ok
  std::string error;  // "file:line: what is wrong" when !ok
};

// Parses scene text. fileName is used in messages and as the scene's name;
// mesh files are only named, not loaded (Object::mesh stays empty).
SceneReadResult parseSceneText(const std::string& text, const std::string& fileName);

// Reads a scene file and loads the meshes it names, relative to the scene's
// folder. A mesh that cannot be read fails the whole load with its name.
SceneReadResult loadSceneFile(const std::string& path);

// Writes a scene in the same format; parseSceneText of the result gives the
// same scene (meshes are written by file name, not inline).
std::string writeSceneText(const Scene& scene);

// Loads the meshes of every object that names a file and has no geometry yet,
// resolving relative names against baseDir. Returns "" or the error text.
std::string loadSceneMeshes(Scene& scene, const std::string& baseDir);

}  // namespace orvik::host
