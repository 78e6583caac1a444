// The master's light groups and their paired object groups: setting members
// from the host's selection, the object-group clipboard, and what follows a
// change of members or notes.
#pragma once

namespace orvik {

struct MasterInstance;

inline constexpr const char* kPickLightsLine1 = "Pick the lights you want to form a group with";
inline constexpr const char* kPickObjectsLine1 = "Pick the object(s) you want to form a group with";
inline constexpr const char* kPickLine2 = "in the Layout window before you use \"Set\".";

// The light group on the current LGTAB page and the object group on the
// current page of that group's OGT<i>.
int shownLightGroup(const MasterInstance* m);
int shownObjectGroup(const MasterInstance* m);

// "Set" of light group i: the lights of the host's selection become its members.
void setLightGroup(MasterInstance* m, int lightGroup);
// "Set" of the object group shown: the objects of the host's selection.
void setObjectGroup(MasterInstance* m);
// "C" and "P": the shown object group's members and notes to and from the clipboard.
void copyObjectGroup(MasterInstance* m);
void pasteObjectGroup(MasterInstance* m);

// Rules and indicators again, then every preview window's group masks.
void groupMembersChanged(MasterInstance* m);
// Preview filter labels and every surface's light-group boost labels.
void groupNotesChanged(MasterInstance* m);

// Relabels the surfaces' light-group boosts from m's notes (or as without a master when m is null).
void relabelSurfaceGroupBoosts(const MasterInstance* m);

}  // namespace orvik
