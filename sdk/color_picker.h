/* "Color Picker": the host's colour requester. The service is the function. */
#ifndef ORVIK_SDK_COLOR_PICKER_H
#define ORVIK_SDK_COLOR_PICKER_H

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_COLOR_PICKER_NAME "Color Picker"

/* Shows the requester with `rgb` (0..1 each) as the start colour. On OK
   writes the chosen colour and returns 1; on Cancel returns 0. */
typedef int (*HostColorPickFunc)(const char *title, double rgb[3]);

#ifdef __cplusplus
}
#endif

#endif
