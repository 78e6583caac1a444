/* "System ID" and "Product Info": values, not records. The global-service
   function returns the value itself cast to a pointer. */
#ifndef ORVIK_SDK_SYSTEM_ID_H
#define ORVIK_SDK_SYSTEM_ID_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_SYSTEM_ID_NAME "System ID"
#define HOST_PRODUCT_INFO_NAME "Product Info"

/* System ID: the top four bits name the host module. */
#define HOST_SYSTEM_KIND_MASK 0xF0000000u
#define HOST_SYSTEM_LAYOUT 0x00000000u
#define HOST_SYSTEM_MODELER 0x10000000u
#define HOST_SYSTEM_RENDER_NODE 0x20000000u
#define HOST_SYSTEM_SERIAL_MASK 0x0FFFFFFFu

/* Product Info: major bits 20-23, minor bits 16-19, build bits 4-15. */
#define HOST_PRODUCT_MAJOR(v) ((unsigned)(((uint32_t)(v) >> 20) & 0xFu))
#define HOST_PRODUCT_MINOR(v) ((unsigned)(((uint32_t)(v) >> 16) & 0xFu))
#define HOST_PRODUCT_BUILD(v) ((unsigned)(((uint32_t)(v) >> 4) & 0xFFFu))
#define HOST_PRODUCT_MAKE(major, minor, build) \
  ((((uint32_t)(major) & 0xFu) << 20) | (((uint32_t)(minor) & 0xFu) << 16) | (((uint32_t)(build) & 0xFFFu) << 4))

#ifdef __cplusplus
}
#endif

#endif
