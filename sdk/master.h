/* Master handler: a scene-wide instance that hears the host's events. */
#ifndef ORVIK_SDK_MASTER_H
#define ORVIK_SDK_MASTER_H

#include "sdk/handler.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Event codes. */
#define HOST_EVENT_COMMAND 1 /* eventData: the command text */
#define HOST_EVENT_TIME 2    /* the current time changed */

typedef struct HostMasterAccess {
  int eventCode;
  const void *eventData;
  void *data;
  /* Executes a text command in the host; non-zero on success. */
  int (*evaluate)(void *data, const char *command);
} HostMasterAccess;

/* Master types. */
#define HOST_MASTER_SCENE 0
#define HOST_MASTER_OBJECT 1

typedef struct HostMasterHandler {
  HostInstanceFuncs inst;
  HostItemFuncs item;
  int type;
  double (*event)(HostInstance inst, const HostMasterAccess *access);
  unsigned int (*flags)(HostInstance inst);
} HostMasterHandler;

#ifdef __cplusplus
}
#endif

#endif
