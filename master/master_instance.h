// The one scene-wide master: a plain record whose fields, after the panel,
// are the handles of the master panel's controls (which hold the settings
// themselves), four state words and the alive marker.
#pragma once

#include <atomic>
#include <cstdint>

#include "master/group_factors.h"
#include "panels/control.h"

namespace orvik {

struct Panel;
struct NumericControl;
struct ButtonControl;
struct ColorControl;
struct StringControl;
struct ImageControl;
struct BitmapControl;
struct ItemListControl;
struct PageSelector;
struct LabelControl;
struct GraphControl;

constexpr std::uint32_t kMasterAliveMark = 0x12344321u;  // the module's alive mark
constexpr std::uint32_t kMasterPanelId = 0x36ed8152u;

// Values of previewPlayState.
enum PreviewPlayState : std::int32_t { kPreviewIdle = 0, kPreviewRunning = 1, kPreviewRunRequested = 2 };

struct MasterInstance;

// Read access to the groups of a master, straight from its controls.
class MasterGroupSource final : public GroupSource {
public:
    explicit MasterGroupSource(const MasterInstance* m) : master_(m) {}
    GroupItems lights(int lightGroup) const override;
    double lightBoost(int lightGroup) const override;
    GroupItems objects(int lightGroup, int objectGroup) const override;
    double objectBoost(int lightGroup, int objectGroup) const override;
    double objectShadow(int lightGroup, int objectGroup) const override;

    // applyGroupFactors on this master's groups, with the reads inlined.
    void applyFactors(std::uint32_t mask, const void* object, double& intensity, double& shadowOpacity) const;

private:
    const MasterInstance* master_;
};

struct MasterInstance {
    // The master panel; first, so that the settings callbacks find it without knowing the kind.
    Panel* panel = nullptr;

    BitmapControl* logo = nullptr;                // LOGO
    PageSelector* tab = nullptr;                  // TAB
    ButtonControl* pin = nullptr;                 // PIN
    ButtonControl* openShader = nullptr;          // OPENSHADER
    ButtonControl* freePreview = nullptr;         // FREEPREVIEW
    ButtonControl* refreshPreview = nullptr;      // RefreshPreview
    ButtonControl* newPreview = nullptr;          // NewPreview

    NumericControl* lightBoost = nullptr;         // LIGHTBOOST
    NumericControl* lightMin = nullptr;           // LIGHTMIN
    ColorControl* ambTop = nullptr;               // AMBTOP
    ColorControl* ambMid = nullptr;               // AMBMID
    ColorControl* ambBot = nullptr;               // AMBBOT
    ButtonControl* goodShadows = nullptr;         // GOODSHADOWS
    ButtonControl* areaFilter = nullptr;          // AREAFILTER
    NumericControl* radConst = nullptr;           // RADCONST
    NumericControl* areaShadeQ = nullptr;         // AREASHADEQ
    NumericControl* areaShadowQ = nullptr;        // AREASHADOWEQ
    NumericControl* reflectionQ = nullptr;        // REFLECTIONQ

    // Light groups and their object groups.
    LabelControl* lgt = nullptr;                                          // LGT
    PageSelector* lgTab = nullptr;                                        // LGTAB
    ButtonControl* lightIndicator[kLightGroupCount] = {};                 // LB<i>
    ButtonControl* lightSet[kLightGroupCount] = {};                       // LGD<i>
    ItemListControl* lightItems[kLightGroupCount] = {};                   // LGI<i>
    StringControl* lightNotes[kLightGroupCount] = {};                     // LGS<i>
    NumericControl* lightGroupBoost[kLightGroupCount] = {};               // LGB<i>
    LabelControl* ogt = nullptr;                                          // OGT
    PageSelector* objectTab[kLightGroupCount] = {};                       // OGT<i>
    ButtonControl* objectIndicator[kObjectGroupCount] = {};               // OB0..OB7
    ItemListControl* objectItems[kLightGroupCount][kObjectGroupCount] = {};   // OG<i>-<j>
    StringControl* objectNotes[kLightGroupCount][kObjectGroupCount] = {};     // OL<i>-<j>
    NumericControl* objectBoost[kLightGroupCount][kObjectGroupCount] = {};    // OB<i>-<j>
    NumericControl* objectShadow[kLightGroupCount][kObjectGroupCount] = {};   // OS<i>-<j>
    ButtonControl* obSet = nullptr;                                       // ObSet
    ButtonControl* obCopy = nullptr;                                      // ObCopy
    ButtonControl* obPaste = nullptr;                                     // ObPaste

    // Global surface boosts.
    NumericControl* diffuse = nullptr;            // DIFFUSE
    NumericControl* specular = nullptr;           // SPECULAR
    NumericControl* gloss = nullptr;              // GLOSS
    NumericControl* ambient = nullptr;            // AMBIENT
    NumericControl* radiosity = nullptr;          // RADIOSITY
    NumericControl* reflection = nullptr;         // REFLECTION
    NumericControl* transparency = nullptr;       // TRANSPARENCY
    NumericControl* luminous = nullptr;           // LUMINOUS
    NumericControl* shadows = nullptr;            // SHADOWS
    NumericControl* exclusion = nullptr;          // EXCLUSION
    NumericControl* bump = nullptr;               // BUMP
    ButtonControl* resetBoost = nullptr;          // RESETBOOST

    // Image processing and gamut control.
    NumericControl* wGamma = nullptr;             // WGAMMA
    NumericControl* rGamma = nullptr;             // RGAMMA
    NumericControl* gGamma = nullptr;             // GGAMMA
    NumericControl* bGamma = nullptr;             // BGAMMA
    NumericControl* wBright = nullptr;            // WBRIGHT
    NumericControl* rBright = nullptr;            // RBRIGHT
    NumericControl* gBright = nullptr;            // GBRIGHT
    NumericControl* bBright = nullptr;            // BBRIGHT
    NumericControl* desat = nullptr;              // DESAT
    NumericControl* satClip = nullptr;            // SATCLIP
    NumericControl* satFalloff = nullptr;         // SATFALLOFF
    ButtonControl* resetImage = nullptr;          // RESETIMAGE
    ButtonControl* doClip = nullptr;              // DOCLIP
    NumericControl* clipHue = nullptr;            // CLIPHUE
    NumericControl* clipX0 = nullptr;             // CLIPX0
    NumericControl* clipExp = nullptr;            // CLIPEXP
    ButtonControl* resetGamut = nullptr;          // RESETGAMUT
    GraphControl* gamutGraph = nullptr;           // GAMGR

    // Film grain.
    ButtonControl* grain = nullptr;               // GRAIN
    NumericControl* grainScale = nullptr;         // GRAINSCALE
    NumericControl* rConst = nullptr;             // R_CONST
    NumericControl* rProp = nullptr;              // R_PROP
    NumericControl* gConst = nullptr;             // G_CONST
    NumericControl* gProp = nullptr;              // G_PROP
    NumericControl* bConst = nullptr;             // B_CONST
    NumericControl* bProp = nullptr;              // B_PROP
    NumericControl* wConst = nullptr;             // W_CONST
    NumericControl* wProp = nullptr;              // W_PROP
    ButtonControl* grainClip = nullptr;           // GRAINCLIP
    NumericControl* grainClipLevel = nullptr;     // GRAIN_CLIP_LEV
    NumericControl* grainClipSoft = nullptr;      // GRAIN_CLIP_SOFT
    ButtonControl* grainAnimated = nullptr;       // GRAIN_AN
    ButtonControl* grainRelative = nullptr;       // GRAINREL

    // Previews and the hidden object-group clipboard.
    LabelControl* ramText = nullptr;              // RAMTEXT
    LabelControl* compText = nullptr;             // COMPTEXT
    ImageControl* compImage = nullptr;            // COMPIMNAME
    ButtonControl* autoFree = nullptr;            // AUTOFREE
    ItemListControl* clipItems = nullptr;         // CPItm
    StringControl* clipNotes = nullptr;           // CPStr

    // State words; render threads raise sourceLightSeen, so all four are atomic.
    std::atomic<std::int32_t> sourceLightSeen{0};
    std::atomic<std::int32_t> previewPlayState{kPreviewIdle};
    std::atomic<std::int32_t> autoConfirmActive{0};
    std::atomic<std::int32_t> previewRenderActive{0};

    std::atomic<std::uint32_t> marker{0};

    // Not part of the record proper: the read view of the groups and the
    // control whose value changed last (for the panel's change callback).
    MasterGroupSource groups{this};
    std::atomic<Control*> lastChanged{nullptr};
};

// The active master, or null. Readers test for null and use neutral values.
MasterInstance* currentMaster();
// True when m is a live master record.
bool masterAlive(const MasterInstance* m);

// Messages of create.
inline constexpr const char* kSecondMasterMessage = "There's no need to use multiple Orvik master panels.";
inline constexpr const char* kMasterAllocMessage = "Can't allocate Orvik Master RAM";
inline constexpr const char* kMasterDescription = "Orvik Lighting and Shading System";
inline constexpr const char* kMasterPanelTitle = "Orvik Lighting System    Master Control";

// Creates the master with every control at its default. Returns null with
// *error set to a message (or to null when building a control failed).
MasterInstance* createMaster(const char** error);
// Frees previews and stores (through the preview hooks), the panel and the record.
void destroyMaster(MasterInstance* m);
// Copies every control value; returns "Copy Failed" when the panels differ.
const char* copyMaster(MasterInstance* to, const MasterInstance* from);
// Applies the host's (old, new) ID pairs to the master and the previews.
void changeMasterItemIds(MasterInstance* m, const ItemIdPair* pairs);

}  // namespace orvik
