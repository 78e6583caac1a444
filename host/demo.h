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

}  // namespace orvik::host
