/* Generic command: a server the user runs from the host's command lists. */
#ifndef ORVIK_SDK_GENERIC_H
#define ORVIK_SDK_GENERIC_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostLayoutGeneric {
  void *data;
  /* Executes a text command in the host; non-zero on success. */
  int (*evaluate)(void *data, const char *command);
} HostLayoutGeneric;

#ifdef __cplusplus
}
#endif

#endif
