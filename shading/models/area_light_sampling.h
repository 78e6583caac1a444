#pragma once

#include <array>
#include <cmath>
#include <type_traits>

#include "shading/models/vec3.h"

namespace orvik {

// Placement and adaptive refinement of the samples of a linear or area light, whose
// points are origin + u * edgeU + v * edgeV for u, v in [0, 1].

// Parameter of the projection of p onto one edge, within [0, 1].
double edgeParameter(Vec3 p, Vec3 origin, Vec3 edge, double edgeLengthSquared);

// Where the ray p + t r meets the light's plane through origin with the given normal;
// p itself when the ray runs parallel to the plane (within 1e-5).
Vec3 mirrorPlanePoint(Vec3 p, Vec3 r, Vec3 origin, Vec3 planeNormal);

// Four grid coordinates 0, ., ., 1 from up to two candidates (the foot point and the
// mirror point): candidates outside [0.001, 0.999] are dropped, two closer than 0.001
// merge into their mean. Pass a NaN for a missing candidate.
std::array<double, 4> seedGridCoordinates(double c1, double c2);

enum class CellSplit { Leaf, AcrossU, AcrossV };

// Room for n values that are written before they are read, left uncleared: the light
// loops would otherwise clear hundreds of bytes for every light of every sample.
template <class T, int N>
struct UnclearedArray {
    static_assert(std::is_trivially_destructible_v<T>);
    UnclearedArray() {}
    T& operator[](int i) { return items[i]; }
    const T& operator[](int i) const { return items[i]; }
    union {
        T items[N];
    };
};

// Sample values at a grid point: the lit-weighted and the shadow-weighted response.
struct LightSampleValue {
    Vec3 lit;
    Vec3 shadow;
};

// Corner values of a cell, in the order (ua,va), (ub,va), (ua,vb), (ub,vb): pointers into
// the seed grid or the refinement's own values, so that a cell costs no copies.
using CellCorners = std::array<const LightSampleValue*, 4>;

// Whether a cell of the given weight (its area) and sides is split, and across which
// parameter: where the corners differ most, when that difference times the weight and
// (rawQuality + 1) reaches the threshold and both halves stay at least 0.001 wide.
// Inline: every linear or area light of every sample asks it for nine cells and more.
// withShadow false leaves the shadow triples out, for a light whose are all zero.
[[gnu::always_inline]] inline CellSplit refineCell(const CellCorners& c, double weight, double uSide, double vSide, int rawQuality,
                            double threshold, bool withShadow = true) {
    constexpr double kMinSide = 0.001;
    const auto componentSum = [](Vec3 a) { return std::fabs(a.x) + std::fabs(a.y) + std::fabs(a.z); };
    double du = 0.0;
    double dv = 0.0;
    const auto differences = [&](Vec3 a0, Vec3 a1, Vec3 a2, Vec3 a3) {
        du += componentSum(a0 + a2 - a1 - a3);
        dv += componentSum(a0 + a1 - a2 - a3);
    };
    differences(c[0]->lit, c[1]->lit, c[2]->lit, c[3]->lit);
    if (withShadow) differences(c[0]->shadow, c[1]->shadow, c[2]->shadow, c[3]->shadow);
    if (!(threshold <= (rawQuality + 1) * (du + dv) * weight)) return CellSplit::Leaf;
    if (dv < du) return uSide * 0.5 >= kMinSide ? CellSplit::AcrossU : CellSplit::Leaf;
    return vSide * 0.5 >= kMinSide ? CellSplit::AcrossV : CellSplit::Leaf;
}

// Refinement threshold: fixed without a master, else set by its area-shading quality.
double areaRefineThreshold(bool masterPresent, double areaShadingQuality);

// Number of soft-shadow rays wanted: trunc(quality^2 * 4 * areaFactor * (q + 0.6)^2 * 3 + 1.5)
// within [2, 512]; the (q + 0.6)^2 factor only with a master.
int areaShadowRayCount(int quality, double areaFactor, bool masterPresent, double areaShadowQuality);

// Rays actually cast for a light factor f and lit sum: trunc(n * m), at least 1, with
// m = min(1, 0.3 f litSum); 0 (no shadow test, full transmission) when m <= 0.001.
int areaShadowRaysToCast(int wanted, double lightFactor, double litSum);

// The first batch of shadow rays, at least 2 even when fewer were asked for; when it is
// unanimous the rest is skipped.
int areaShadowFirstBatch(int toCast);

// Adaptive integration over the 3 x 3 cells of a seed grid. eval(u, v) returns the
// LightSampleValue at a light point; onLeaf(ua, ub, va, vb, contribution) hears of every
// leaf cell with its lit contribution. Returns the lit and shadow sums. A light without a
// shadow colour passes withShadow false: its shadow triples are all zero and the cell
// tests skip them.
struct AreaLightSums {
    Vec3 lit;
    Vec3 shadow;
    int samples = 0;
};

template <class Eval, class OnLeaf>
AreaLightSums integrateAreaLight(const std::array<double, 4>& us, const std::array<double, 4>& vs, int rawQuality,
                                 double threshold, Eval&& eval, OnLeaf&& onLeaf, bool withShadow = true);

// integrateAreaLight over a seed grid whose values (row j of vs, column i of us at
// rowStride j + i) the caller has already evaluated; eval serves the refinement. A row
// stride of 0 serves a grid whose rows are all the same (a linear light's) from one row.
template <class Eval, class OnLeaf>
AreaLightSums integrateAreaLightGrid(const std::array<double, 4>& us, const std::array<double, 4>& vs,
                                     const LightSampleValue* grid, int rawQuality, double threshold, Eval&& eval,
                                     OnLeaf&& onLeaf, bool withShadow = true);

namespace detail {
// Cells are split at most this deep, whatever the light's contrast.
inline constexpr int kMaxRefineDepth = 24;

template <class Eval, class OnLeaf>
void refine(double ua, double ub, double va, double vb, const CellCorners& c, double weight, int depth, int rawQuality,
            double threshold, bool withShadow, Eval& eval, OnLeaf& onLeaf, AreaLightSums& sums);

// A cell that is not split adds a quarter of its corners, times its weight, to the sums.
template <class OnLeaf>
[[gnu::always_inline]] inline void addLeaf(double ua, double ub, double va, double vb, const CellCorners& c,
                                           double weight, bool withShadow, OnLeaf& onLeaf, AreaLightSums& sums) {
    const Vec3 lit = (c[0]->lit + c[1]->lit + c[2]->lit + c[3]->lit) * (weight * 0.25);
    sums.lit += lit;
    if (withShadow) sums.shadow += (c[0]->shadow + c[1]->shadow + c[2]->shadow + c[3]->shadow) * (weight * 0.25);
    onLeaf(ua, ub, va, vb, lit);
}

// The two halves of a split cell, each refined in turn.
template <class Eval, class OnLeaf>
void split(CellSplit across, double ua, double ub, double va, double vb, const CellCorners& c, double weight,
           int depth, int rawQuality, double threshold, bool withShadow, Eval& eval, OnLeaf& onLeaf,
           AreaLightSums& sums) {
    if (across == CellSplit::AcrossU) {
        const double um = 0.5 * (ua + ub);
        const LightSampleValue low = eval(um, va), high = eval(um, vb);
        sums.samples += 2;
        refine(ua, um, va, vb, CellCorners{c[0], &low, c[2], &high}, weight * 0.5, depth + 1, rawQuality, threshold,
               withShadow, eval, onLeaf, sums);
        refine(um, ub, va, vb, CellCorners{&low, c[1], &high, c[3]}, weight * 0.5, depth + 1, rawQuality, threshold,
               withShadow, eval, onLeaf, sums);
        return;
    }
    const double vm = 0.5 * (va + vb);
    const LightSampleValue left = eval(ua, vm), right = eval(ub, vm);
    sums.samples += 2;
    refine(ua, ub, va, vm, CellCorners{c[0], c[1], &left, &right}, weight * 0.5, depth + 1, rawQuality, threshold,
           withShadow, eval, onLeaf, sums);
    refine(ua, ub, vm, vb, CellCorners{&left, &right, c[2], c[3]}, weight * 0.5, depth + 1, rawQuality, threshold,
           withShadow, eval, onLeaf, sums);
}

template <class Eval, class OnLeaf>
void refine(double ua, double ub, double va, double vb, const CellCorners& c, double weight, int depth, int rawQuality,
            double threshold, bool withShadow, Eval& eval, OnLeaf& onLeaf, AreaLightSums& sums) {
    const CellSplit across = depth >= kMaxRefineDepth
                                 ? CellSplit::Leaf
                                 : refineCell(c, weight, ub - ua, vb - va, rawQuality, threshold, withShadow);
    if (across == CellSplit::Leaf) {
        addLeaf(ua, ub, va, vb, c, weight, withShadow, onLeaf, sums);
        return;
    }
    split(across, ua, ub, va, vb, c, weight, depth, rawQuality, threshold, withShadow, eval, onLeaf, sums);
}
}  // namespace detail

template <class Eval, class OnLeaf>
AreaLightSums integrateAreaLightGrid(const std::array<double, 4>& us, const std::array<double, 4>& vs,
                                     const LightSampleValue* grid, int rowStride, int rawQuality, double threshold,
                                     Eval&& eval, OnLeaf&& onLeaf, bool withShadow) {
    AreaLightSums sums;
    sums.samples = 16;
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) {
            const double weight = (us[i + 1] - us[i]) * (vs[j + 1] - vs[j]);
            const int at = rowStride * j + i;
            const CellCorners corners{&grid[at], &grid[at + 1], &grid[at + rowStride], &grid[at + rowStride + 1]};
            // Most seed cells are leaves: they are added here, without a call.
            const CellSplit across =
                refineCell(corners, weight, us[i + 1] - us[i], vs[j + 1] - vs[j], rawQuality, threshold, withShadow);
            if (across == CellSplit::Leaf) {
                detail::addLeaf(us[i], us[i + 1], vs[j], vs[j + 1], corners, weight, withShadow, onLeaf, sums);
            } else {
                detail::split(across, us[i], us[i + 1], vs[j], vs[j + 1], corners, weight, 0, rawQuality, threshold,
                              withShadow, eval, onLeaf, sums);
            }
        }
    }
    return sums;
}

template <class Eval, class OnLeaf>
AreaLightSums integrateAreaLight(const std::array<double, 4>& us, const std::array<double, 4>& vs, int rawQuality,
                                 double threshold, Eval&& eval, OnLeaf&& onLeaf, bool withShadow) {
    UnclearedArray<LightSampleValue, 16> grid;  // row j, column i at 4 j + i
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) grid[4 * j + i] = eval(us[i], vs[j]);
    }
    return integrateAreaLightGrid(us, vs, grid.items, 4, rawQuality, threshold, eval, onLeaf, withShadow);
}

}  // namespace orvik
