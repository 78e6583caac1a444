// Reader of the surface chunks of the host's object files (".lwo", both the
// older LWOB and the LWO2 layout). Geometry is left to the general importer;
// this keeps what it drops: luminosity, reflection, translucency, blurring,
// reflection options, sidedness and the shaders applied to each surface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/scene.h"

namespace orvik::host {

// Reads every SURF chunk of the file, in file order. Returns "" or a message
// naming the file and what is wrong. Unknown chunks are skipped.
std::string readLwoSurfaces(const std::string& path, std::vector<Surface>& out);

// The same over bytes already in memory (fileName only for messages).
std::string parseLwoSurfaces(const std::uint8_t* data, std::size_t size, const std::string& fileName,
                             std::vector<Surface>& out);

// Reads the geometry of an object file (points, polygons fanned into
// triangles, every layer) and the surface names the triangles index, in the
// host's own axes. Vertex normals are the averages of the face normals
// around each point. Returns "" or a message naming the file.
std::string parseLwoGeometry(const std::uint8_t* data, std::size_t size, const std::string& fileName, Mesh& mesh,
                             std::vector<std::string>& surfaceNames);

// True when the bytes begin like an object file of this kind.
bool looksLikeLwo(const std::uint8_t* data, std::size_t size);

}  // namespace orvik::host
