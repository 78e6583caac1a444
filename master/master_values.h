// What the rest of the module reads from the master. Every reader works
// without a master too and then gets the neutral value: boosts 1.0, options
// off, no grouping, no image processing.
#pragma once

#include <cstdint>

#include "master/group_factors.h"
#include "master/image_processing.h"

namespace orvik {

bool masterPresent();

// Global multipliers of the surface channels; all 1.0 without a master.
struct MasterSurfaceBoosts {
    double diffuse = 1.0, specular = 1.0, gloss = 1.0, ambient = 1.0, radiosity = 1.0, reflection = 1.0;
    double transparency = 1.0, luminous = 1.0, shadows = 1.0, exclusion = 1.0, bump = 1.0;
};
MasterSurfaceBoosts masterSurfaceBoosts();

// Global lighting and quality. Without a master `present` is false and the
// fields hold the master's defaults; readers branch on `present` where the
// shading without a master differs.
struct MasterLighting {
    bool present = false;
    double lightBoost = 1.0;
    double lightMin = 0.000001;
    double ambientTop[3] = {1.0, 1.0, 1.0};  // colours as fractions (value / 255)
    double ambientMid[3] = {1.0, 1.0, 1.0};
    double ambientBottom[3] = {1.0, 1.0, 1.0};
    double radiosityContrast = 0.5;
    bool goodShadows = false;
    bool areaFilter = false;
    double areaShadeQuality = 0.4;
    double areaShadowQuality = 0.4;
    double reflectionQuality = 0.4;
    bool autoFree = true;
};
MasterLighting masterLighting();

// The light's minimum distance: the host's value without a master, else the
// larger of LIGHTMIN and 1e-10.
double masterMinimumDistance(double hostValue);

// The image-processing settings; false (and out untouched) without a master.
bool masterImageSettings(ImageSettings& out);
// The pixel pipeline of a rendered or re-shaded colour with the current master.
void masterProcessPixel(double x, double y, double frame, double frameWidth, double color[3]);
// Saturation after the master's distance desaturation (clamped to [0, 1]).
double masterDistanceDesaturation(double saturation, double distance, double surfaceFactor);

// Groups: null without a master.
const GroupSource* masterGroups();
std::uint32_t masterLightGroupMask(const void* light);
void masterApplyGroupFactors(std::uint32_t mask, const void* object, double& intensity, double& shadowOpacity);
// The twelve group notes; false without a master.
bool masterGroupNotes(const char* notes[kLightGroupCount]);

// The flag a sample carrying a light source raises, and its reading.
void masterNoteSourceLight();
bool masterSourceLightSeen();
// The preview render run currently drives the host.
bool masterPreviewRenderActive();

}  // namespace orvik
