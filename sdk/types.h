/* Basic types shared by every part of the host's plug-in interface. */
#ifndef ORVIK_SDK_TYPES_H
#define ORVIK_SDK_TYPES_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque handles the host hands out. A null handle means "no item". */
typedef struct HostItem_ *HostItemId;
typedef struct HostImage_ *HostImageId;
typedef struct HostSurface_ *HostSurfaceId;
typedef struct HostPoint_ *HostPointId;
typedef struct HostPolygon_ *HostPolygonId;

/* The global-service function: returns the service published under `name`,
   or null when the host has no such service. */
typedef void *(*HostGlobalFunc)(const char *name, int useFlags);

/* useFlags of the global-service function. */
#define HOST_GFUSE_TRANSIENT 0 /* borrowed for the duration of a call */
#define HOST_GFUSE_ACQUIRE 1   /* kept until released */
#define HOST_GFUSE_RELEASE 2   /* gives back an acquired service */

/* Scene item types (item service `type`). */
#define HOST_ITEM_OBJECT 0
#define HOST_ITEM_LIGHT 1
#define HOST_ITEM_CAMERA 2
#define HOST_ITEM_BONE 3

/* Error text convention of instance callbacks: null means success. */
typedef const char *HostError;

#ifdef __cplusplus
}
#endif

#endif
