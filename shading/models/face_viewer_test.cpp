#include "shading/models/face_viewer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "shading/models/bias.h"
#include "shading/models/bump_normal.h"

namespace orvik {
namespace {

constexpr double kTol = 1e-12;

TEST(Bias, ClampsAndIdentityAtHalf) {
    EXPECT_EQ(bias(-0.5, 0.3), 0.0);
    EXPECT_EQ(bias(1.5, 0.3), 1.0);
    EXPECT_NEAR(bias(0.37, 0.5), 0.37, kTol);
    // Schlick's bias maps 0.5 to b.
    EXPECT_NEAR(bias(0.5, 0.2), 0.2, kTol);
    EXPECT_NEAR(bias(0.5, 0.9), 0.9, kTol);
}

TEST(FaceViewer, FacingNormalsPassUnchanged) {
    const Vec3 v{0.0, 0.0, 1.0};
    const Vec3 n = normalize({0.0, 1.0, 0.05});
    const FacedNormal f = faceViewer(v, n);
    EXPECT_EQ(f.normal, n);
    EXPECT_DOUBLE_EQ(f.cosine, dot(v, n));
}

TEST(FaceViewer, AwayNormalBentJustAboveTheMinimumCosine) {
    // A normal at cosine -0.5 is bent so that its cosine becomes 0.5^51.5151... * 0.0071388135433 + 0.0002.
    const Vec3 v{0.0, 0.0, 1.0};
    const Vec3 n{std::sqrt(0.75), 0.0, -0.5};
    const FacedNormal f = faceViewer(v, n);
    const double expected = std::pow(0.5, 51.51515151515151) * 0.0071388135433 + 0.0002;
    EXPECT_NEAR(f.cosine, expected, kTol);
    EXPECT_GT(f.cosine, 0.0002);
    EXPECT_NEAR(dot(v, f.normal), expected, kTol);
    EXPECT_NEAR(length(f.normal), 1.0, kTol);
    // The bend stays in the plane of n and v.
    EXPECT_NEAR(f.normal.y, 0.0, kTol);
    EXPECT_GT(f.normal.x, 0.0);
}

TEST(FaceViewer, OpposedNormalBecomesTheView) {
    const Vec3 v = normalize({1.0, 2.0, 3.0});
    const FacedNormal f = faceViewer(v, -v);
    EXPECT_EQ(f.normal, v);
    EXPECT_EQ(f.cosine, 1.0);
}

TEST(FaceViewer, ContinuousWhereTheBendStarts) {
    const Vec3 v{0.0, 0.0, 1.0};
    const double d = 0.02 - 1e-9;
    const FacedNormal f = faceViewer(v, {std::sqrt(1.0 - d * d), 0.0, d});
    EXPECT_NEAR(f.cosine, 0.02, 1e-4);
}

TEST(BlendBumpNormal, ReproducesScalesAndExaggeratesTheBump) {
    const Vec3 n0{0.0, 1.0, 0.0};
    const Vec3 n = normalize({0.3, 1.0, 0.0});
    const Vec3 full = blendBumpNormal(n0, n, 1.0);
    EXPECT_NEAR(full.x, n.x, 1e-5);
    EXPECT_NEAR(full.y, n.y, 1e-5);
    EXPECT_EQ(blendBumpNormal(n0, n, 0.0), n0);
    const Vec3 more = blendBumpNormal(n0, n, 2.0);
    EXPECT_LT(dot(more, n0), dot(full, n0));
    EXPECT_NEAR(length(more), 1.0, kTol);
}

TEST(BlendBumpNormal, PerpendicularBumpStaysFinite) {
    // A bumped normal whose cosine with n0 cancels the guard term would divide by zero.
    const Vec3 n0{0.0, 1.0, 0.0};
    const Vec3 n{std::sqrt(1.0 - 1e-10), -0.00001, 0.0};
    const Vec3 r = blendBumpNormal(n0, n, 1.0);
    EXPECT_TRUE(std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.z));
    EXPECT_NEAR(length(r), 1.0, kTol);
}

TEST(Normalize, ZeroVectorFallsBackToUp) {
    EXPECT_EQ(normalize({0.0, 0.0, 0.0}), (Vec3{0.0, 1.0, 0.0}));
}

}  // namespace
}  // namespace orvik
