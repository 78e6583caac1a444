/* "LW Scene Info 2": the scene and its render settings. The record is the
   host's; its data fields stay current while the module runs. */
#ifndef ORVIK_SDK_SCENE_INFO_H
#define ORVIK_SDK_SCENE_INFO_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_SCENE_INFO_NAME "LW Scene Info 2"

/* renderOpts bits. */
#define HOST_ROPT_SHADOWTRACE (1u << 0)  /* ray-traced shadows */
#define HOST_ROPT_REFLECTTRACE (1u << 1) /* ray-traced reflection */
#define HOST_ROPT_REFRACTTRACE (1u << 2) /* ray-traced refraction */
#define HOST_ROPT_FIELDS (1u << 3)       /* field rendering */
#define HOST_ROPT_EVENFIELDS (1u << 4)   /* field rendering, even field first */
#define HOST_ROPT_MOTIONBLUR (1u << 5)
#define HOST_ROPT_DEPTHOFFIELD (1u << 6)
#define HOST_ROPT_LIMITEDREGION (1u << 7)

/* renderType values. */
#define HOST_RTYPE_WIRE 0
#define HOST_RTYPE_QUICK 1
#define HOST_RTYPE_REALISTIC 2

typedef struct HostSceneInfo {
  const char *name;
  const char *filename;
  int numPoints;
  int numPolygons;
  int renderType;
  unsigned int renderOpts;
  int frameStart;
  int frameEnd;
  int frameStep;
  double framesPerSecond;
  int frameWidth;
  int frameHeight;
  double pixelAspect;
  int minSamplesPerPixel;
  int maxSamplesPerPixel;
  /* Rendered region in pixels, inclusive: x0, y0, x1, y1 (the whole frame
     when no limited region is set). */
  int limitedRegion[4];
  int recursionDepth;
  int numThreads;
  /* Camera that renders at `time`. */
  HostItemId (*renderCamera)(double time);
} HostSceneInfo;

#ifdef __cplusplus
}
#endif

#endif
