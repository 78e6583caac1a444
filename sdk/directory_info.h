/* "Directory Info": the host's directories by kind. The service is the
   function; versions 1 and 2 have the same signature. */
#ifndef ORVIK_SDK_DIRECTORY_INFO_H
#define ORVIK_SDK_DIRECTORY_INFO_H

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_DIRECTORY_INFO_NAME "Directory Info"

#define HOST_DIR_CONTENT "Content"
#define HOST_DIR_IMAGES "Images"
#define HOST_DIR_SCENES "Scenes"
#define HOST_DIR_SETTINGS "Settings"

/* Directory of that kind, or null when the host knows none. */
typedef const char *(*HostDirectoryFunc)(const char *kind);

#ifdef __cplusplus
}
#endif

#endif
