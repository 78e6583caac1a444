#include "master/image_processing.h"

#include <algorithm>
#include <cmath>

#include "master/gradient_noise.h"
#include "master/rolloff.h"

namespace orvik {

namespace {

// A white gamma this close to 1 leaves the common factor at 1.
constexpr double kNeutralGammaLow = 0.9999;
constexpr double kNeutralGammaHigh = 1.0001;
constexpr double kSmallestChannel = 1e-7;
constexpr double kGammaOffset = 0.000001;

constexpr double kGrainOffsetX = 145.33332;
constexpr double kGrainOffsetY = 32.298373722;
constexpr double kGrainFrameShift = 13234.5;
constexpr double kGrainCos = 0.743144826;
constexpr double kGrainSin = 0.6691306057;
constexpr double kGrainGain = 0.707;
constexpr double kGrainReferenceWidth = 640.0;

// Noise depths (first for the rotated, second for the plain position) per grain channel.
struct GrainDepth {
    double rotated, plain;
};
constexpr GrainDepth kRedDepth{0.726262, 5.09389383};
constexpr GrainDepth kGreenDepth{10.726262, 15.09389383};
constexpr GrainDepth kBlueDepth{20.726262, 25.09389383};
constexpr GrainDepth kWhiteDepth{35.8374874, 30.8374874};

constexpr double kRolloffRateOffset = 0.001;
constexpr double kGraphRateScale = 0.998;
constexpr double kGraphStep = 1.0 / 37.0;
constexpr double kSmallestMax = 1e-10;
constexpr double kSmallestFalloff = 1e-9;

void clampNegative(double color[3]) {
    for (int c = 0; c < 3; ++c)
        if (color[c] < 0.0) color[c] = 0.0;
}

// Amplitude multiplier of the grain at level L: 1 below the clip level, fading
// to 0 over the transition width, 0 beyond.
double grainClipFactor(const ImageSettings& s, double level) {
    if (!s.grainClip) return 1.0;
    const double t = level - s.grainClipLevel;
    if (t >= s.grainClipSoft) return 0.0;
    if (t > 0.0) return 1.0 - t / s.grainClipSoft;
    return 1.0;
}

}  // namespace

void applyGammaBrightness(const ImageSettings* s, double color[3]) {
    clampNegative(color);
    if (!s) return;

    double k = 1.0;
    if (s->whiteGamma < kNeutralGammaLow || s->whiteGamma > kNeutralGammaHigh) {
        // White gamma scales all channels by what the curve does to the smallest: contrast without hue shift.
        const double m = std::min({color[0], color[1], color[2]});
        if (m < kSmallestChannel) return;
        k = std::pow(2.0 * m, s->whiteGamma) * 0.5 / m;
    }
    k *= s->whiteBright * 0.5;

    const double gamma[3] = {s->redGamma, s->greenGamma, s->blueGamma};
    const double bright[3] = {s->redBright, s->greenBright, s->blueBright};
    for (int c = 0; c < 3; ++c) color[c] = std::pow(2.0 * color[c], gamma[c] + kGammaOffset) * bright[c] * k;
}

void grainPosition(const ImageSettings& s, double frameWidth, double& x, double& y) {
    if (!s.grainRelative || !(frameWidth > 0.0)) return;
    x = x * kGrainReferenceWidth / frameWidth;
    y = y * kGrainReferenceWidth / frameWidth;
}

void applyFilmGrain(const ImageSettings* s, double x, double y, double frame, double color[3]) {
    if (!s) {
        clampNegative(color);
        return;
    }
    // A scale of zero would put every pixel at infinity; the control keeps it above 0.001.
    const double scale = s->grainScale > 0.0 ? s->grainScale : 0.001;
    double px = x / scale + kGrainOffsetX;
    const double py = y / scale + kGrainOffsetY;
    if (s->grainAnimated) px += frame * kGrainFrameShift;
    const double qx = kGrainCos * px + kGrainSin * py;
    const double qy = kGrainCos * py - kGrainSin * px;
    auto noise = [&](const GrainDepth& d) { return gradientNoise(qx, qy, d.rotated) + gradientNoise(px, py, d.plain); };

    const double in[3] = {color[0], color[1], color[2]};
    const double mean = (in[0] + in[1] + in[2]) / 3.0;
    const double whiteAmp = (mean * s->whiteProp + s->whiteConst) * grainClipFactor(*s, mean);

    const double prop[3] = {s->redProp, s->greenProp, s->blueProp};
    const double cons[3] = {s->redConst, s->greenConst, s->blueConst};
    const GrainDepth* depth[3] = {&kRedDepth, &kGreenDepth, &kBlueDepth};
    for (int c = 0; c < 3; ++c) {
        const double amp = (prop[c] * in[c] + cons[c]) * grainClipFactor(*s, in[c]);
        if (amp > 0.0) color[c] += noise(*depth[c]) * amp * kGrainGain;
    }
    if (whiteAmp > 0.0) {
        const double w = noise(kWhiteDepth) * whiteAmp * kGrainGain;
        for (int c = 0; c < 3; ++c) color[c] += w;
    }
    clampNegative(color);
}

void applyGamutRolloff(const ImageSettings* s, double color[3]) {
    if (!s || !s->gamutClip) return;
    const double rate = s->clipRate + kRolloffRateOffset;
    const double start = s->clipStart;
    const double h = s->hueKeep;
    const double m = std::max({color[0], color[1], color[2]});
    const double f = m > kSmallestMax ? rolloff(m, start, rate) / m : 1.0;
    for (int c = 0; c < 3; ++c) {
        const double own = rolloff(color[c], start, rate);
        color[c] = (1.0 - h) * own + h * color[c] * f;
    }
}

void processPixel(const ImageSettings* s, double x, double y, double frame, double frameWidth, double color[3]) {
    applyGammaBrightness(s, color);
    if (s && s->grain) {
        grainPosition(*s, frameWidth, x, y);
        applyFilmGrain(s, x, y, frame, color);
    }
    applyGamutRolloff(s, color);
}

GamutGraph gamutGraphPoints(bool clipOn, double clipStart, double clipRate) {
    GamutGraph g{};
    const double rate = clipRate * kGraphRateScale + kRolloffRateOffset;
    for (int i = 0; i < kGamutGraphPoints; ++i) {
        const double x = i * kGraphStep;
        g.x[i] = x;
        g.y[i] = clipOn ? rolloff(x, clipStart, rate) : std::min(x, 1.0);
    }
    return g;
}

double distanceDesaturation(const ImageSettings* s, double saturation, double distance, double surfaceFactor) {
    if (s) {
        const double d = s->desaturation * surfaceFactor;
        if (d > 0.0) {
            const double falloff = std::max(s->falloffDistance, kSmallestFalloff);
            const double t = (distance - s->clipDistance) / falloff;
            if (t > 0.0) saturation *= (1.0 - d) + d * std::exp(-t);
        }
    }
    return std::clamp(saturation, 0.0, 1.0);
}

}  // namespace orvik
