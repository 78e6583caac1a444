#include "shading/surface_preparation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvik {
namespace {

// The settings of a new surface: primary layer at full strength, the other
// two at zero.
SurfacePreparationInput newSurface() {
  SurfacePreparationInput in;
  in.layers[0].strength = 1.0;
  in.layers[1].strength = 0.0;
  in.layers[2].strength = 0.0;
  return in;
}

TEST(SpecularLayerPreparation, NewSurfaceHasOneRecordFromThePrimaryLayer) {
  PreparedSurface p = prepareSurface(newSurface());
  ASSERT_EQ(p.specularLayerCount, 1);
  const SpecularLayer& r = p.specularLayers[0];
  EXPECT_DOUBLE_EQ(r.gloss, 1.0);
  EXPECT_DOUBLE_EQ(r.glossBias, 0.5);
  EXPECT_DOUBLE_EQ(r.surfaceTint, 0.0);
  for (double w : r.colourWeight) EXPECT_DOUBLE_EQ(w, 0.1125);
  EXPECT_NEAR(r.roughness, 0.0075, 1e-15);
  EXPECT_NEAR(r.inverseRoughness2, 1.0 / (0.0075 * 0.0075), 1e-6);
  EXPECT_DOUBLE_EQ(r.bumpRespect, 1.0);
}

TEST(SpecularLayerPreparation, ZeroStrengthLayersMoveLaterLayersDown) {
  SurfacePreparationInput in = newSurface();
  in.layers[0].strength = 0.0;
  in.layers[2].strength = 0.5;
  in.layers[2].anisotropy = 0.7;
  in.layers[2].colour[0] = 255;
  in.layers[2].colour[1] = 0;
  in.layers[2].colour[2] = 51;
  PreparedSurface p = prepareSurface(in);
  ASSERT_EQ(p.specularLayerCount, 1);
  const SpecularLayer& r = p.specularLayers[0];
  EXPECT_DOUBLE_EQ(r.anisotropy, 0.7);
  EXPECT_DOUBLE_EQ(r.colourWeight[0], 0.5 * 0.1125);
  EXPECT_DOUBLE_EQ(r.colourWeight[1], 0.0);
  EXPECT_DOUBLE_EQ(r.colourWeight[2], 0.2 * 0.5 * 0.1125);

  // All three active keep their order; a tiny strength counts as zero but a
  // negative one does not.
  in.layers[0].strength = -0.5;
  in.layers[1].strength = 0.00009;
  in.layers[0].retro = 1.0;
  p = prepareSurface(in);
  ASSERT_EQ(p.specularLayerCount, 2);
  EXPECT_DOUBLE_EQ(p.specularLayers[0].retro, 1.0);
  EXPECT_DOUBLE_EQ(p.specularLayers[1].anisotropy, 0.7);

  for (auto& layer : in.layers) layer.strength = 0.0;
  EXPECT_EQ(prepareSurface(in).specularLayerCount, 0);
}

TEST(SpecularLayerPreparation, GlossBiasIsKeptInsideTheOpenUnitRange) {
  SpecularLayerSettings layer;
  layer.strength = 1.0;
  layer.glossBias = 0.0;
  EXPECT_DOUBLE_EQ(prepareSpecularLayer(layer).glossBias, 0.001);
  layer.glossBias = 1.0;
  EXPECT_DOUBLE_EQ(prepareSpecularLayer(layer).glossBias, 0.999);
  layer.glossBias = 0.999;
  EXPECT_DOUBLE_EQ(prepareSpecularLayer(layer).glossBias, 0.999);
  layer.glossBias = 0.25;
  EXPECT_DOUBLE_EQ(prepareSpecularLayer(layer).glossBias, 0.25);
  layer.glossBias = -3.0;
  EXPECT_DOUBLE_EQ(prepareSpecularLayer(layer).glossBias, 0.001);
}

TEST(SpecularLayerPreparation, TintSplitsStrengthBetweenSurfaceAndLayerColour) {
  SpecularLayerSettings layer;
  layer.strength = 2.0;
  layer.surfaceColourTint = 0.25;
  layer.colour[0] = 255;
  layer.colour[1] = 127;
  layer.colour[2] = 0;
  SpecularLayer r = prepareSpecularLayer(layer);
  EXPECT_DOUBLE_EQ(r.surfaceTint, 2.0 * 0.1125 * 0.25);
  EXPECT_DOUBLE_EQ(r.colourWeight[0], 0.75 * 2.0 * 0.1125);
  EXPECT_DOUBLE_EQ(r.colourWeight[1], 0.75 * 127.0 * 2.0 * 0.1125 / 255.0);
  EXPECT_DOUBLE_EQ(r.colourWeight[2], 0.0);
}

TEST(SpecularLayerPreparation, RoughnessAngleAndTheGlossSingularity) {
  SpecularLayerSettings layer;
  layer.strength = 1.0;
  layer.gloss = 0.41;
  layer.anisotropyAngleDegrees = 90.0;
  SpecularLayer r = prepareSpecularLayer(layer);
  EXPECT_NEAR(r.roughness, 0.45, 1e-12);
  EXPECT_NEAR(r.inverseRoughness2, 1.0 / 0.2025, 1e-9);
  EXPECT_NEAR(r.angleRadians, M_PI / 2, 1e-15);

  // A negative gloss uses its magnitude.
  layer.gloss = -0.41;
  EXPECT_NEAR(prepareSpecularLayer(layer).roughness, 0.45, 1e-12);

  // A gloss boost of 101% would make the roughness zero: the inverse stays finite.
  layer.gloss = 1.01;
  r = prepareSpecularLayer(layer);
  EXPECT_NEAR(r.roughness, 0.0, 1e-12);
  EXPECT_TRUE(std::isfinite(r.inverseRoughness2));
  EXPECT_GT(r.inverseRoughness2, 1e10);
}

TEST(OrenNayarPreparation, SmoothSurfaceIsLambert) {
  OrenNayarCoefficients k = prepareOrenNayar(0.0);
  EXPECT_EQ(k.a, 1.0);
  EXPECT_EQ(k.b, 0.0);
  EXPECT_EQ(k.c, 0.0);
  EXPECT_EQ(k.d, 0.0);
}

TEST(OrenNayarPreparation, WorkedRoughness) {
  // r = 0.5: s = 1.4 * 0.25 = 0.35.
  OrenNayarCoefficients k = prepareOrenNayar(0.5);
  EXPECT_NEAR(k.a, 1.0 - 0.175 / 0.68, 1e-15);        // 0.742647...
  EXPECT_NEAR(k.b, 0.1575 / 0.44, 1e-15);             // 0.357954...
  EXPECT_NEAR(k.c, 0.04375 / 0.44 * std::pow(4.0 / (M_PI * M_PI), 2), 1e-15);
  EXPECT_NEAR(k.d, 0.0595 / 0.48, 1e-15);             // 0.123958...
  EXPECT_NEAR(k.a, 0.7426470588235294, 1e-12);
  EXPECT_NEAR(k.b, 0.3579545454545454, 1e-12);
  EXPECT_NEAR(k.d, 0.1239583333333333, 1e-12);
  // Through the whole preparation as well.
  SurfacePreparationInput in;
  in.roughDiffuse = 0.5;
  EXPECT_EQ(prepareSurface(in).orenNayar.b, k.b);
}

}  // namespace
}  // namespace orvik
