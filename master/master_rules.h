// The master panel's behaviour that is not about groups: the dependent-control
// rules (ghosting and indicator rows), the roll-off graph, the three resets,
// the refresh after master changes, freeing previews, the panel's change
// callback and "Open Surface".
#pragma once

namespace orvik {

struct MasterInstance;
struct Panel;

// Ghosts and hides controls that depend on others; each control is redrawn
// only when its ghost flag or position actually changes.
void applyDependentRules(MasterInstance* m);

// Recomputes the 75 points of GAMGR from DOCLIP, CLIPX0 and CLIPEXP and redraws it.
void updateGamutGraph(MasterInstance* m);

// The "Reset" buttons of the Surface Boosts, Image Process and Gamut Control pages.
void resetSurfaceBoosts(MasterInstance* m);
void resetImageProcessing(MasterInstance* m);
void resetGamutControl(MasterInstance* m);  // DOCLIP keeps its state

// After a reset or a change of LIGHTMIN: stores re-read their lights, previews
// re-shade, pixel-information windows redraw, comparisons are recomputed.
void masterChangeRefresh(MasterInstance* m);

// "Free Previews": close every pixel-information and preview window, wait
// 25 ms, free them and every stored frame, update the texts and the rules.
void freeAllPreviews(MasterInstance* m);

// The panel's change callback, run after any control of the master panel changed.
void masterPanelChanged(Panel* panel);

// "Open Surface".
void openNextSurface(MasterInstance* m);

// Offset by which a hidden indicator is moved above its place.
constexpr int kHiddenOffset = 800;

}  // namespace orvik
