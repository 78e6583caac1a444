// Light groups and their paired object groups: the group mask of a light and
// the intensity and shadow-opacity factors a light gives an object.
#pragma once

#include <bit>
#include <cstdint>

namespace orvik {

constexpr int kLightGroupCount = 12;
constexpr int kObjectGroupCount = 8;

// A run of scene item handles (as the host gives them) in a group's member list.
struct GroupItems {
    const void* const* items = nullptr;
    int count = 0;
};

// Read access to the current group settings. The master implements it on its
// controls; readers call it from render threads, so it only reads.
class GroupSource {
public:
    virtual ~GroupSource() = default;
    virtual GroupItems lights(int lightGroup) const = 0;
    virtual double lightBoost(int lightGroup) const = 0;
    virtual GroupItems objects(int lightGroup, int objectGroup) const = 0;
    virtual double objectBoost(int lightGroup, int objectGroup) const = 0;
    virtual double objectShadow(int lightGroup, int objectGroup) const = 0;
};

// Bit i set when the light is a member of light group i; 0 without a source.
std::uint32_t lightGroupMask(const GroupSource* groups, const void* light);

// For every light group in the mask: intensity times the group's boost, and for
// every listing of the object in one of its object groups, intensity times the
// paired boost and shadow opacity times the paired shadow factor. Nothing
// changes without a source.
void applyGroupFactors(const GroupSource* groups, std::uint32_t mask, const void* object, double& intensity,
                       double& shadowOpacity);

// Calls visit(i) for every light group i of the mask, in ascending order, one set bit at
// a time: a light is in few groups, and every light of every sample asks.
template <class Visit>
[[gnu::always_inline]] inline void forEachLightGroup(std::uint32_t mask, Visit&& visit) {
    for (std::uint32_t rest = mask & ((1u << kLightGroupCount) - 1); rest != 0; rest &= rest - 1)
        visit(std::countr_zero(rest));
}

// applyGroupFactors for any type with GroupSource's reading functions. A source whose
// type is final and whose functions are in sight has its calls inlined: every light of
// every sample asks.
template <class Source>
void applyGroupFactorsOf(const Source& groups, std::uint32_t mask, const void* object, double& intensity,
                         double& shadowOpacity) {
    forEachLightGroup(mask, [&](int i) {
        intensity *= groups.lightBoost(i);
        for (int j = 0; j < kObjectGroupCount; ++j) {
            const GroupItems members = groups.objects(i, j);
            // Every listing counts: an object listed twice gets the pair's factors twice.
            for (int n = 0; n < members.count; ++n)
                if (members.items[n] == object) {
                    intensity *= groups.objectBoost(i, j);
                    shadowOpacity *= groups.objectShadow(i, j);
                }
        }
    });
}

}  // namespace orvik
