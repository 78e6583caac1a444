/* "LW Command Interface": runs a text command in the host. The service is
   the function itself. */
#ifndef ORVIK_SDK_COMMAND_INTERFACE_H
#define ORVIK_SDK_COMMAND_INTERFACE_H

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_COMMAND_INTERFACE_NAME "LW Command Interface"

/* Non-zero when the command was understood and executed. */
typedef int (*HostCommandFunc)(const char *command);

#ifdef __cplusplus
}
#endif

#endif
