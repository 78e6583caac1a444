// The built-in demo scene (scenes/demo.orvs, compiled into the host) and
// the demo command that loads it, creates the module's instances and renders.
#pragma once

#include <string>

#include "host/scene_file.h"

namespace orvik::host {

// The text of the built-in demo scene.
const std::string& demoSceneText();

// The demo scene, read from that text.
SceneReadResult demoScene();

// The scenes the demo renders, all made from the one scene text.
enum class DemoVariant {
  Looks,     // the scene as written: one object per look, the master's groups
  Graded,    // the same with the fill group boosted, gamut roll-off and film grain on
  Defaults,  // every Orvik instance at its default settings (plain Orvik shading)
  Plain,     // no Orvik at all: the host's own shading, for comparison
};

// The file stem of a variant's image: "demo", "demo-graded", "demo-defaults",
// "demo-plain".
const char* demoVariantStem(DemoVariant variant);

// Turns the demo scene into a variant. Graded adds the grading records at the
// end of the Orvik master's settings block (a later record of a key wins over
// an earlier one); Defaults empties every settings block of the Orvik servers,
// so each instance is created with its defaults; Plain removes every Orvik
// shader and scene-wide instance. Returns false with `error`
// set when the scene has no Orvik master to grade.
bool applyDemoVariant(Scene& scene, DemoVariant variant, std::string& error);

// Where an image file named in the built-in scene is found: the name itself
// when it is absolute or exists from the current folder, else in `scenes/`
// under the current folder, else in the `scenes/` folder of the source tree
// found upwards from `executableDir`. Returns the name unchanged when none
// exists (the scene load then names the missing file).
std::string findDemoImage(const std::string& fileName, const std::string& executableDir);

}  // namespace orvik::host
