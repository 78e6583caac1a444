#include "shading/surface_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "shading/surface_settings_expected.h"

namespace orvik {
namespace {

using testing::expected::kNumericSettings;
using testing::expected::kColourSettings;
using testing::expected::kCheckSettings;

TEST(SurfaceSettingsTable, NumericDefaultsAndClampsMatchTheDefinition) {
  int checked = 0;
  for (const auto& e : kNumericSettings) {
    SCOPED_TRACE(e.key);
    const SurfaceSetting* s = findSurfaceSetting(e.key);
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(s->isNumeric());
    EXPECT_EQ(s->kind == SettingKind::Percent, e.percent);
    EXPECT_DOUBLE_EQ(s->defaultValue, e.value);
    EXPECT_EQ(s->clampLow, !std::isnan(e.low));
    if (s->clampLow) {
      EXPECT_DOUBLE_EQ(s->minimum, e.low);
    }
    EXPECT_EQ(s->clampHigh, !std::isnan(e.high));
    if (s->clampHigh) {
      EXPECT_DOUBLE_EQ(s->maximum, e.high);
    }
    ++checked;
  }
  // Every numeric control of the table is in the typed list.
  int numeric = 0;
  for (const SurfaceSetting& s : surfaceSettings()) numeric += s.isNumeric();
  EXPECT_EQ(numeric, checked);
}

TEST(SurfaceSettingsTable, ColoursChecksAndChoicesMatchTheDefinition) {
  for (const auto& e : kColourSettings) {
    SCOPED_TRACE(e.key);
    const SurfaceSetting* s = findSurfaceSetting(e.key);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->kind, SettingKind::Colour);
    EXPECT_EQ(s->defaultRed, e.r);
    EXPECT_EQ(s->defaultGreen, e.g);
    EXPECT_EQ(s->defaultBlue, e.b);
  }
  for (const auto& e : kCheckSettings) {
    SCOPED_TRACE(e.key);
    const SurfaceSetting* s = findSurfaceSetting(e.key);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->kind, SettingKind::Check);
    EXPECT_EQ(s->defaultValue, e.on ? 3.0 : 0.0);
  }
  // Edge modes: four items, "No Edge" first and selected.
  for (const EdgeChannelRow& row : kEdgeChannelRows) {
    const SurfaceSetting* s = findSurfaceSetting(row.modeKey);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->choiceCount, 4);
    EXPECT_STREQ(s->choices[0], "No Edge");
    EXPECT_STREQ(s->choices[3], "Replace");
    EXPECT_EQ(s->defaultValue, 0.0);
  }
  EXPECT_STREQ(findSurfaceSetting("ANISOTYPE")->choices[1], "Cylindrical");
  EXPECT_STREQ(findSurfaceSetting("ANISOAXIS")->choices[2], "Z");
}

TEST(SurfaceSettingsTable, KeysAreUniqueAndTheOrderIsTheCreationOrder) {
  std::set<std::string> keys;
  for (const SurfaceSetting& s : surfaceSettings()) EXPECT_TRUE(keys.insert(s.key).second) << s.key;
  // Spot checks of the order that saved records follow.
  EXPECT_EQ(surfaceSettingIndex("LUMINOUS"), 0);
  EXPECT_LT(surfaceSettingIndex("GLOBOOST"), surfaceSettingIndex("ELUMR"));
  EXPECT_EQ(surfaceSettingIndex("ELUMV"), surfaceSettingIndex("ELUMR") + 1);
  EXPECT_EQ(surfaceSettingIndex("ELUMS"), surfaceSettingIndex("ELUMR") + 2);
  EXPECT_EQ(surfaceSettingIndex("EDIFR"), surfaceSettingIndex("ELUMR") + 3);
  EXPECT_LT(surfaceSettingIndex("SPECBUMP1"), surfaceSettingIndex("STRENGTH2"));
  EXPECT_LT(surfaceSettingIndex("TERMSHARP"), surfaceSettingIndex("NEXTSHADER"));
  EXPECT_EQ(surfaceSettingIndex("LGBOOST0") + 11, surfaceSettingIndex("LGBOOST11"));
  EXPECT_EQ(surfaceSettingIndex("LGBOOST11"), static_cast<int>(surfaceSettings().size()) - 1);
  // The lower-case key is kept as it is.
  EXPECT_NE(findSurfaceSetting("Esat"), nullptr);
  EXPECT_EQ(findSurfaceSetting("ESAT"), nullptr);
}

TEST(SurfaceSettingsTable, PagesAndCutPasteGroups) {
  EXPECT_STREQ(surfacePageInfo(SurfacePage::Boosts).cutPasteKey, "BOOSTCP");
  EXPECT_STREQ(surfacePageInfo(SurfacePage::ArtMode).cutPasteKey, "BOOSTART");
  EXPECT_STREQ(surfacePageInfo(SurfacePage::Scattering).cutPasteKey, "GLASSCP");
  EXPECT_STREQ(surfacePageInfo(SurfacePage::Extra).title, "Extra");
  EXPECT_EQ(findSurfaceSetting("ECOL2C")->page, SurfacePage::EdgeColor);
  EXPECT_EQ(findSurfaceSetting("GLOSSSHARP3")->subPage, 2);
  EXPECT_EQ(findSurfaceSetting("STRENGTH1")->subPage, 0);
  EXPECT_EQ(findSurfaceSetting("PIN")->page, SurfacePage::None);
  EXPECT_EQ(findSurfaceSetting("LGBOOST7")->page, SurfacePage::Lighting);
  // A page's controls are contiguous, except the boosts created last.
  SurfacePage last = SurfacePage::Boosts;
  for (const SurfaceSetting& s : surfaceSettings()) {
    if (std::strncmp(s.key, "LGBOOST", 7) == 0) break;
    EXPECT_GE(static_cast<int>(s.page), static_cast<int>(last)) << s.key;
    last = s.page;
  }
}

TEST(SurfaceSettingsTable, SliderSpans) {
  EXPECT_EQ(findSurfaceSetting("ELUMS")->sliderLow, -1.0);
  EXPECT_EQ(findSurfaceSetting("ELUMS")->sliderHigh, 1.0);
  EXPECT_EQ(findSurfaceSetting("LUMINOUS")->sliderLow, 0.0);
  EXPECT_EQ(findSurfaceSetting("LUMINOUS")->sliderHigh, 1.0);
  EXPECT_EQ(findSurfaceSetting("LGBOOST3")->sliderHigh, 1.0);
  EXPECT_EQ(findSurfaceSetting("HUE")->displayMode(), 0);
  EXPECT_EQ(findSurfaceSetting("TERMSHARP")->displayMode(), 3);
}

TEST(LightGroupBoostText, KeysLabelsAndPageTitles) {
  char buf[64];
  lightGroupBoostKey(11, buf, sizeof buf);
  EXPECT_STREQ(buf, "LGBOOST11");
  lightGroupBoostLabel(0, nullptr, buf, sizeof buf);
  EXPECT_STREQ(buf, "1");
  lightGroupBoostLabel(11, nullptr, buf, sizeof buf);
  EXPECT_STREQ(buf, "12");
  lightGroupBoostLabel(2, "Key", buf, sizeof buf);
  EXPECT_STREQ(buf, "  Key 3");
  lightGroupBoostLabel(4, "Fill lights", buf, sizeof buf);
  EXPECT_STREQ(buf, "Fill lights 5");
  lightGroupBoostLabel(0, "", buf, sizeof buf);
  EXPECT_STREQ(buf, "      1");
  // A long note is cut to the buffer, never written past it.
  char small[8];
  std::memset(small, 'x', sizeof small);
  lightGroupBoostLabel(9, "A very long group note", small, sizeof small);
  EXPECT_EQ(std::strlen(small), sizeof small - 1);
  lightGroupPageTitle(0, buf, sizeof buf);
  EXPECT_STREQ(buf, "1--4");
  lightGroupPageTitle(2, buf, sizeof buf);
  EXPECT_STREQ(buf, "9--12");
}

}  // namespace
}  // namespace orvik
