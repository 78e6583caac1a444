/* "File Request": the host's file requester. The service is the function. */
#ifndef ORVIK_SDK_FILE_REQUEST_H
#define ORVIK_SDK_FILE_REQUEST_H

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_FILE_REQUEST_NAME "File Request"

/* Shows a requester titled `title`, starting with `name` in `path`. On OK
   writes the chosen name, path and full file name (each terminated, within
   its size) and returns 1; on Cancel returns 0; on failure a negative value. */
typedef int (*HostFileRequestFunc)(const char *title, char *name, int nameSize, char *path,
                                   int pathSize, char *fullName, int fullNameSize);

#ifdef __cplusplus
}
#endif

#endif
