/* The module descriptor the host looks up in a loaded library, the server
   records it lists, their tags, and the activation signature. */
#ifndef ORVIK_SDK_MODULE_DESCRIPTOR_H
#define ORVIK_SDK_MODULE_DESCRIPTOR_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Name of the exported descriptor symbol. */
#define HOST_MODULE_DESCRIPTOR_SYMBOL "_mod_descrip"

#define HOST_MODULE_SYNC 0x04121994u     /* sync word */
#define HOST_MODULE_SYSTEM_VERSION 3     /* system version */
#define HOST_MODULE_MACHINE 0x300u       /* machine word */

/* Server tags: a string and what it is. The list ends with a null string. */
typedef struct HostServerTag {
  const char *string;
  uint32_t tag;
} HostServerTag;

#define HOST_SRVTAG_KIND_USERNAME 0x400u  /* the name users see in menus */
#define HOST_SRVTAG_LANG_US_ENGLISH 0x009u
#define HOST_SRVTAG_USERNAME (HOST_SRVTAG_KIND_USERNAME | HOST_SRVTAG_LANG_US_ENGLISH) /* 0x409 */

/* Activation: called once per server before the host uses it.
   version: the interface version the host offers for the server class;
   global: the global-service function;
   local: the class's handler record, to be filled by the module;
   serverData: the value the module's startup returned. */
typedef int (*HostActivateFunc)(int version, HostGlobalFunc global, void *local, void *serverData);

/* Activation results. */
#define HOST_AFUNC_OK 0
#define HOST_AFUNC_BADVERSION 1
#define HOST_AFUNC_BADGLOBAL 2        /* no global-service function */
#define HOST_AFUNC_BADAPP 4           /* wrong host application */
#define HOST_AFUNC_NO_ITEM_INFO 10    /* "LW Item Info" missing */
#define HOST_AFUNC_NO_OBJECT_INFO 11  /* "LW Object Info" missing */
#define HOST_AFUNC_NO_BONE_INFO 12    /* "LW Bone Info" missing */
#define HOST_AFUNC_NO_LIGHT_INFO 13   /* "LW Light Info" missing */
#define HOST_AFUNC_NO_CAMERA_INFO 14  /* "LW Camera Info" missing */
#define HOST_AFUNC_NO_IMAGE_LIST 15   /* "LW Image List" missing */
#define HOST_AFUNC_NO_SERVICE_16 16   /* unused */
#define HOST_AFUNC_NO_MESSAGES 17     /* "Info Messages" missing */
#define HOST_AFUNC_NO_DIRECTORY 18    /* "Directory Info" missing */
#define HOST_AFUNC_NO_SURFACE_FUNCS 19 /* "Surface Functions" missing */

typedef struct HostServerRecord {
  const char *className;
  const char *name;
  HostActivateFunc activate;
  const HostServerTag *tags; /* may be null */
} HostServerRecord;

typedef struct HostModuleDescriptor {
  uint32_t sync;
  int32_t systemVersion;
  uint32_t machine;
  /* Returns the server data passed to every activation; null means failure. */
  void *(*startup)(void);
  void (*shutdown)(void *serverData);
  /* Server records, ended by a record whose className is null. */
  const HostServerRecord *servers;
} HostModuleDescriptor;

/* Server classes. */
#define HOST_CLASS_SHADER_HANDLER "ShaderHandler"
#define HOST_CLASS_SHADER_INTERFACE "ShaderInterface"
#define HOST_CLASS_MASTER_HANDLER "MasterHandler"
#define HOST_CLASS_MASTER_INTERFACE "MasterInterface"
#define HOST_CLASS_PIXEL_FILTER_HANDLER "PixelFilterHandler"
#define HOST_CLASS_PIXEL_FILTER_INTERFACE "PixelFilterInterface"
#define HOST_CLASS_LAYOUT_GENERIC "LayoutGeneric"
#define HOST_CLASS_FRAME_BUFFER_HANDLER "FrameBufferHandler"

/* Interface-class activations: `local` points to this record; `inst` is the
   instance that the matching handler's create returned. */
typedef struct HostInterfaceRecord {
  void *inst;
  HostItemId item; /* the item the instance belongs to, or null */
} HostInterfaceRecord;

#ifdef __cplusplus
}
#endif

#endif
