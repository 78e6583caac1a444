// The surface settings the evaluation reads, taken from the instance's
// controls once per sample so that the shading works on plain values.
#pragma once

#include "sdk/types.h"
#include "shading/models/absorption.h"
#include "shading/models/art_shade.h"
#include "shading/models/edge_channels.h"
#include "shading/models/edge_colour.h"
#include "shading/models/glossy_rays.h"
#include "shading/models/photo_map.h"
#include "shading/models/skin_colour.h"
#include "shading/models/translucent_scattering.h"
#include "shading/models/vec3.h"

namespace orvik {

struct SurfaceInstance;

struct EvalSettings {
  // Boosts (surface only; the master's are applied where GLOBOOST asks).
  double luminousBoost = 1, diffuseBoost = 1, specularBoost = 1, glossBoost = 1, ambient = 1, radiosity = 1;
  double reflectionBoost = 1, transparencyBoost = 1, exclusion = 1, shadows = 1, bump = 1;
  bool globalBoost = false;  // GLOBOOST

  // Edge stage.
  double edgeBump = 1, edgeBumpSharpness = 0.5, edgeUseBump = 0;  // EBUMP, ESBUMP, EFBUMP
  EdgeChannelSettings edgeChannels;
  EdgeColourSettings edgeColour;

  // Processing.
  double hue = 0, saturation = 1, value = 1;
  bool hsvSecondary = false, followMasterDesaturation = false;

  // PhotoMap.
  PhotoMapSettings photoMap;
  double photoMapOriginal = 0;  // PMCOMP

  // Lighting model.
  double diffuseBump = 1, roughDiffuse = 0, skinScattering = 0, terminatorSharpness = 0, rim = 0;
  int anisotropyType = 0, anisotropyAxis = 0;

  // Skin.
  SkinSettings skin;

  // Thickness and translucency.
  double thickTrans = 0, thickLight = 0, surfaceRefraction = 0;
  bool lwThickTrans = false, lwThickLight = false;
  AbsorptionSettings absorption;
  ScatteringSettings scattering;

  // Reflection and refraction.
  double reflectionBackground = 1, reflectionColourStrength = 1, reflectionNonlinear = 0, reflectionBump = 1;
  Vec3 reflectionColour{1, 1, 1};
  GlossySpread glossy;
  double reflectionQuality = 1;  // REFGLOSSQ
  double refractionBump = 1;
  bool zeroBack = false, backIndexOn = false;
  double backIndex = 1;

  // Art mode.
  bool artMode = false;
  HostImageId artImage = nullptr;
  ArtSettings art;

  // Lighting.
  Vec3 ambientTint{1, 1, 1};
  bool darken = false;
  Vec3 darkenColour;
  bool lightGroupBoosts = false;  // GLOLIGHTBOOST
  double groupBoost[12] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
};

// Reads the settings from the instance's controls.
void readEvalSettings(const SurfaceInstance& inst, EvalSettings& out);

// The same through a copy per render thread: the settings of the last instances a
// thread shaded are read again only when some control value has changed since
// (gSharedValueChanges), so a sample pays for one copy instead of a hundred reads.
void readEvalSettingsCached(const SurfaceInstance& inst, EvalSettings& out);

// Clears the art image control of an instance (an image found unusable).
void dropArtImage(const SurfaceInstance& inst);

}  // namespace orvik
