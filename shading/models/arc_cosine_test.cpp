#include "shading/models/arc_cosine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace orvik {
namespace {

// Distance in units of the last place of the exact value's neighbourhood.
double ulpsApart(double a, double b) {
    return std::fabs(a - b) / (std::nextafter(std::fabs(b), INFINITY) - std::fabs(b));
}

TEST(ArcCosine, StaysWithinOneUnitInTheLastPlaceOfTheLibrary) {
    double worst = 0.0;
    auto check = [&](double x) {
        const double e = ulpsApart(arcCosine(x), std::acos(x));
        if (e > worst) worst = e;
        ASSERT_LE(e, 1.0) << "x = " << x;
    };
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> any(-1.0, 1.0);
    for (int i = 0; i < 200000; ++i) check(any(gen));
    // Both sides of the switch between the two forms, the ends and the middle.
    for (double x : {0.5, -0.5, std::nextafter(0.5, 1.0), std::nextafter(-0.5, -1.0), 1.0, -1.0, 0.0, -0.0, 1e-300,
                     -1e-20, std::nextafter(1.0, 0.0), std::nextafter(-1.0, 0.0)})
        check(x);
    for (int i = -10000; i <= 10000; ++i) check(i / 10000.0);
    EXPECT_EQ(arcCosine(1.0), 0.0);
    EXPECT_EQ(arcCosine(-1.0), std::acos(-1.0));
    EXPECT_TRUE(std::isnan(arcCosine(NAN)));
}

}  // namespace
}  // namespace orvik
