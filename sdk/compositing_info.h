/* "LW Compositing Info": the scene's compositing images. */
#ifndef ORVIK_SDK_COMPOSITING_INFO_H
#define ORVIK_SDK_COMPOSITING_INFO_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_COMPOSITING_INFO_NAME "LW Compositing Info"

typedef struct HostCompositingInfo {
  HostImageId bg;      /* background image, or null */
  HostImageId fg;      /* foreground image, or null */
  HostImageId fgAlpha; /* foreground alpha, or null */
} HostCompositingInfo;

#ifdef __cplusplus
}
#endif

#endif
