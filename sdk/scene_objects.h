/* "Scene Objects": the objects of the scene by index. Versions 1..3. */
#ifndef ORVIK_SDK_SCENE_OBJECTS_H
#define ORVIK_SDK_SCENE_OBJECTS_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_SCENE_OBJECTS_NAME "Scene Objects"

typedef struct HostSceneObjects1 {
  int (*count)(void);
  HostItemId (*object)(int index);
} HostSceneObjects1;

typedef struct HostSceneObjects2 {
  int (*count)(void);
  HostItemId (*object)(int index);
  int (*numPoints)(int index);
  int (*numPolygons)(int index);
} HostSceneObjects2;

typedef struct HostSceneObjects3 {
  int (*count)(void);
  HostItemId (*object)(int index);
  int (*numPoints)(int index);
  int (*numPolygons)(int index);
  /* Number of surfaces of the object. */
  int (*numSurfaces)(int index);
} HostSceneObjects3;

#ifdef __cplusplus
}
#endif

#endif
