#include "master/group_factors.h"

namespace orvik {

std::uint32_t lightGroupMask(const GroupSource* groups, const void* light) {
    if (!groups) return 0;
    std::uint32_t mask = 0;
    for (int i = 0; i < kLightGroupCount; ++i) {
        const GroupItems members = groups->lights(i);
        for (int n = 0; n < members.count; ++n)
            if (members.items[n] == light) {
                mask |= 1u << i;
                break;
            }
    }
    return mask;
}

void applyGroupFactors(const GroupSource* groups, std::uint32_t mask, const void* object, double& intensity,
                       double& shadowOpacity) {
    if (groups) applyGroupFactorsOf(*groups, mask, object, intensity, shadowOpacity);
}

}  // namespace orvik
