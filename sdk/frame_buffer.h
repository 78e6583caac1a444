/* Frame-buffer handler: receives the rendered image line by line. */
#ifndef ORVIK_SDK_FRAME_BUFFER_H
#define ORVIK_SDK_FRAME_BUFFER_H

#include "sdk/handler.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_FBTYPE_BYTE 0  /* lines of unsigned bytes */
#define HOST_FBTYPE_FLOAT 1 /* lines of floats */

typedef struct HostFrameBufferHandler {
  HostInstanceFuncs inst;
  HostItemFuncs item;
  int type;
  /* Results: 0 success. */
  int (*open)(HostInstance inst, int width, int height);
  void (*close)(HostInstance inst);
  int (*begin)(HostInstance inst);
  int (*write)(HostInstance inst, const void *red, const void *green, const void *blue,
               const void *alpha);
  void (*pause)(HostInstance inst);
} HostFrameBufferHandler;

#ifdef __cplusplus
}
#endif

#endif
