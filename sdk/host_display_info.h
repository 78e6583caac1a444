/* "Host Display Info": the host's main window, for placing and owning the
   module's own windows. */
#ifndef ORVIK_SDK_HOST_DISPLAY_INFO_H
#define ORVIK_SDK_HOST_DISPLAY_INFO_H

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_DISPLAY_INFO_NAME "Host Display Info"

typedef struct HostDisplayInfo {
  /* Window-system connection the host's window lives on (an X11 Display
     pointer), or null when the host has no window. */
  void *display;
  /* The host's main window (an X11 Window id), 0 when it has none. */
  unsigned long mainWindow;
} HostDisplayInfo;

#ifdef __cplusplus
}
#endif

#endif
