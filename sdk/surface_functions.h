/* "Surface Functions": surfaces and their channel values. Versions 1, 2. */
#ifndef ORVIK_SDK_SURFACE_FUNCTIONS_H
#define ORVIK_SDK_SURFACE_FUNCTIONS_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_SURFACE_FUNCTIONS_NAME "Surface Functions"

/* Channel names of getInt, getFlt, getColor and getImg. */
#define HOST_SURF_COLOR "BaseColor"
#define HOST_SURF_LUMINOSITY "Luminosity"
#define HOST_SURF_DIFFUSE "Diffuse"
#define HOST_SURF_SPECULAR "Specularity"
#define HOST_SURF_GLOSSINESS "Glossiness"
#define HOST_SURF_REFLECTION "Reflectivity"
#define HOST_SURF_TRANSPARENCY "Transparency"
#define HOST_SURF_ETA "RefractionIndex"
#define HOST_SURF_TRANSLUCENCY "Translucency"
/* Reflection options: bit 0 ray-traced reflection; values below 2 take the
   environment from the backdrop, 2 and above from the reflection image. */
#define HOST_SURF_REFLECTION_OPTIONS "ReflectionOptions"
#define HOST_SURF_REFLECTION_IMAGE "ReflectionImage"

typedef struct HostSurfaceFuncs1 {
  HostSurfaceId (*first)(void);
  HostSurfaceId (*next)(HostSurfaceId surface);
  /* Surfaces of an object, by the object's file name, ended by null. */
  const HostSurfaceId *(*byObject)(const char *objectFile);
  /* Surfaces of a name (within an object when objectFile is not null). */
  const HostSurfaceId *(*byName)(const char *name, const char *objectFile);
  const char *(*name)(HostSurfaceId surface);
  /* Name of the scene object the surface belongs to, or null. */
  const char *(*sceneObject)(HostSurfaceId surface);
  int (*getInt)(HostSurfaceId surface, const char *channel);
  double (*getFlt)(HostSurfaceId surface, const char *channel);
  void (*getColor)(HostSurfaceId surface, const char *channel, double color[3]);
  HostImageId (*getImg)(HostSurfaceId surface, const char *channel);
} HostSurfaceFuncs1;

typedef struct HostSurfaceFuncs2 {
  HostSurfaceId (*first)(void);
  HostSurfaceId (*next)(HostSurfaceId surface);
  const HostSurfaceId *(*byObject)(const char *objectFile);
  const HostSurfaceId *(*byName)(const char *name, const char *objectFile);
  const char *(*name)(HostSurfaceId surface);
  const char *(*sceneObject)(HostSurfaceId surface);
  int (*getInt)(HostSurfaceId surface, const char *channel);
  double (*getFlt)(HostSurfaceId surface, const char *channel);
  void (*getColor)(HostSurfaceId surface, const char *channel, double color[3]);
  HostImageId (*getImg)(HostSurfaceId surface, const char *channel);
  /* Name of the index-th (from 1) shader applied to the surface, or null. */
  const char *(*shader)(HostSurfaceId surface, int index);
} HostSurfaceFuncs2;

#ifdef __cplusplus
}
#endif

#endif
