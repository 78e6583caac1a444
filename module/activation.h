// Activation functions of the fifteen servers, and the small callbacks that
// belong to activation (flags, the shader's description line, the frame
// buffer that discards everything).
#pragma once

#include <cstdint>

#include "sdk/orvik_sdk.h"

namespace orvik {

// Host interface versions the handlers accept.
inline constexpr int kMinimumHandlerVersion = 3;
inline constexpr int kMaximumHandlerVersion = 4;

inline constexpr const char *kVersionMessage = "This plugin requires LW version 6.0 or later";

// Flags words handed to the host.
inline constexpr unsigned kShaderFlags = 0x43E;  // colour, luminous, diffuse, specular, mirror, ray trace
inline constexpr unsigned kMasterFlags = 0;
inline constexpr unsigned kPixelFilterFlags = 0x20000023;

// The no_buffer frame buffer.
inline constexpr int kNoBufferType = HOST_FBTYPE_FLOAT;
inline constexpr uintptr_t kNoBufferInstance = 0x12345678;

// Host commands that put the master and the pixel filter into the scene.
inline constexpr const char *kApplyMasterCommand = "ApplyServer MasterHandler Orvik";
inline constexpr const char *kApplyPixelFilterCommand = "ApplyServer PixelFilterHandler Orvik";

// Description line when the owner gives none.
inline constexpr const char *kDescriptionPlain = "Orvik Lighting and Shading System";

// The version gate of the shader, master and pixel-filter handlers: -1 to go
// on, else the activation's result (the message is shown for old hosts).
int versionGate(int version, HostGlobalFunc global);

int activateShaderHandler(int version, HostGlobalFunc global, void *local, void *serverData);
int activateShaderInterface(int version, HostGlobalFunc global, void *local, void *serverData);
int activateMasterHandler(int version, HostGlobalFunc global, void *local, void *serverData);
int activateMasterInterface(int version, HostGlobalFunc global, void *local, void *serverData);
int activatePixelFilterHandler(int version, HostGlobalFunc global, void *local, void *serverData);
int activatePixelFilterInterface(int version, HostGlobalFunc global, void *local,
                                 void *serverData);
int activateAddPreview(int version, HostGlobalFunc global, void *local, void *serverData);
int activateAddToObjects(int version, HostGlobalFunc global, void *local, void *serverData);
int activateAddToAll(int version, HostGlobalFunc global, void *local, void *serverData);
int activateRemoveFromObjects(int version, HostGlobalFunc global, void *local, void *serverData);
int activateOpenMaster(int version, HostGlobalFunc global, void *local, void *serverData);
int activateRender(int version, HostGlobalFunc global, void *local, void *serverData);
int activateHidePreviews(int version, HostGlobalFunc global, void *local, void *serverData);
int activateHideAll(int version, HostGlobalFunc global, void *local, void *serverData);
int activateNoBuffer(int version, HostGlobalFunc global, void *local, void *serverData);

// Sends a command through the host's "LW Command Interface" (skipped when
// the host has none); true when the host accepted it.
bool sendHostCommand(HostGlobalFunc global, const char *command);

}  // namespace orvik
