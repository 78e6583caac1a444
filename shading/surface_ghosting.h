// Which controls of a surface panel are ghosted (shown disabled), depending
// on the other settings.
#pragma once

namespace orvik {

struct SurfaceInstance;
struct Control;

// Applies the ghosting rules in their order. An art image the host no longer
// knows is cleared first. A control is redrawn only when its state changes.
void applySurfaceGhosting(SurfaceInstance* inst);

// Whether the change of this control can change the ghosting (every numeric
// and choice setting, DO_ART, ACTIVATEDARKEN, ART_IMNAME).
bool affectsSurfaceGhosting(const Control* c);

}  // namespace orvik
