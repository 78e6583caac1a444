/* "LW Bone Info": bones. Which object owns a bone is found through the
   item service (bones are listed per object). Versions 1 and 2. */
#ifndef ORVIK_SDK_BONE_INFO_H
#define ORVIK_SDK_BONE_INFO_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_BONE_INFO_NAME "LW Bone Info"

#define HOST_BONEF_ACTIVE (1u << 0)

typedef struct HostBoneInfo1 {
  unsigned int (*flags)(HostItemId bone);
  double (*restLength)(HostItemId bone);
} HostBoneInfo1;

typedef struct HostBoneInfo2 {
  unsigned int (*flags)(HostItemId bone);
  double (*restLength)(HostItemId bone);
  double (*strength)(HostItemId bone);
  /* Name of the weight map the bone uses, or null. */
  const char *(*weightMap)(HostItemId bone);
} HostBoneInfo2;

#ifdef __cplusplus
}
#endif

#endif
