/* "Global Memory" and "Global Render Memory": blocks of memory shared by
   name between plug-ins. Render memory lives for one render session. */
#ifndef ORVIK_SDK_GLOBAL_MEMORY_H
#define ORVIK_SDK_GLOBAL_MEMORY_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_GLOBAL_MEMORY_NAME "Global Memory"
#define HOST_GLOBAL_RENDER_MEMORY_NAME "Global Render Memory"

typedef struct HostGlobalMemory {
  /* Block of that name, or null. */
  void *(*find)(const char *name);
  /* New zeroed block of that name, or null when out of memory. */
  void *(*create)(const char *name, size_t size);
  size_t (*size)(const char *name);
} HostGlobalMemory;

#ifdef __cplusplus
}
#endif

#endif
