// Test data: the surface settings as the system defines them, typed in a
// second time independently of the table in surface_settings.cpp, so that a
// typo in either shows up as a mismatch.
#pragma once

#include <limits>

namespace orvik::testing::expected {

inline constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

struct Numeric {
  const char* key;
  bool percent;
  double value;
  double low;   // kNone: no low clamp
  double high;  // kNone: no high clamp
};

inline constexpr Numeric kNumericSettings[] = {
    // Boosts
    {"LUMINOUS", true, 1.0, kNone, kNone},
    {"DIFFUSE", true, 1.0, kNone, kNone},
    {"SPECULAR", true, 1.0, kNone, kNone},
    {"GLOSS", true, 1.0, 0.0, kNone},
    {"AMBIENT", true, 1.0, kNone, kNone},
    {"RADIOSITY", true, 1.0, kNone, kNone},
    {"REFLECTION", true, 1.0, kNone, kNone},
    {"TRANSPARENCY", true, 1.0, kNone, kNone},
    {"EXCLUSION", true, 1.0, kNone, kNone},
    {"SHADOWS", true, 1.0, 0.0, 100.0},
    {"BUMP", true, 1.0, kNone, kNone},
    // Edge effects
    {"ELUMV", true, 0.0, kNone, kNone}, {"ELUMS", true, 0.5, -1.0, 1.0},
    {"EDIFV", true, 0.0, kNone, kNone}, {"EDIFS", true, 0.5, -1.0, 1.0},
    {"ESPEV", true, 0.0, kNone, kNone}, {"ESPES", true, 0.5, -1.0, 1.0},
    {"EGLSV", true, 0.0, kNone, kNone}, {"EGLSS", true, 0.5, -1.0, 1.0},
    {"EREFV", true, 0.0, kNone, kNone}, {"EREFS", true, 0.5, -1.0, 1.0},
    {"ETRAV", true, 0.0, kNone, kNone}, {"ETRAS", true, 0.5, -1.0, 1.0},
    {"ETNSV", true, 0.0, kNone, kNone}, {"ETNSS", true, 0.5, -1.0, 1.0},
    {"EBUMP", true, 1.0, kNone, kNone},
    {"ESBUMP", true, 0.5, -1.0, 1.0},
    {"EFBUMP", true, 0.0, 0.0, 100.0},
    // Edge colour
    {"EHUE", false, 0.0, kNone, kNone},
    {"ESHUE", true, 0.5, -1.0, 1.0},
    {"Esat", true, 1.0, 0.0, kNone},
    {"ESSAT", true, 0.5, -1.0, 1.0},
    {"EVAL", true, 1.0, 0.0, kNone},
    {"ESVAL", true, 0.5, -1.0, 1.0},
    {"ECOL1", true, 0.0, 0.0, 100.0},
    {"EC1VAL", true, 0.1, -1.0, 1.0},
    {"ECOL2", true, 0.0, 0.0, 100.0},
    {"EC2VAL", true, 0.3, -1.0, 1.0},
    {"CFBUMP", true, 0.0, 0.0, 100.0},
    // Processing
    {"HUE", false, 0.0, kNone, kNone},
    {"HUEVARY", false, 0.0, 0.0, kNone},
    {"SAT", true, 1.0, 0.0, kNone},
    {"SATVARY", true, 0.0, 0.0, kNone},
    {"VAL", true, 1.0, kNone, kNone},
    {"VALVARY", true, 0.0, 0.0, kNone},
    {"USEDSAT", true, 1.0, 0.0, 100.0},
    // PhotoMap
    {"PMAP", true, 0.0, 0.0, 1.0},
    {"PMCOMP", true, 0.0, kNone, kNone},
    {"PMW", true, 0.65, 0.0, 1.0},
    {"PMWW", true, 0.35, 0.0, 1.0},
    {"PMB", true, 0.65, 0.0, kNone},
    {"PMBW", true, 0.3, 0.0, kNone},
    {"MPBIAS", true, 0.0, 0.0, kNone},
    // Skin tools
    {"DIFFUSEBUMP", true, 1.0, 0.0, 1.0},
    {"ROUGHDIFFUSE", true, 0.0, 0.0, kNone},
    {"SKINBSSRDF", true, 0.0, 0.0, 1.0},
    {"BLOODVIS", true, 0.0, kNone, 2.0},
    {"BLOODLAYER", true, 0.25, 0.0, 1.0},
    {"BLBUMP", true, 0.0, 0.0, 100.0},
    // Scattering
    {"THICKTRANS", true, 0.0, 0.0, kNone},
    {"THICKLIGHT", true, 0.0, 0.0, kNone},
    {"THICKSURF", true, 1.0, 0.0, 100.0},
    {"THICKCOMP", true, 0.0, 0.0, 100.0},
    {"SSS_BASE", true, 0.8, 0.0, 1.0},
    {"SSS_NL", true, 0.5, 0.0, kNone},
    {"THICK_SREF", true, 0.0, 0.0, 100.0},
    {"THICKFALLOFF", false, 0.5, 1e-08, kNone},
    {"THICK_CONT", true, 0.5, 0.0, kNone},
    // Specular layers
    {"STRENGTH1", true, 1.0, kNone, kNone},
    {"SARB1", true, 0.0, 0.0, 1.0},
    {"GLOSS1", true, 1.0, 0.0, kNone},
    {"GLOSSSHARP1", true, 0.5, 0.0, 1.0},
    {"ANISO1", true, 0.0, 0.0, kNone},
    {"ANISOA1", false, 0.0, kNone, kNone},
    {"SPECRETRO1", true, 0.0, kNone, kNone},
    {"SPECBUMP1", true, 1.0, kNone, kNone},
    {"STRENGTH2", true, 0.0, kNone, kNone},
    {"SARB2", true, 0.0, 0.0, 1.0},
    {"GLOSS2", true, 1.0, 0.0, kNone},
    {"GLOSSSHARP2", true, 0.5, 0.0, 1.0},
    {"ANISO2", true, 0.0, 0.0, kNone},
    {"ANISOA2", false, 0.0, kNone, kNone},
    {"SPECRETRO2", true, 0.0, kNone, kNone},
    {"SPECBUMP2", true, 1.0, kNone, kNone},
    {"STRENGTH3", true, 0.0, kNone, kNone},
    {"SARB3", true, 0.0, 0.0, 1.0},
    {"GLOSS3", true, 1.0, 0.0, kNone},
    {"GLOSSSHARP3", true, 0.5, 0.0, 1.0},
    {"ANISO3", true, 0.0, 0.0, kNone},
    {"ANISOA3", false, 0.0, kNone, kNone},
    {"SPECRETRO3", true, 0.0, kNone, kNone},
    {"SPECBUMP3", true, 1.0, kNone, kNone},
    // Reflection
    {"REFBG", true, 1.0, 0.0, kNone},
    {"REFCOLORSTR", true, 0.0, 0.0, 1.0},
    {"REFNONLINEAR", true, 0.0, 0.0, 1.0},
    {"REFBUMP", true, 1.0, kNone, kNone},
    {"REFGLOSS", true, 0.0, 0.0, 100.0},
    {"REFGLOSSQ", true, 0.2, 0.0, kNone},
    {"VIEWANISO", true, 0.5, 0.0, kNone},
    {"REFANISO", true, 0.0, 0.0, 100.0},
    {"REFANANGLE", false, 0.0, kNone, kNone},
    // Transparency
    {"REFRACTBUMP", true, 1.0, kNone, kNone},
    {"BACKINDEX", false, 1.0, kNone, kNone},
    // Art mode
    {"ART_ROTATE", true, 0.0, kNone, kNone},
    {"ART_SQUEEZE", true, 0.0, 0.0, 1.0},
    // Extra
    {"RIM", true, 0.0, 0.0, 100.0},
    {"TERMSHARP", true, 0.0, -1.0, 100.0},
    // Light-group boosts
    {"LGBOOST0", true, 1.0, kNone, kNone}, {"LGBOOST1", true, 1.0, kNone, kNone},
    {"LGBOOST2", true, 1.0, kNone, kNone}, {"LGBOOST3", true, 1.0, kNone, kNone},
    {"LGBOOST4", true, 1.0, kNone, kNone}, {"LGBOOST5", true, 1.0, kNone, kNone},
    {"LGBOOST6", true, 1.0, kNone, kNone}, {"LGBOOST7", true, 1.0, kNone, kNone},
    {"LGBOOST8", true, 1.0, kNone, kNone}, {"LGBOOST9", true, 1.0, kNone, kNone},
    {"LGBOOST10", true, 1.0, kNone, kNone}, {"LGBOOST11", true, 1.0, kNone, kNone},
};

struct Colour {
  const char* key;
  int r, g, b;
};
inline constexpr Colour kColourSettings[] = {
    {"ECOL1C", 200, 75, 30},   {"ECOL2C", 110, 20, 200},  {"MPCOLOR", 167, 124, 105},
    {"BLOODCOLOR", 150, 40, 20}, {"THICKCOLOR", 150, 75, 20}, {"COLOR1", 255, 255, 255},
    {"COLOR2", 255, 255, 255}, {"COLOR3", 255, 255, 255}, {"REFCOLOR", 255, 255, 255},
    {"AMBIENTTINT", 255, 255, 255}, {"DARKENCOLOR", 0, 0, 0},
};

struct Check {
  const char* key;
  bool on;
};
inline constexpr Check kCheckSettings[] = {
    {"GLOBOOST", true},      {"HSVSECONDARY", false}, {"LWTHICKTRANS", false},
    {"LWTHICKLIGHT", false}, {"ZEROBACK", false},     {"DOBACKINDEX", false},
    {"DO_ART", false},       {"ACTIVATEDARKEN", false}, {"GLOLIGHTBOOST", true},
    {"PIN", false},
};

}  // namespace orvik::testing::expected
