/* Pixel filter: called once per pixel and antialiasing pass with the
   pixel's buffers. */
#ifndef ORVIK_SDK_PIXEL_FILTER_H
#define ORVIK_SDK_PIXEL_FILTER_H

#include "sdk/handler.h"
#include "sdk/shader.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Buffer numbers of getVal and setVal; a call reads `num` consecutive
   buffers starting at `type`. */
#define HOST_BUF_RED 0
#define HOST_BUF_GREEN 1
#define HOST_BUF_BLUE 2
#define HOST_BUF_ALPHA 3
#define HOST_BUF_DEPTH 4
#define HOST_BUF_LUMINOUS 5
#define HOST_BUF_DIFFUSE 6
#define HOST_BUF_SPECULAR 7
#define HOST_BUF_MIRROR 8
#define HOST_BUF_TRANSPARENCY 9
#define HOST_BUF_COUNT 10

/* The filter's context: the create context says whether the filter is
   applied to a render or to a single image. */
#define HOST_FILTER_CONTEXT_RENDER 0
#define HOST_FILTER_CONTEXT_IMAGE 1

typedef struct HostFilterAccess {
  double sx, sy; /* pixel position of the sample, fractional */
  void *filterData;
  void (*getVal)(void *filterData, int type, int num, float *out);
  void (*setVal)(void *filterData, int type, int num, const float *in);
  void (*setRGBA)(void *filterData, const float rgba[4]);
  void *rayData;
  HostIlluminateFunc illuminate;
  HostRayTraceFunc rayTrace;
  HostRayCastFunc rayCast;
  HostRayShadeFunc rayShade;
} HostFilterAccess;

typedef struct HostPixelFilterHandler {
  HostInstanceFuncs inst;
  HostItemFuncs item;
  HostRenderFuncs rend;
  void (*evaluate)(HostInstance inst, const HostFilterAccess *access);
  /* Bit n asks for buffer n; the high bits are host options. */
  unsigned int (*flags)(HostInstance inst);
} HostPixelFilterHandler;

#ifdef __cplusplus
}
#endif

#endif
