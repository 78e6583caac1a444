/* Shader handler: the record the host calls for every shading sample of a
   surface that carries the shader, and the per-sample access record. */
#ifndef ORVIK_SDK_SHADER_H
#define ORVIK_SDK_SHADER_H

#include "sdk/handler.h"
#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

struct HostShaderAccess;

/* Ray functions. `rayData` is the record's own rayData field; the host
   uses it to find the render thread's context. Distances are negative
   when the ray hits nothing. */

/* Light reaching `position` from `light`, shadows included, in `color`.
   For a real light `direction` receives the unit vector towards the light;
   for the radiosity and caustics pseudo-items it carries the surface normal
   in. Returns non-zero when any light arrives. */
typedef int (*HostIlluminateFunc)(void *rayData, HostItemId light, const double position[3],
                                  double direction[3], double color[3]);
/* Traces a ray with full shading; `color` receives what it sees (the
   backdrop when it hits nothing). Returns the hit distance. */
typedef double (*HostRayTraceFunc)(void *rayData, const double position[3],
                                   const double direction[3], double color[3]);
/* Distance to the first surface along a ray, without shading. */
typedef double (*HostRayCastFunc)(void *rayData, const double position[3],
                                  const double direction[3]);
/* Finds the first surface along a ray and fills `hit` with its shaded
   sample (the surface's own channel values). Returns the hit distance. */
typedef double (*HostRayShadeFunc)(void *rayData, const double position[3],
                                   const double direction[3], struct HostShaderAccess *hit);

/* Pseudo-items of the illuminate function. */
#define HOST_ILLUMINATE_RADIOSITY ((uintptr_t)0x21000000u)
#define HOST_ILLUMINATE_CAUSTICS ((uintptr_t)0x22000000u)

/* objID values that mean "no object" besides null. */
#define HOST_NO_OBJECT_ID ((uintptr_t)0x10007FFFu)

/* One shading sample. The fields up to `polygon` keep the order of the
   capture kinds 0..34 (the number after each field); the later fields
   follow them. Channel values are inputs the host computed for the surface;
   the outputs are the channel values (older hosts) or the replacement pair. */
typedef struct HostShaderAccess {
  int sx, sy;                  /* 0  pixel of the sample */
  double oPos[3];              /* 1  object-space position */
  double wPos[3];              /* 2  world position */
  double gNorm[3];             /* 3  geometric normal */
  double footprint;            /* 4  size of the sample's footprint on the surface */
  double raySource[3];         /* 5  start of the ray that hit the sample */
  double rayLength;            /* 6  length of that ray */
  double cosine;               /* 7  cosine between the ray and the normal */
  double oXfrm[9];             /* 8  object transform (row-major 3x3) */
  double wXfrm[9];             /* 9  world transform (row-major 3x3) */
  HostItemId objID;            /* 10 object hit; null or HOST_NO_OBJECT_ID: none */
  int polNum;                  /* 11 polygon number */
  double wNorm[3];             /* 12 shading (bumped) normal */
  double color[3];             /* 13 surface colour */
  double luminous;             /* 14 */
  double diffuse;              /* 15 */
  double specular;             /* 16 */
  double mirror;               /* 17 */
  double transparency;         /* 18 */
  double eta;                  /* 19 refraction index */
  double roughness;            /* 20 */
  int flags;                   /* 21 sample kind, written by the shader */
  int bounces;                 /* 22 ray depth: 0 for camera rays */
  HostItemId sourceID;         /* 23 item the ray came from, or null */
  double wNorm0[3];            /* 24 normal before bump */
  double bumpHeight;           /* 25 */
  double translucency;         /* 26 */
  double colorHL;              /* 27 highlight colour value */
  double colorFL;              /* 28 fill-light colour value */
  double addTransparency;      /* 29 additive transparency */
  double difSharpness;         /* 30 diffuse sharpness */
  HostPointId verts[4];        /* 31 polygon corners */
  float vertWeights[4];        /* 32 weights of the corners at the sample */
  int reserved33;              /* 33 keeps the kind numbering; unused */
  HostPolygonId polygon;       /* 34 polygon handle */

  float vertsWPos[4][3];       /* world positions of the four corners */
  double replacement_percentage; /* output: share of replacement_color */
  double replacement_color[3];   /* output: colour that replaces the host's shading */

  void *rayData;               /* context of the ray functions below */
  HostIlluminateFunc illuminate; /* each may be null: the step that needs it is skipped */
  HostRayTraceFunc rayTrace;
  HostRayCastFunc rayCast;
  HostRayShadeFunc rayShade;
} HostShaderAccess;

/* Shader flag bits: the channels the shader changes and its needs. */
#define HOST_SHF_NORMAL (1u << 0)
#define HOST_SHF_COLOR (1u << 1)
#define HOST_SHF_LUMINOUS (1u << 2)
#define HOST_SHF_DIFFUSE (1u << 3)
#define HOST_SHF_SPECULAR (1u << 4)
#define HOST_SHF_MIRROR (1u << 5)
#define HOST_SHF_TRANSP (1u << 6)
#define HOST_SHF_ETA (1u << 7)
#define HOST_SHF_ROUGH (1u << 8)
#define HOST_SHF_TRANSLUCENT (1u << 9)
#define HOST_SHF_RAYTRACE (1u << 10)

typedef struct HostShaderHandler {
  HostInstanceFuncs inst;
  HostItemFuncs item;
  HostRenderFuncs rend;
  /* Null render entries or a null evaluate mean the host skips the call. */
  void (*evaluate)(HostInstance inst, HostShaderAccess *sa);
  unsigned int (*flags)(HostInstance inst);
} HostShaderHandler;

#ifdef __cplusplus
}
#endif

#endif
