/* "LW Light Info": the lights of the scene. Versions 1 and 2 are the older
   interface (cone angles in degrees); "LW Light Info 3" is the newer one,
   published under its own name. */
#ifndef ORVIK_SDK_LIGHT_INFO_H
#define ORVIK_SDK_LIGHT_INFO_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_LIGHT_INFO_NAME "LW Light Info"
#define HOST_LIGHT_INFO_3_NAME "LW Light Info 3"

/* Light types. */
#define HOST_LIGHT_DISTANT 0
#define HOST_LIGHT_POINT 1
#define HOST_LIGHT_SPOT 2
#define HOST_LIGHT_LINEAR 3
#define HOST_LIGHT_AREA 4

/* Shadow types. */
#define HOST_SHADOW_OFF 0
#define HOST_SHADOW_RAYTRACE 1
#define HOST_SHADOW_MAP 2

/* Light flags. */
#define HOST_LIGHTF_LIMITED_RANGE (1u << 0)
#define HOST_LIGHTF_NO_DIFFUSE (1u << 1)
#define HOST_LIGHTF_NO_SPECULAR (1u << 2)

/* Falloff kinds (newer interface). */
#define HOST_FALLOFF_NONE 0
#define HOST_FALLOFF_LINEAR 1
#define HOST_FALLOFF_INVERSE_DISTANCE 2
#define HOST_FALLOFF_INVERSE_DISTANCE_2 3

typedef struct HostLightInfo1 {
  /* Scene ambient light colour times its intensity. */
  void (*ambient)(double time, double color[3]);
  int (*type)(HostItemId light);
  /* Light colour (0..1 per channel), without intensity. */
  void (*color)(HostItemId light, double time, double color[3]);
  double (*intensity)(HostItemId light, double time);
  int (*shadowType)(HostItemId light);
  /* Spot cone radius and soft edge, in degrees. */
  void (*coneAngles)(HostItemId light, double *radius, double *edge);
  unsigned int (*flags)(HostItemId light);
  double (*range)(HostItemId light, double time);
} HostLightInfo1;

typedef struct HostLightInfo2 {
  void (*ambient)(double time, double color[3]);
  int (*type)(HostItemId light);
  void (*color)(HostItemId light, double time, double color[3]);
  double (*intensity)(HostItemId light, double time);
  int (*shadowType)(HostItemId light);
  void (*coneAngles)(HostItemId light, double *radius, double *edge);
  unsigned int (*flags)(HostItemId light);
  double (*range)(HostItemId light, double time);
  /* Linear/area light sampling quality. */
  int (*quality)(HostItemId light);
} HostLightInfo2;

typedef struct HostLightInfo3 {
  void (*ambient)(double time, double color[3]);
  int (*type)(HostItemId light);
  void (*color)(HostItemId light, double time, double color[3]);
  double (*intensity)(HostItemId light, double time);
  int (*shadowType)(HostItemId light);
  /* Spot cone radius and soft edge, in radians. */
  void (*coneAngles)(HostItemId light, double time, double *radius, double *edge);
  unsigned int (*flags)(HostItemId light);
  double (*range)(HostItemId light, double time);
  /* Reported quality, may be below 1. */
  int (*quality)(HostItemId light);
  int (*falloff)(HostItemId light);
  /* Image projected by a spot light, or null. */
  HostImageId (*projImage)(HostItemId light);
  /* Shadow colour (0..1 per channel) and its level. */
  void (*shadowColor)(HostItemId light, double time, double color[3]);
  double (*shadowLevel)(HostItemId light, double time);
} HostLightInfo3;

#ifdef __cplusplus
}
#endif

#endif
