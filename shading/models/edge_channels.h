#pragma once

#include "shading/models/edge_weight.h"

namespace orvik {

// The host channels of a sample that the edge stage reshapes.
struct HostChannels {
    double luminous = 0.0;
    double diffuse = 0.0;
    double specular = 0.0;
    double roughness = 0.0;  // glossiness is edited through it
    double mirror = 0.0;
    double transparency = 0.0;
    double translucency = 0.0;
};

// One channel row: the mode, the value it works with and the edge sharpness.
struct EdgeRow {
    EdgeMode mode = EdgeMode::None;
    double value = 0.0;
    double sharpness = 0.5;
};

struct EdgeChannelSettings {
    EdgeRow luminous, diffuse, specular, gloss, reflection, transparency, translucency;
};

// Surface boosts (already multiplied by the master's when those apply).
struct ChannelBoosts {
    double luminous = 1.0;
    double diffuse = 1.0;
    double specular = 1.0;
    double gloss = 1.0;
    double reflection = 1.0;
    double transparency = 1.0;
};

// The mode of a choice index; unknown indices leave the channel alone.
EdgeMode edgeModeFromChoice(int choice);

// Edge effects at edge factor e on every channel, then the boosts. Glossiness is taken from
// the roughness, edited and boosted, and written back as roughness.
void applyEdgeChannels(HostChannels& channels, double e, const EdgeChannelSettings& settings,
                       const ChannelBoosts& boosts);

}  // namespace orvik
