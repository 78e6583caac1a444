// "Surface Functions" and "SurfaceEditor Functions".
#include <cstring>

#include "host/services.h"
#include "host/services_records.h"

namespace orvik::host {

namespace {

HostEnvironment* env() { return HostEnvironment::active(); }

const Surface* surf(HostSurfaceId id) {
  HostEnvironment* e = env();
  return e ? e->surface(id) : nullptr;
}

// The name an object's surfaces are found by: its file, or for built-in
// primitives its name (what the object service reports as its file name).
bool objectMatches(const Object& o, const char* file) {
  if (!file) return false;
  return o.fileName.empty() ? o.name == file : o.fileName == file;
}

HostSurfaceId sfFirst() {
  HostEnvironment* e = env();
  if (!e) return nullptr;
  const Scene& s = e->scene();
  for (std::size_t o = 0; o < s.objects.size(); ++o)
    if (!s.objects[o].surfaces.empty()) return HostEnvironment::surfaceId(o, 0);
  return nullptr;
}

HostSurfaceId sfNext(HostSurfaceId id) {
  HostEnvironment* e = env();
  std::size_t o = 0, i = 0;
  if (!e || !e->decodeSurface(id, o, i)) return nullptr;
  const Scene& s = e->scene();
  if (i + 1 < s.objects[o].surfaces.size()) return HostEnvironment::surfaceId(o, i + 1);
  for (std::size_t n = o + 1; n < s.objects.size(); ++n)
    if (!s.objects[n].surfaces.empty()) return HostEnvironment::surfaceId(n, 0);
  return nullptr;
}

const HostSurfaceId* listOf(const char* name, const char* file) {
  static const HostSurfaceId kNone[1] = {nullptr};
  HostEnvironment* e = env();
  if (!e) return kNone;
  const Scene& s = e->scene();
  e->surfaceList.clear();
  for (std::size_t o = 0; o < s.objects.size(); ++o) {
    if (file && !objectMatches(s.objects[o], file)) continue;
    for (std::size_t i = 0; i < s.objects[o].surfaces.size(); ++i)
      if (!name || s.objects[o].surfaces[i].name == name) e->surfaceList.push_back(HostEnvironment::surfaceId(o, i));
  }
  e->surfaceList.push_back(nullptr);
  return e->surfaceList.data();
}

const HostSurfaceId* sfByObject(const char* file) {
  if (!file) {
    static const HostSurfaceId kNone[1] = {nullptr};
    return kNone;
  }
  return listOf(nullptr, file);
}

const HostSurfaceId* sfByName(const char* name, const char* file) {
  if (!name) {
    static const HostSurfaceId kNone[1] = {nullptr};
    return kNone;
  }
  return listOf(name, file);
}

const char* sfName(HostSurfaceId id) {
  const Surface* s = surf(id);
  return s ? s->name.c_str() : nullptr;
}

const char* sfSceneObject(HostSurfaceId id) {
  HostEnvironment* e = env();
  std::size_t o = 0, i = 0;
  if (!e || !e->decodeSurface(id, o, i)) return nullptr;
  return e->itemName(makeItemId(ItemType::Object, o));
}

int sfGetInt(HostSurfaceId id, const char* channel) {
  const Surface* s = surf(id);
  if (!s || !channel) return 0;
  if (std::strcmp(channel, HOST_SURF_REFLECTION_OPTIONS) == 0) return s->reflectionOptions;
  if (std::strcmp(channel, "Smoothing") == 0) return s->smoothing ? 1 : 0;
  if (std::strcmp(channel, "DoubleSided") == 0) return s->doubleSided ? 1 : 0;
  return 0;
}

double sfGetFlt(HostSurfaceId id, const char* channel) {
  const Surface* s = surf(id);
  if (!s || !channel) return 0.0;
  struct Entry {
    const char* name;
    double value;
  };
  const Entry entries[] = {
      {HOST_SURF_LUMINOSITY, s->luminosity},
      {HOST_SURF_DIFFUSE, s->diffuse},
      {HOST_SURF_SPECULAR, s->specular},
      {HOST_SURF_GLOSSINESS, s->glossiness},
      {HOST_SURF_REFLECTION, s->reflection},
      {HOST_SURF_TRANSPARENCY, s->transparency},
      {HOST_SURF_ETA, s->refractionIndex},
      {HOST_SURF_TRANSLUCENCY, s->translucency},
      {"ColorHighlights", s->colorHighlights},
      {"ColorFilter", s->colorFilter},
      {"DiffuseSharpness", s->diffuseSharpness},
      {"BumpAmplitude", s->bump},
      {"SmoothingAngle", degreesToRadians(s->smoothingAngle)},
      // The seam angle is reported in radians.
      {"ReflectionSeamAngle", degreesToRadians(s->reflectionSeamAngle)},
      {"ReflectionBlurring", s->reflectionBlurring},
      {"RefractionBlurring", s->refractionBlurring},
  };
  for (const Entry& e : entries)
    if (std::strcmp(channel, e.name) == 0) return e.value;
  return 0.0;
}

void sfGetColor(HostSurfaceId id, const char* channel, double color[3]) {
  if (!color) return;
  const Surface* s = surf(id);
  const Vec3 c = s && channel && std::strcmp(channel, HOST_SURF_COLOR) == 0 ? s->color : Vec3{};
  color[0] = c.x;
  color[1] = c.y;
  color[2] = c.z;
}

HostImageId sfGetImg(HostSurfaceId id, const char* channel) {
  const Surface* s = surf(id);
  HostEnvironment* e = env();
  if (!s || !e || !channel) return nullptr;
  if (std::strcmp(channel, HOST_SURF_REFLECTION_IMAGE) == 0) return e->sceneImageId(s->reflectionImage);
  return nullptr;
}

const char* sfShader(HostSurfaceId id, int index) {
  const Surface* s = surf(id);
  if (!s || index < 1 || static_cast<std::size_t>(index) > s->shaders.size()) return nullptr;
  return s->shaders[static_cast<std::size_t>(index) - 1].server.c_str();
}

// ---- SurfaceEditor Functions: the editor has no window here; making a
// surface current is what commands act on.
void seOpen() {}
void seClose() {}
int seIsOpen() { return 0; }
void seSetSurface(HostSurfaceId id) {
  HostEnvironment* e = env();
  if (e) e->currentSurface = e->surface(id) ? id : nullptr;
}
HostSurfaceId seCurrent() {
  HostEnvironment* e = env();
  return e ? e->currentSurface : nullptr;
}

}  // namespace

namespace records {
const HostSurfaceFuncs2 kSurfaceFuncs = {sfFirst,       sfNext,   sfByObject, sfByName, sfName,
                                         sfSceneObject, sfGetInt, sfGetFlt,   sfGetColor, sfGetImg,
                                         sfShader};
const HostSurfaceEditorFuncs kSurfaceEditor = {seOpen, seClose, seIsOpen, seSetSurface, seCurrent};
}  // namespace records

}  // namespace orvik::host
