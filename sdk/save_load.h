/* Save and load states: the byte streams through which instance settings are
   written into and read from scene files. Settings are text lines. */
#ifndef ORVIK_SDK_SAVE_LOAD_H
#define ORVIK_SDK_SAVE_LOAD_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_IO_TEXT 0
#define HOST_IO_BINARY 1

typedef struct HostSaveState {
  int ioMode;
  void *writeData;
  /* Appends `length` bytes of `text` to the stream. A text line is written
     with its terminating zero counted in `length`; the host ends the line. */
  void (*write)(void *writeData, const char *text, int length);
} HostSaveState;

typedef struct HostLoadState {
  int ioMode;
  void *readData;
  /* Reads up to `length` bytes into `buffer`; returns the number read,
     0 or less at the end of the data. */
  int (*read)(void *readData, char *buffer, int length);
} HostLoadState;

#ifdef __cplusplus
}
#endif

#endif
