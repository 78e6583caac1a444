/* "LW Object Info": objects of the scene. Versions 1..4. */
#ifndef ORVIK_SDK_OBJECT_INFO_H
#define ORVIK_SDK_OBJECT_INFO_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_OBJECT_INFO_NAME "LW Object Info"

/* Shadow options. */
#define HOST_OSHADOW_SELF (1u << 0)
#define HOST_OSHADOW_CAST (1u << 1)
#define HOST_OSHADOW_RECEIVE (1u << 2)

typedef struct HostObjectInfo1 {
  /* File the object was loaded from (used to find its surfaces). */
  const char *(*filename)(HostItemId object);
  int (*numPoints)(HostItemId object);
  int (*numPolygons)(HostItemId object);
  unsigned int (*shadowOpts)(HostItemId object);
  double (*dissolve)(HostItemId object, double time);
} HostObjectInfo1;

typedef struct HostObjectInfo2 {
  const char *(*filename)(HostItemId object);
  int (*numPoints)(HostItemId object);
  int (*numPolygons)(HostItemId object);
  unsigned int (*shadowOpts)(HostItemId object);
  double (*dissolve)(HostItemId object, double time);
  /* Non-zero when the light is in the object's exclusion list. */
  int (*excludeLight)(HostItemId object, HostItemId light);
} HostObjectInfo2;

typedef struct HostObjectInfo3 {
  const char *(*filename)(HostItemId object);
  int (*numPoints)(HostItemId object);
  int (*numPolygons)(HostItemId object);
  unsigned int (*shadowOpts)(HostItemId object);
  double (*dissolve)(HostItemId object, double time);
  int (*excludeLight)(HostItemId object, HostItemId light);
  /* Object render flags (HOST_OBJF_*). */
  unsigned int (*flags)(HostItemId object);
} HostObjectInfo3;

#define HOST_OBJF_UNSEEN_BY_CAMERA (1u << 0)
#define HOST_OBJF_UNSEEN_BY_RAYS (1u << 1)

typedef struct HostObjectInfo4 {
  const char *(*filename)(HostItemId object);
  int (*numPoints)(HostItemId object);
  int (*numPolygons)(HostItemId object);
  unsigned int (*shadowOpts)(HostItemId object);
  double (*dissolve)(HostItemId object, double time);
  int (*excludeLight)(HostItemId object, HostItemId light);
  unsigned int (*flags)(HostItemId object);
  /* Name of the object as stored in the scene file. */
  const char *(*storedName)(HostItemId object);
} HostObjectInfo4;

#ifdef __cplusplus
}
#endif

#endif
