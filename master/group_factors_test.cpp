#include "master/group_factors.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvik {
namespace {

// Group settings held in plain arrays.
class TableGroups : public GroupSource {
public:
    std::vector<const void*> lightMembers[kLightGroupCount];
    double boost[kLightGroupCount];
    std::vector<const void*> objectMembers[kLightGroupCount][kObjectGroupCount];
    double objBoost[kLightGroupCount][kObjectGroupCount];
    double objShadow[kLightGroupCount][kObjectGroupCount];

    TableGroups() {
        for (int i = 0; i < kLightGroupCount; ++i) {
            boost[i] = 1.0;
            for (int j = 0; j < kObjectGroupCount; ++j) objBoost[i][j] = objShadow[i][j] = 1.0;
        }
    }
    GroupItems lights(int i) const override { return {lightMembers[i].data(), int(lightMembers[i].size())}; }
    double lightBoost(int i) const override { return boost[i]; }
    GroupItems objects(int i, int j) const override {
        return {objectMembers[i][j].data(), int(objectMembers[i][j].size())};
    }
    double objectBoost(int i, int j) const override { return objBoost[i][j]; }
    double objectShadow(int i, int j) const override { return objShadow[i][j]; }
};

int itemStore[8];
const void* const kKey = &itemStore[0];
const void* const kFill = &itemStore[1];
const void* const kRim = &itemStore[2];
const void* const kTable = &itemStore[3];
const void* const kChair = &itemStore[4];

TEST(GroupMask, BitPerGroupHoldingTheLight) {
    TableGroups g;
    g.lightMembers[0] = {kKey};
    g.lightMembers[2] = {kFill, kKey};
    g.lightMembers[11] = {kKey};
    EXPECT_EQ(lightGroupMask(&g, kKey), 0x805u);
    EXPECT_EQ(lightGroupMask(&g, kFill), 0x4u);
    EXPECT_EQ(lightGroupMask(&g, kRim), 0u);
    EXPECT_EQ(lightGroupMask(nullptr, kKey), 0u);
}

TEST(GroupFactors, BoostsOfSeveralGroupsMultiply) {
    TableGroups g;
    g.lightMembers[0] = {kKey};
    g.lightMembers[2] = {kKey};
    g.boost[0] = 2.0;
    g.boost[2] = 0.5;
    double f = 1.0, shadow = 1.0;
    applyGroupFactors(&g, lightGroupMask(&g, kKey), kTable, f, shadow);
    EXPECT_DOUBLE_EQ(f, 1.0);
    g.boost[2] = 0.25;
    f = 3.0;
    applyGroupFactors(&g, lightGroupMask(&g, kKey), kTable, f, shadow);
    EXPECT_DOUBLE_EQ(f, 1.5);
    EXPECT_DOUBLE_EQ(shadow, 1.0);
}

TEST(GroupFactors, EmptyGroupOrNoMasterHasNoEffect) {
    TableGroups g;
    g.boost[4] = 0.0;
    g.objBoost[4][0] = 0.0;
    g.objectMembers[4][0] = {kTable};
    double f = 0.7, shadow = 0.9;
    applyGroupFactors(&g, lightGroupMask(&g, kKey), kTable, f, shadow);
    EXPECT_DOUBLE_EQ(f, 0.7);
    EXPECT_DOUBLE_EQ(shadow, 0.9);
    applyGroupFactors(nullptr, 0xFFF, kTable, f, shadow);
    EXPECT_DOUBLE_EQ(f, 0.7);
}

TEST(GroupFactors, ObjectGroupPairsOnlyWithItsOwnLightGroup) {
    TableGroups g;
    g.lightMembers[0] = {kKey};
    g.lightMembers[1] = {kFill};
    g.objectMembers[0][1] = {kTable};
    g.objBoost[0][1] = 3.0;
    g.objShadow[0][1] = 0.5;

    double f = 1.0, shadow = 1.0;
    applyGroupFactors(&g, lightGroupMask(&g, kKey), kTable, f, shadow);
    EXPECT_DOUBLE_EQ(f, 3.0);
    EXPECT_DOUBLE_EQ(shadow, 0.5);

    f = shadow = 1.0;  // light of another group: the table's shadow is untouched
    applyGroupFactors(&g, lightGroupMask(&g, kFill), kTable, f, shadow);
    EXPECT_DOUBLE_EQ(f, 1.0);
    EXPECT_DOUBLE_EQ(shadow, 1.0);

    f = shadow = 1.0;  // object outside the object group
    applyGroupFactors(&g, lightGroupMask(&g, kKey), kChair, f, shadow);
    EXPECT_DOUBLE_EQ(f, 1.0);
    EXPECT_DOUBLE_EQ(shadow, 1.0);
}

TEST(GroupFactors, ObjectListedTwiceGetsFactorsTwice) {
    TableGroups g;
    g.lightMembers[5] = {kRim};
    g.objectMembers[5][7] = {kChair, kChair};
    g.objBoost[5][7] = 2.0;
    g.objShadow[5][7] = 0.5;
    double f = 1.0, shadow = 1.0;
    applyGroupFactors(&g, lightGroupMask(&g, kRim), kChair, f, shadow);
    EXPECT_DOUBLE_EQ(f, 4.0);
    EXPECT_DOUBLE_EQ(shadow, 0.25);
}

}  // namespace
}  // namespace orvik
