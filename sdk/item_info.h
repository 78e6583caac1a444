/* "LW Item Info": the scene's items, their names, hierarchy and motion.
   Versions 1..3 extend each other at the end. */
#ifndef ORVIK_SDK_ITEM_INFO_H
#define ORVIK_SDK_ITEM_INFO_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_ITEM_INFO_NAME "LW Item Info"

/* Parameters of `param`: vectors at a time. The W_ ones are in world space;
   the axis vectors carry the item's scaling (a linear light's forward
   vector is as long as the light, an area light's right and up vectors
   span it). */
#define HOST_IP_POSITION 1
#define HOST_IP_RIGHT 2
#define HOST_IP_UP 3
#define HOST_IP_FORWARD 4
#define HOST_IP_ROTATION 5
#define HOST_IP_SCALING 6
#define HOST_IP_PIVOT 7
#define HOST_IP_W_POSITION 8
#define HOST_IP_W_RIGHT 9
#define HOST_IP_W_UP 10
#define HOST_IP_W_FORWARD 11

typedef struct HostItemInfo1 {
  /* First item of a type, in the host's order. For bones `parent` is the
     object whose bones are listed; otherwise it is ignored. */
  HostItemId (*first)(int type, HostItemId parent);
  HostItemId (*next)(HostItemId item);
  HostItemId (*firstChild)(HostItemId parent);
  HostItemId (*nextChild)(HostItemId parent, HostItemId prevChild);
  HostItemId (*parent)(HostItemId item);
  HostItemId (*target)(HostItemId item);
  int (*type)(HostItemId item);
  /* The name as the host shows it, "(n)" suffix included for clones. */
  const char *(*name)(HostItemId item);
  void (*param)(HostItemId item, int param, double time, double vector[3]);
} HostItemInfo1;

typedef struct HostItemInfo2 {
  HostItemId (*first)(int type, HostItemId parent);
  HostItemId (*next)(HostItemId item);
  HostItemId (*firstChild)(HostItemId parent);
  HostItemId (*nextChild)(HostItemId parent, HostItemId prevChild);
  HostItemId (*parent)(HostItemId item);
  HostItemId (*target)(HostItemId item);
  int (*type)(HostItemId item);
  const char *(*name)(HostItemId item);
  void (*param)(HostItemId item, int param, double time, double vector[3]);
  /* Item flags (HOST_ITEMF_*). */
  unsigned int (*flags)(HostItemId item);
} HostItemInfo2;

#define HOST_ITEMF_HIDDEN (1u << 0)
#define HOST_ITEMF_LOCKED (1u << 1)

typedef struct HostItemInfo3 {
  HostItemId (*first)(int type, HostItemId parent);
  HostItemId (*next)(HostItemId item);
  HostItemId (*firstChild)(HostItemId parent);
  HostItemId (*nextChild)(HostItemId parent, HostItemId prevChild);
  HostItemId (*parent)(HostItemId item);
  HostItemId (*target)(HostItemId item);
  int (*type)(HostItemId item);
  const char *(*name)(HostItemId item);
  void (*param)(HostItemId item, int param, double time, double vector[3]);
  unsigned int (*flags)(HostItemId item);
  /* Name of the index-th (from 1) server of a class applied to the item,
     or null. */
  const char *(*server)(HostItemId item, const char *className, int index);
} HostItemInfo3;

#ifdef __cplusplus
}
#endif

#endif
