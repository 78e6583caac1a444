/* The instance, item and render records that every handler class embeds. */
#ifndef ORVIK_SDK_HANDLER_H
#define ORVIK_SDK_HANDLER_H

#include "sdk/save_load.h"
#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef void *HostInstance;

typedef struct HostInstanceFuncs {
  void *priv; /* server data, passed to create */
  /* Builds an instance for `context` (a surface for shaders, null for the
     scene-wide handlers). On failure returns null and sets *error. */
  HostInstance (*create)(void *priv, void *context, HostError *error);
  void (*destroy)(HostInstance inst);
  HostError (*copy)(HostInstance to, HostInstance from);
  HostError (*load)(HostInstance inst, const HostLoadState *state);
  HostError (*save)(HostInstance inst, const HostSaveState *state);
  /* One-line description for the host's lists. */
  const char *(*descln)(HostInstance inst);
} HostInstanceFuncs;

typedef struct HostItemFuncs {
  /* Items the instance refers to, ended by a null entry. */
  const HostItemId *(*useItems)(HostInstance inst);
  /* Pairs of old and new ids, ended by a null old id. */
  void (*changeID)(HostInstance inst, const HostItemId *ids);
} HostItemFuncs;

/* Render modes passed to init. */
#define HOST_RENDER_MODE_PREVIEW 0
#define HOST_RENDER_MODE_FULL 1

typedef struct HostRenderFuncs {
  HostError (*init)(HostInstance inst, int mode);
  void (*cleanup)(HostInstance inst);
  HostError (*newTime)(HostInstance inst, int frame, double time);
} HostRenderFuncs;

#ifdef __cplusplus
}
#endif

#endif
