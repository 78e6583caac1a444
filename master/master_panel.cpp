#include "master/master_panel.h"

#include <cstdio>
#include <new>

#include "master/light_groups.h"
#include "master/master_hooks.h"
#include "master/master_instance.h"
#include "master/master_rules.h"
#include "panels/bitmap_control.h"
#include "panels/bounded_text.h"
#include "panels/button_control.h"
#include "panels/color_control.h"
#include "panels/graph_control.h"
#include "panels/image_control.h"
#include "panels/item_list_control.h"
#include "panels/label_control.h"
#include "panels/numeric_control.h"
#include "panels/page_selector.h"
#include "panels/panel.h"
#include "panels/string_control.h"

namespace orvik {

namespace {

constexpr double kPanelSettingsVersion = 1.5;
constexpr const char* kBlockName = "Orvik";

constexpr const char* kPageTitles[kMasterPageCount] = {
    "Surface Boosts", "Image Process", "Gamut Control", "Film Grain",
    "Master Lighting", "Light Groups", "Quality", "Previews"};

// Drag steps relative to the toolkit's default step.
constexpr double kDragPercent = 0.1;
constexpr double kDragGamma = 0.01;
constexpr double kDragGrainScale = 0.02;
constexpr double kDragProportional = 0.02;
constexpr double kDragVariation = 0.001;
constexpr double kDragGrainClipLevel = 0.005;
constexpr double kDragGrainClipSoft = 0.0025;
constexpr double kGrainSliderHigh = 0.05;

// Precisions: percent shows max(1, precision - 2) decimals, fixed shows precision.
constexpr int kPercentOneDecimal = 3;
constexpr int kPercentTwoDecimals = 4;
constexpr int kFixedThreeDecimals = 3;
constexpr int kFixedFiveDecimals = 5;

// Automatic placement of numeric controls: one column per page.
constexpr int kAutoX = 130;
constexpr int kAutoTop = 30;
constexpr int kAutoStep = 21;

// Indicator rows of the light-group page.
constexpr int kIndicatorX = 188;
constexpr int kIndicatorStep = 19;
constexpr int kLightIndicatorY = 2;
constexpr int kObjectIndicatorY = 81;
constexpr int kIndicatorWidth = 20;
constexpr int kIndicatorHeight = 5;

constexpr int kLightGroupCapacity = 256;
constexpr int kObjectGroupCapacity = 255;
constexpr int kClipboardCapacity = 256;
constexpr int kEveryItemKind = 0xF;
constexpr int kCheckCaptionGap = 24;
constexpr int kClipItemsY = 4275;
constexpr int kClipNotesY = 3265;

struct Limits {
    bool hasLow = false;
    double low = 0.0;
    bool hasHigh = false;
    double high = 0.0;
};
constexpr Limits kNoLimits{};
constexpr Limits lowLimit(double v) { return {true, v, false, 0.0}; }
constexpr Limits range(double lo, double hi) { return {true, lo, true, hi}; }

// --- Control actions ---------------------------------------------------------

MasterInstance* ownerOf(Control* c) { return masterOfControl(c); }

void noteChange(Control* c) {
    if (MasterInstance* m = ownerOf(c)) m->lastChanged.store(c, std::memory_order_relaxed);
}

void onRules(Control* c) {
    noteChange(c);
    if (MasterInstance* m = ownerOf(c)) applyDependentRules(m);
}
void onGamutCurve(Control* c) {
    noteChange(c);
    if (MasterInstance* m = ownerOf(c)) updateGamutGraph(m);
}
void onOpenShader(Control* c) {
    if (MasterInstance* m = ownerOf(c)) openNextSurface(m);
}
void onResetBoost(Control* c) {
    if (MasterInstance* m = ownerOf(c)) resetSurfaceBoosts(m);
}
void onResetImage(Control* c) {
    if (MasterInstance* m = ownerOf(c)) resetImageProcessing(m);
}
void onResetGamut(Control* c) {
    if (MasterInstance* m = ownerOf(c)) resetGamutControl(m);
}
void onFreePreview(Control* c) {
    if (MasterInstance* m = ownerOf(c)) freeAllPreviews(m);
}
void onNewPreview(Control*) {
    if (masterHooks().newPreview) masterHooks().newPreview();
}
void onRefreshPreview(Control*) {
    if (masterHooks().refreshPreviews) masterHooks().refreshPreviews();
}
void onCompareImage(Control* c) {
    noteChange(c);
    if (masterHooks().updateComparisons) masterHooks().updateComparisons();
}
void onLightSet(Control* c) {
    MasterInstance* m = ownerOf(c);
    if (!m) return;
    for (int i = 0; i < kLightGroupCount; ++i)
        if (c == m->lightSet[i]) setLightGroup(m, i);
}
void onObjectSet(Control* c) {
    if (MasterInstance* m = ownerOf(c)) setObjectGroup(m);
}
void onObjectCopy(Control* c) {
    if (MasterInstance* m = ownerOf(c)) copyObjectGroup(m);
}
void onObjectPaste(Control* c) {
    if (MasterInstance* m = ownerOf(c)) pasteObjectGroup(m);
}
void onMembers(Control* c) {
    noteChange(c);
    if (MasterInstance* m = ownerOf(c)) groupMembersChanged(m);
}
void onNotes(Control* c) {
    noteChange(c);
    if (MasterInstance* m = ownerOf(c)) groupNotesChanged(m);
}

// --- Builder -----------------------------------------------------------------

class Builder {
public:
    explicit Builder(MasterInstance* m) : m_(m) {}

    bool ok() const { return ok_; }
    Control* anchor() const { return m_->panel; }

    template <class T>
    T* check(T* c) {
        if (!c) ok_ = false;
        return c;
    }

    void openPage(PageSelector* tabs, const char* title) {
        if (!ok_ || !tabs) return;
        if (!OpenPage(tabs, title)) ok_ = false;
        autoY_ = kAutoTop;
    }
    void closePage(PageSelector* tabs) {
        if (ok_ && tabs) ClosePage(tabs);
    }

    NumericControl* percent(const char* key, const char* label, double value, Limits limits,
                            int precision = kPercentOneDecimal, double dragScale = kDragPercent) {
        NumericControl* c = autoNumeric(key);
        if (!c) return nullptr;
        setNumeric(c, label, value, limits, dragScale);
        c->displayMode = kDisplayPercent;
        c->precision = precision;
        return c;
    }

    // A numeric control switched to plain display.
    NumericControl* number(const char* key, const char* label, double value, Limits limits, double dragScale,
                           int precision = kFixedThreeDecimals) {
        NumericControl* c = autoNumeric(key);
        if (!c) return nullptr;
        setNumeric(c, label, value, limits, dragScale);
        c->displayMode = kDisplayFixed;
        c->precision = precision;
        return c;
    }

    NumericControl* placed(const char* key, const char* label, double value, Limits limits, int x, int y,
                           int precision) {
        NumericControl* c = check(AddPlacedNumericControl(key, x, y, anchor()));
        if (!c) return nullptr;
        setNumeric(c, label, value, limits, 1.0);
        c->displayMode = kDisplayFixed;
        c->precision = precision;
        return c;
    }

    ButtonControl* button(const char* key, const char* caption, int x, int y, int width, ControlHook action) {
        ButtonControl* c = check(AddButtonControl(key, x, y, anchor()));
        if (!c) return nullptr;
        CopyText(c->caption, caption);
        if (width > 0) c->width = width;
        c->clickHook = action;
        return c;
    }

    // A check button carries its text in a caption beside it, so that the
    // toggle flips the highlighted and checked bits together (on is 3, off 0).
    ButtonControl* checkButton(const char* key, const char* text, int x, int y, int width, bool on,
                               ControlHook action) {
        ButtonControl* c = check(AddCheckButton(key, x, y, anchor()));
        if (!c) return nullptr;
        c->state = on ? kCheckOn : 0;
        c->valueHook = action ? action : noteChange;
        if (text && text[0]) {
            auto* label = new (std::nothrow) LabelControl;
            if (!label) {
                ok_ = false;
                return c;
            }
            char subKey[ControlKey::kMaxChars + 1];
            FormatText(subKey, sizeof subKey, "%s_label", key);
            InitControlRecord(label, kKindLabel, subKey);
            label->persistent = 0;
            CopyText(label->text, text);
            label->x = x + kCheckCaptionGap;
            label->y = y + 1;
            // The stated width covers box and caption.
            if (width > kCheckCaptionGap) label->width = width - kCheckCaptionGap;
            AttachSubControl(c, label);
        }
        return c;
    }

    LabelControl* caption(const char* key, const char* text, int x, int y) {
        LabelControl* c = check(AddLabelControl(key, x, y, anchor()));
        if (c) CopyText(c->text, text);
        return c;
    }

    ColorControl* color(const char* key, const char* label, int x, int y) {
        ColorControl* c = check(AddColorControl(key, x, y, anchor()));
        if (!c) return nullptr;
        CopyText(c->label, label);
        if (c->caption) CopyText(c->caption->text, label);
        c->red = 255;
        c->green = 255;
        c->blue = 255;
        c->valueHook = noteChange;
        return c;
    }

    StringControl* text(const char* key, const char* label, int x, int y, ControlHook action) {
        StringControl* c = check(AddStringControl(key, x, y, anchor()));
        if (!c) return nullptr;
        CopyText(c->label, label);
        if (c->caption) CopyText(c->caption->text, label);
        c->valueHook = action ? action : noteChange;
        return c;
    }

    ItemListControl* items(const char* key, int x, int y, int allowedTypes, int capacity, ControlHook action) {
        ItemListControl* c = check(AddItemControl(key, x, y, anchor()));
        if (!c) return nullptr;
        c->allowedTypes = allowedTypes;
        c->allowAllLights = 1;
        c->maxItems = capacity;
        c->valueHook = action ? action : noteChange;
        return c;
    }

    PageSelector* pages(const char* key, int x, int y, ControlHook action) {
        PageSelector* c = check(AddPageSelector(key, x, y, anchor()));
        if (c) c->valueHook = action ? action : noteChange;
        return c;
    }

private:
    NumericControl* autoNumeric(const char* key) {
        NumericControl* c = check(AddNumericControl(key, kAutoX, autoY_, anchor()));
        autoY_ += kAutoStep;
        return c;
    }

    void setNumeric(NumericControl* c, const char* label, double value, Limits limits, double dragScale) {
        CopyText(c->label, label);
        if (c->caption) CopyText(c->caption->text, label);
        if (limits.hasLow) {
            c->minimum = limits.low;
            c->clampLow = 1;
        }
        if (limits.hasHigh) {
            c->maximum = limits.high;
            c->clampHigh = 1;
        }
        c->value = value;
        c->initialValue = value;
        c->dragStep *= dragScale;
        c->valueHook = noteChange;
    }

    MasterInstance* m_;
    bool ok_ = true;
    int autoY_ = kAutoTop;
};

void buildLightGroups(Builder& b, MasterInstance* m) {
    constexpr int kLights = 1 << kItemLight;
    constexpr int kObjects = 1 << kItemObject;
    char key[32];

    for (int i = 0; i < kLightGroupCount; ++i) {
        std::snprintf(key, sizeof key, "LB%d", i);
        m->lightIndicator[i] = b.button(key, "", kIndicatorX + kIndicatorStep * i, kLightIndicatorY, kIndicatorWidth, nullptr);
        if (m->lightIndicator[i]) m->lightIndicator[i]->height = kIndicatorHeight;
    }
    for (int j = 0; j < kObjectGroupCount; ++j) {
        std::snprintf(key, sizeof key, "OB%d", j);
        m->objectIndicator[j] = b.button(key, "", kIndicatorX + kIndicatorStep * j, kObjectIndicatorY, kIndicatorWidth, nullptr);
        if (m->objectIndicator[j]) m->objectIndicator[j]->height = kIndicatorHeight;
    }
    m->lgt = b.caption("LGT", "Light Group #", 148, 7);
    m->lgTab = b.pages("LGTAB", 116, 6, onRules);
    m->ogt = b.caption("OGT", "Object Group #", 144, 86);
    m->obSet = b.button("ObSet", "Set", 118, 110, 31, onObjectSet);
    m->obCopy = b.button("ObCopy", "C", 385, 86, 14, onObjectCopy);
    m->obPaste = b.button("ObPaste", "P", 399, 86, 14, onObjectPaste);
    for (ButtonControl* small : {m->obCopy, m->obPaste})
        if (small) small->height = 15;
    if (!b.ok()) return;

    for (int i = 0; i < kLightGroupCount; ++i) {
        std::snprintf(key, sizeof key, "%d", i + 1);
        b.openPage(m->lgTab, key);
        std::snprintf(key, sizeof key, "LGI%d", i);
        m->lightItems[i] = b.items(key, 118, 31, kLights, kLightGroupCapacity, onMembers);
        std::snprintf(key, sizeof key, "LGB%d", i);
        m->lightGroupBoost[i] = b.percent(key, "Boost", 1.0, kNoLimits);
        std::snprintf(key, sizeof key, "LGD%d", i);
        m->lightSet[i] = b.button(key, "Set", 118, 51, 31, onLightSet);
        std::snprintf(key, sizeof key, "LGS%d", i);
        m->lightNotes[i] = b.text(key, "Notes", 203, 52, onNotes);
        std::snprintf(key, sizeof key, "OGT%d", i);
        m->objectTab[i] = b.pages(key, 116, 85, onRules);
        if (!b.ok()) return;
        for (int j = 0; j < kObjectGroupCount; ++j) {
            std::snprintf(key, sizeof key, "%d", j + 1);
            b.openPage(m->objectTab[i], key);
            std::snprintf(key, sizeof key, "OG%d-%d", i, j);
            m->objectItems[i][j] = b.items(key, 158, 110, kObjects, kObjectGroupCapacity, onMembers);
            std::snprintf(key, sizeof key, "OL%d-%d", i, j);
            m->objectNotes[i][j] = b.text(key, "Notes", 203, 133, nullptr);
            std::snprintf(key, sizeof key, "OB%d-%d", i, j);
            m->objectBoost[i][j] = b.percent(key, "Paired Group Intensity Boost", 1.0, kNoLimits);
            std::snprintf(key, sizeof key, "OS%d-%d", i, j);
            m->objectShadow[i][j] = b.percent(key, "Paired Group Shadow Opacity", 1.0, kNoLimits);
            if (!b.ok()) return;
        }
        b.closePage(m->objectTab[i]);
        b.closePage(m->lgTab);
    }
}

}  // namespace

MasterInstance* masterOfControl(const void* control) {
    const Control* c = static_cast<const Control*>(control);
    if (!c) return nullptr;
    const Control* root = c->parentControl ? c->parentControl : c;
    const Panel* panel = root->kind == kKindPanel ? static_cast<const Panel*>(root) : root->owner;
    if (!panel) return nullptr;
    auto* m = static_cast<MasterInstance*>(panel->ownerInstance);
    return m && m->panel == panel ? m : nullptr;
}

bool buildMasterPanel(MasterInstance* m) {
    Panel* panel = CreatePanel(kMasterPanelTitle, m, 0);
    if (!panel) return false;
    m->panel = panel;
    CopyText(panel->blockName, kBlockName);
    panel->settingsVersion = kPanelSettingsVersion;
    panel->ops.changed = [](Control* c) {
        if (Panel* p = AsPanel(c)) masterPanelChanged(p);
    };

    Builder b(m);
    m->logo = b.check(AddBitmapControl("LOGO", 0, 0, panel));
    if (m->logo) {
        m->logo->x = 2;
        m->logo->y = 195;
    }
    m->tab = b.pages("TAB", 460, 3, nullptr);
    m->compText = b.caption("COMPTEXT", "", 46, 217);
    m->pin = b.checkButton("PIN", "Pin", 273, 215, 40, false, nullptr);
    if (m->pin) m->pin->persistent = 0;
    m->openShader = b.button("OPENSHADER", "Open Surface", 323, 215, 95, onOpenShader);
    if (!b.ok()) return false;

    b.openPage(m->tab, kPageTitles[kPageSurfaceBoosts]);
    m->luminous = b.percent("LUMINOUS", "Luminous", 1.0, kNoLimits);
    m->diffuse = b.percent("DIFFUSE", "Diffuse", 1.0, kNoLimits);
    m->specular = b.percent("SPECULAR", "Specular", 1.0, kNoLimits);
    m->gloss = b.percent("GLOSS", "Gloss", 1.0, lowLimit(0.0));
    m->ambient = b.percent("AMBIENT", "Ambient", 1.0, kNoLimits);
    m->radiosity = b.percent("RADIOSITY", "Global Illum", 1.0, kNoLimits);
    m->reflection = b.percent("REFLECTION", "Reflection", 1.0, kNoLimits);
    m->transparency = b.percent("TRANSPARENCY", "Transparent", 1.0, kNoLimits);
    m->resetBoost = b.button("RESETBOOST", "Reset", 113, 128, 56, onResetBoost);
    m->exclusion = b.percent("EXCLUSION", "Respect Light Exclusion", 1.0, kNoLimits);
    m->shadows = b.percent("SHADOWS", "Shadow Opacity", 1.0, range(0.0, 100.0));
    m->bump = b.percent("BUMP", "Bump Mapping", 1.0, kNoLimits);

    b.openPage(m->tab, kPageTitles[kPageImageProcess]);
    m->wGamma = b.number("WGAMMA", "White Gamma", 1.0, lowLimit(0.01), kDragGamma);
    m->wBright = b.percent("WBRIGHT", "Bright", 1.0, lowLimit(0.0));
    m->rGamma = b.number("RGAMMA", "Red Gamma", 1.0, lowLimit(0.01), kDragGamma);
    m->rBright = b.percent("RBRIGHT", "Bright", 1.0, lowLimit(0.0));
    m->gGamma = b.number("GGAMMA", "Green Gamma", 1.0, lowLimit(0.01), kDragGamma);
    m->gBright = b.percent("GBRIGHT", "Bright", 1.0, lowLimit(0.0));
    m->bGamma = b.number("BGAMMA", "Blue Gamma", 1.0, lowLimit(0.01), kDragGamma);
    m->bBright = b.percent("BBRIGHT", "Bright", 1.0, lowLimit(0.0));
    m->desat = b.percent("DESAT", "Distance Desaturation", 0.0, range(0.0, 100.0));
    if (m->desat) m->desat->valueHook = onRules;
    m->satClip = b.placed("SATCLIP", "Clip Distance", 0.0, lowLimit(0.0), 330, 132, kFixedThreeDecimals);
    m->satFalloff = b.placed("SATFALLOFF", "Falloff Distance", 0.5, lowLimit(0.0), 330, 152, kFixedThreeDecimals);
    m->resetImage = b.button("RESETIMAGE", "Reset", 110, 116, 55, onResetImage);

    b.openPage(m->tab, kPageTitles[kPageGamutControl]);
    m->doClip = b.checkButton("DOCLIP", "Gamut Rolloff ", 192, 7, 0, false, onRules);
    m->resetGamut = b.button("RESETGAMUT", "Reset", 113, 27, 55, onResetGamut);
    m->clipX0 = b.percent("CLIPX0", "Starting Intensity", 0.7, lowLimit(0.001));
    m->clipExp = b.percent("CLIPEXP", "Rolloff Rate", 0.7, lowLimit(0.0));
    if (m->clipExp) m->clipExp->maximum = 1.0;  // the ordinary top, not enforced
    for (NumericControl* c : {m->clipX0, m->clipExp})
        if (c) c->valueHook = onGamutCurve;
    m->clipHue = b.percent("CLIPHUE", "Hue Preservation", 0.5, range(0.0, 100.0));
    m->gamutGraph = b.check(AddGraphControl("GAMGR", 180, 76, panel));
    if (m->gamutGraph) {
        m->gamutGraph->plotWidth = 200;
        m->gamutGraph->plotHeight = 125;
        m->gamutGraph->autoRangeX = 0;
        m->gamutGraph->autoRangeY = 0;
        m->gamutGraph->fixedX[0] = 0.0;
        m->gamutGraph->fixedX[1] = 2.0;
        m->gamutGraph->fixedY[0] = 0.0;
        m->gamutGraph->fixedY[1] = 1.25;
    }

    b.openPage(m->tab, kPageTitles[kPageFilmGrain]);
    m->grain = b.checkButton("GRAIN", "Apply Film Grain", 286, 10, 0, false, onRules);
    m->grainAnimated = b.checkButton("GRAIN_AN", "Animated", 320, 10, 80, true, nullptr);
    m->grainScale = b.number("GRAINSCALE", "Scale (pixels)", 1.5, lowLimit(0.001), kDragGrainScale);
    m->grainRelative = b.checkButton("GRAINREL", "Auto Scale", 320, 32, 80, false, nullptr);
    struct Variation {
        NumericControl** constant;
        NumericControl** proportional;
        const char* constKey;
        const char* propKey;
        const char* label;
    };
    const Variation variations[] = {{&m->rConst, &m->rProp, "R_CONST", "R_PROP", "Red Variation"},
                                    {&m->gConst, &m->gProp, "G_CONST", "G_PROP", "Green Variation"},
                                    {&m->bConst, &m->bProp, "B_CONST", "B_PROP", "Blue Variation"},
                                    {&m->wConst, &m->wProp, "W_CONST", "W_PROP", "White Variation"}};
    for (const Variation& v : variations) {
        *v.constant = b.number(v.constKey, v.label, 0.006, lowLimit(0.0), kDragVariation);
        *v.proportional = b.percent(v.propKey, "+", 0.0075, kNoLimits, kPercentTwoDecimals, kDragProportional);
        for (NumericControl* c : {*v.constant, *v.proportional})
            if (c) {
                c->sliderLow = 0.0;
                c->sliderHigh = kGrainSliderHigh;
            }
    }
    m->grainClip = b.checkButton("GRAINCLIP", "Saturated grain effect", 120, 150, 134, true, onRules);
    m->grainClipLevel = b.number("GRAIN_CLIP_LEV", "at Intensity", 0.7, lowLimit(0.0), kDragGrainClipLevel);
    m->grainClipSoft = b.number("GRAIN_CLIP_SOFT", "Transition Width", 0.5, lowLimit(0.0), kDragGrainClipSoft);

    b.openPage(m->tab, kPageTitles[kPageMasterLighting]);
    m->lightBoost = b.percent("LIGHTBOOST", "Global Light Intensity", 1.0, lowLimit(0.0));
    m->lightMin = b.placed("LIGHTMIN", "Intensity Falloff Protection Distance", 0.000001, lowLimit(0.0), 320, 50,
                           kFixedFiveDecimals);
    m->goodShadows = b.checkButton("GOODSHADOWS", "Shadowmap Transparency Support", 388, 80, 0, false, nullptr);
    m->areaFilter = b.checkButton("AREAFILTER", "Transparent/Flaggable Area Shadows", 388, 110, 0, false, nullptr);
    m->ambTop = b.color("AMBTOP", "Tint Ambient Zenith/Horizon/Nadir", 305, 140);
    m->ambMid = b.color("AMBMID", "", 340, 140);
    m->ambBot = b.color("AMBBOT", "", 375, 140);
    m->radConst = b.percent("RADCONST", "Global Illumination Contrast", 0.5, lowLimit(0.0));

    b.openPage(m->tab, kPageTitles[kPageLightGroups]);
    if (b.ok()) buildLightGroups(b, m);

    b.openPage(m->tab, kPageTitles[kPageQuality]);
    m->areaShadeQ = b.percent("AREASHADEQ", "Area Light Shading Quality", 0.4, lowLimit(0.0));
    m->areaShadowQ = b.percent("AREASHADOWEQ", "Area Light Shadow Quality", 0.4, range(0.0, 2.5));
    m->reflectionQ = b.percent("REFLECTIONQ", "Soft Reflection Quality", 0.4, lowLimit(0.0));

    b.openPage(m->tab, kPageTitles[kPagePreviews]);
    m->newPreview = b.button("NewPreview", "Add New Preview", 285, 35, 110, onNewPreview);
    m->refreshPreview = b.button("RefreshPreview", "Refresh Previews", 285, 59, 110, onRefreshPreview);
    m->freePreview = b.button("FREEPREVIEW", "Free Previews", 285, 83, 110, onFreePreview);
    m->autoFree = b.checkButton("AUTOFREE", "Automatically Free Unused Previews at Render", 375, 107, 0, true, nullptr);
    m->compImage = b.check(AddImageControl("COMPIMNAME", 185, 164, panel));
    if (m->compImage) {
        CopyText(m->compImage->label, "Set Comparisons with Image");
        m->compImage->valueHook = onCompareImage;
    }
    m->ramText = b.caption("RAMTEXT", "", 285, 135);
    b.closePage(m->tab);

    // The object-group clipboard: far below the visible area, never saved.
    m->clipItems = b.items("CPItm", 0, kClipItemsY, kEveryItemKind, kClipboardCapacity, nullptr);
    m->clipNotes = b.text("CPStr", "", 0, kClipNotesY, nullptr);
    for (Control* c : {static_cast<Control*>(m->clipItems), static_cast<Control*>(m->clipNotes)})
        if (c) {
            c->persistent = 0;
            c->hidden = 1;
        }
    if (!b.ok()) return false;

    updateGamutGraph(m);
    applyDependentRules(m);
    return true;
}

}  // namespace orvik
