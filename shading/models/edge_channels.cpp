#include "shading/models/edge_channels.h"

#include "shading/models/glossiness.h"

namespace orvik {

namespace {
void applyRow(const EdgeRow& row, double e, double& channel) {
    if (row.mode == EdgeMode::None) return;
    channel = applyEdgeMode(row.mode, channel, edgeWeight(e, row.sharpness), row.value);
}
}  // namespace

EdgeMode edgeModeFromChoice(int choice) {
    switch (choice) {
        case 1: return EdgeMode::Multiply;
        case 2: return EdgeMode::Add;
        case 3: return EdgeMode::Replace;
        default: return EdgeMode::None;
    }
}

void applyEdgeChannels(HostChannels& c, double e, const EdgeChannelSettings& s, const ChannelBoosts& b) {
    applyRow(s.diffuse, e, c.diffuse);
    applyRow(s.specular, e, c.specular);
    applyRow(s.luminous, e, c.luminous);
    applyRow(s.reflection, e, c.mirror);
    applyRow(s.transparency, e, c.transparency);
    applyRow(s.translucency, e, c.translucency);
    double gloss = glossinessFromRoughness(c.roughness);
    applyRow(s.gloss, e, gloss);

    c.luminous *= b.luminous;
    c.diffuse *= b.diffuse;
    c.specular *= b.specular;
    c.transparency *= b.transparency;
    c.mirror *= b.reflection;
    gloss *= b.gloss;
    c.roughness = roughnessFromGlossiness(gloss);
}

}  // namespace orvik
