// The master's colour pipeline for rendered frames: gamma and brightness,
// film grain, gamut roll-off (always in that order), plus the distance
// desaturation that the sample shading applies in HSV space.
//
// Each stage takes the settings as a plain record; a null record means that
// no master exists, and then no stage changes the colour (apart from the
// clamp of negative channels that gamma and brightness and the grain do).
#pragma once

#include <array>

namespace orvik {

// Plain copy of the image-processing settings, defaults as a fresh master has them.
struct ImageSettings {
    // Gamma and brightness.
    double whiteGamma = 1.0, redGamma = 1.0, greenGamma = 1.0, blueGamma = 1.0;
    double whiteBright = 1.0, redBright = 1.0, greenBright = 1.0, blueBright = 1.0;
    // Distance desaturation.
    double desaturation = 0.0, clipDistance = 0.0, falloffDistance = 0.5;
    // Gamut roll-off.
    bool gamutClip = false;
    double clipStart = 0.7, clipRate = 0.7, hueKeep = 0.5;
    // Film grain.
    bool grain = false, grainAnimated = true, grainRelative = false, grainClip = true;
    double grainScale = 1.5;
    double redConst = 0.006, redProp = 0.0075;
    double greenConst = 0.006, greenProp = 0.0075;
    double blueConst = 0.006, blueProp = 0.0075;
    double whiteConst = 0.006, whiteProp = 0.0075;
    double grainClipLevel = 0.7, grainClipSoft = 0.5;
};

// Negative channels become 0; then, with settings, the white and per-channel gammas and brightnesses.
void applyGammaBrightness(const ImageSettings* s, double color[3]);

// Grain at frame position (x, y) of the given frame. The caller calls it only
// when grain is on and passes the position already scaled to the 640-pixel
// reference width when relative scale is on (see grainPosition).
void applyFilmGrain(const ImageSettings* s, double x, double y, double frame, double color[3]);

// The grain position for a pixel: unchanged, or scaled to a 640-pixel-wide frame.
void grainPosition(const ImageSettings& s, double frameWidth, double& x, double& y);

// Per-channel roll-off blended with a hue-keeping uniform roll-off; only with settings and the clip on.
void applyGamutRolloff(const ImageSettings* s, double color[3]);

// Runs the three stages in order, grain only when it is on; frameWidth is for the relative grain scale.
void processPixel(const ImageSettings* s, double x, double y, double frame, double frameWidth, double color[3]);

// The 75 points of the roll-off graph: x from 0 to 2 in steps of 1/37.
constexpr int kGamutGraphPoints = 75;
struct GamutGraph {
    std::array<double, kGamutGraphPoints> x;
    std::array<double, kGamutGraphPoints> y;
};
GamutGraph gamutGraphPoints(bool clipOn, double clipStart, double clipRate);

// New saturation after distance desaturation (clamped to [0, 1]); surfaceFactor is
// the surface's own share of the master desaturation.
double distanceDesaturation(const ImageSettings* s, double saturation, double distance, double surfaceFactor);

}  // namespace orvik
