#include "shading/models/edge_channels.h"

#include <gtest/gtest.h>

#include <cmath>

#include "shading/models/glossiness.h"

namespace orvik {
namespace {

TEST(EdgeChannels, NeutralSettingsKeepEveryChannel) {
    HostChannels c{0.1, 0.8, 0.4, 0.02, 0.3, 0.5, 0.2};
    applyEdgeChannels(c, 0.7, EdgeChannelSettings{}, ChannelBoosts{});
    EXPECT_EQ(c.diffuse, 0.8);
    EXPECT_EQ(c.translucency, 0.2);
    EXPECT_NEAR(c.roughness, 0.02, 1e-12);
}

TEST(EdgeChannels, EdgeAndBoostsReachTheirOwnChannels) {
    HostChannels c{0.1, 0.8, 0.4, 0.02, 0.3, 0.5, 0.2};
    EdgeChannelSettings s;
    s.reflection = {EdgeMode::Replace, 1.0, 0.5};
    s.translucency = {EdgeMode::Add, 0.5, -0.5};
    ChannelBoosts b;
    b.diffuse = 0.5;
    b.reflection = 2.0;
    applyEdgeChannels(c, 1.0, s, b);  // at the silhouette
    EXPECT_NEAR(c.mirror, 2.0, 1e-12);        // replaced by 1, then boosted
    EXPECT_NEAR(c.translucency, 0.2, 1e-12);  // negative sharpness: nothing at the silhouette
    EXPECT_NEAR(c.diffuse, 0.4, 1e-12);
    EXPECT_NEAR(c.luminous, 0.1, 1e-12);
}

TEST(EdgeChannels, GlossinessIsEditedThroughRoughness) {
    HostChannels c;
    c.roughness = roughnessFromGlossiness(0.4);
    EdgeChannelSettings s;
    s.gloss = {EdgeMode::Add, 0.2, 0.5};
    ChannelBoosts b;
    b.gloss = 0.5;
    applyEdgeChannels(c, 1.0, s, b);
    EXPECT_NEAR(glossinessFromRoughness(c.roughness), (0.4 + 0.2) * 0.5, 1e-9);
    EXPECT_EQ(edgeModeFromChoice(7), EdgeMode::None);
    EXPECT_EQ(edgeModeFromChoice(3), EdgeMode::Replace);
}

}  // namespace
}  // namespace orvik
