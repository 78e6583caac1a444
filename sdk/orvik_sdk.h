/* Umbrella header: the whole host plug-in interface. */
#ifndef ORVIK_SDK_H
#define ORVIK_SDK_H

#include "sdk/types.h"
#include "sdk/module_descriptor.h"
#include "sdk/handler.h"
#include "sdk/save_load.h"
#include "sdk/shader.h"
#include "sdk/master.h"
#include "sdk/pixel_filter.h"
#include "sdk/frame_buffer.h"
#include "sdk/generic.h"

#include "sdk/system_id.h"
#include "sdk/item_info.h"
#include "sdk/light_info.h"
#include "sdk/object_info.h"
#include "sdk/camera_info.h"
#include "sdk/backdrop_info.h"
#include "sdk/bone_info.h"
#include "sdk/image_list.h"
#include "sdk/scene_info.h"
#include "sdk/scene_objects.h"
#include "sdk/interface_info.h"
#include "sdk/compositing_info.h"
#include "sdk/command_interface.h"
#include "sdk/surface_functions.h"
#include "sdk/surface_editor.h"
#include "sdk/info_messages.h"
#include "sdk/global_memory.h"
#include "sdk/file_request.h"
#include "sdk/color_picker.h"
#include "sdk/directory_info.h"
#include "sdk/host_display_info.h"

#endif
