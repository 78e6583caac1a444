/* "SurfaceEditor Functions": the host's surface editor. The fourth entry,
   setSurface, makes a surface current so that surface commands act on it. */
#ifndef ORVIK_SDK_SURFACE_EDITOR_H
#define ORVIK_SDK_SURFACE_EDITOR_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_SURFACE_EDITOR_NAME "SurfaceEditor Functions"

typedef struct HostSurfaceEditorFuncs {
  void (*open)(void);
  void (*close)(void);
  int (*isOpen)(void);
  void (*setSurface)(HostSurfaceId surface);
  HostSurfaceId (*currentSurface)(void);
} HostSurfaceEditorFuncs;

#ifdef __cplusplus
}
#endif

#endif
