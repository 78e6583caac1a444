// Connects the toolkit and the settings layer to the host: fills the
// toolkit's host table from the acquired host services, so that panels can
// name, save and find scene items, find and load images, ask questions and
// pick files and colours.
#pragma once

namespace orvik {

// Fills the toolkit's host table from hostServices(). Called after every
// successful acquisition; harmless when repeated.
void installToolkitHost();

}  // namespace orvik
