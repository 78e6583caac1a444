/* "LW Image List": the host's loaded images. Versions 1..3. Pixel access
   returns 0..255 bytes (version 3 also floats). Coordinates outside the
   image return black. */
#ifndef ORVIK_SDK_IMAGE_LIST_H
#define ORVIK_SDK_IMAGE_LIST_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_IMAGE_LIST_NAME "LW Image List"

typedef struct HostImageList1 {
  HostImageId (*first)(void);
  HostImageId (*next)(HostImageId image);
  /* Loads a file into the list; null when it is no image. */
  HostImageId (*load)(const char *filename);
  const char *(*name)(HostImageId image);
  /* File of the given frame of the image (frame 1 for stills). */
  const char *(*filename)(HostImageId image, int frame);
  int (*isColor)(HostImageId image);
  void (*size)(HostImageId image, int *width, int *height);
  void (*rgb)(HostImageId image, int x, int y, unsigned char rgb[3]);
} HostImageList1;

typedef struct HostImageList2 {
  HostImageId (*first)(void);
  HostImageId (*next)(HostImageId image);
  HostImageId (*load)(const char *filename);
  const char *(*name)(HostImageId image);
  const char *(*filename)(HostImageId image, int frame);
  int (*isColor)(HostImageId image);
  void (*size)(HostImageId image, int *width, int *height);
  void (*rgb)(HostImageId image, int x, int y, unsigned char rgb[3]);
  unsigned char (*alpha)(HostImageId image, int x, int y);
} HostImageList2;

typedef struct HostImageList3 {
  HostImageId (*first)(void);
  HostImageId (*next)(HostImageId image);
  HostImageId (*load)(const char *filename);
  const char *(*name)(HostImageId image);
  const char *(*filename)(HostImageId image, int frame);
  int (*isColor)(HostImageId image);
  void (*size)(HostImageId image, int *width, int *height);
  void (*rgb)(HostImageId image, int x, int y, unsigned char rgb[3]);
  unsigned char (*alpha)(HostImageId image, int x, int y);
  /* Linear colour, unclamped. */
  void (*rgbFloat)(HostImageId image, int x, int y, float rgb[3]);
} HostImageList3;

#ifdef __cplusplus
}
#endif

#endif
