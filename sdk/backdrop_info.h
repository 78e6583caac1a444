/* "LW Backdrop Info": the colour seen where rays leave the scene. */
#ifndef ORVIK_SDK_BACKDROP_INFO_H
#define ORVIK_SDK_BACKDROP_INFO_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_BACKDROP_INFO_NAME "LW Backdrop Info"

#define HOST_BACKDROP_SOLID 0
#define HOST_BACKDROP_GRADIENT 1

typedef struct HostBackdropInfo1 {
  /* Backdrop colour seen along `direction` (need not be unit length). */
  void (*backdrop)(double time, const double direction[3], double color[3]);
  int type;
} HostBackdropInfo1;

typedef struct HostBackdropInfo2 {
  void (*backdrop)(double time, const double direction[3], double color[3]);
  int type;
  /* Gradient colours: zenith, sky, ground, nadir. */
  void (*gradient)(double time, double zenith[3], double sky[3], double ground[3],
                   double nadir[3]);
} HostBackdropInfo2;

#ifdef __cplusplus
}
#endif

#endif
