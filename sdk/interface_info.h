/* "LW Interface Info": the state of the host's user interface. The record
   is the host's; its data fields stay current. */
#ifndef ORVIK_SDK_INTERFACE_INFO_H
#define ORVIK_SDK_INTERFACE_INFO_H

#include "sdk/types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_INTERFACE_INFO_NAME "LW Interface Info"

typedef struct HostInterfaceInfo {
  double curTime;
  /* Selected items in selection order, ended by a null item. */
  const HostItemId *selItems;
  int previewStart;
  int previewEnd;
  int previewStep;
} HostInterfaceInfo;

#ifdef __cplusplus
}
#endif

#endif
