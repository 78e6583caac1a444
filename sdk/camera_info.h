/* "LW Camera Info": camera lenses. Versions 1 and 2. */
#ifndef ORVIK_SDK_CAMERA_INFO_H
#define ORVIK_SDK_CAMERA_INFO_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_CAMERA_INFO_NAME "LW Camera Info"

typedef struct HostCameraInfo1 {
  double (*zoomFactor)(HostItemId camera, double time);
  double (*focalLength)(HostItemId camera, double time);
  double (*focalDistance)(HostItemId camera, double time);
} HostCameraInfo1;

typedef struct HostCameraInfo2 {
  double (*zoomFactor)(HostItemId camera, double time);
  double (*focalLength)(HostItemId camera, double time);
  double (*focalDistance)(HostItemId camera, double time);
  /* Horizontal and vertical field of view, radians. */
  void (*fovAngles)(HostItemId camera, double time, double *horizontal, double *vertical);
} HostCameraInfo2;

#ifdef __cplusplus
}
#endif

#endif
