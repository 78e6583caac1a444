// Building the master panel: every control of the master in creation order
// (which is also the order of the saved settings), with its label, page,
// default, limits, display form, drag step, slider span, place and action.
#pragma once

namespace orvik {

struct MasterInstance;
struct Panel;

// Page numbers of the master's page selector TAB.
enum MasterPage : int {
    kPageSurfaceBoosts = 0,
    kPageImageProcess,
    kPageGamutControl,
    kPageFilmGrain,
    kPageMasterLighting,
    kPageLightGroups,
    kPageQuality,
    kPagePreviews,
    kMasterPageCount
};

// State of a check button that is on.
constexpr int kCheckOn = 3;

// Creates the panel and all its controls into m. False when any creation
// failed; what was built is left in m for the caller to destroy.
bool buildMasterPanel(MasterInstance* m);

// The master that owns a control of the master panel, or null.
MasterInstance* masterOfControl(const void* control);

}  // namespace orvik
