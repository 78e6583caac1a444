#include "shading/surface_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace orvik {
namespace {

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
