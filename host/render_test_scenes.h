// Small scenes built in code for the ray tracing and render tests.
#pragma once

#include "host/scene.h"

namespace orvik::host::testing {

inline TransformKey placeAt(Vec3 position, Vec3 rotationDegrees = {}) {
  TransformKey k;
  k.position = position;
  k.rotation = rotationDegrees;
  return k;
}

inline Surface matte(Color color) {
  Surface s;
  s.name = "matte";
  s.color = color;
  s.diffuse = 1.0;
  s.specular = 0.0;
  return s;
}

inline ItemId addPrimitive(Scene& scene, const char* name, PrimitiveKind kind, Vec3 position,
                           Surface surface, Vec3 size = {1, 1, 1}, double radius = 0.5) {
  Object o;
  o.name = name;
  o.primitive.kind = kind;
  o.primitive.size = size;
  o.primitive.radius = radius;
  o.surfaces.push_back(surface);
  o.motion.setKey(placeAt(position));
  return scene.addObject(o);
}

inline ItemId addPointLight(Scene& scene, Vec3 position, double intensity = 1.0,
                            Falloff falloff = Falloff::Off, double range = 1.0) {
  Light l;
  l.name = "Light";
  l.type = LightType::Point;
  l.intensity = intensity;
  l.falloff = falloff;
  l.range = range;
  l.motion.setKey(placeAt(position));
  return scene.addLight(l);
}

// A floor (4 x 4 plane at y = 0), no ambient light, a camera looking down
// at it from above.
inline Scene floorScene(int width = 16, int height = 16) {
  Scene scene;
  scene.render.width = width;
  scene.render.height = height;
  scene.ambientIntensity = 0.0;
  addPrimitive(scene, "Floor", PrimitiveKind::Plane, {0, 0, 0}, matte({0.8, 0.8, 0.8}), {4, 1, 4});
  Camera c;
  c.name = "Camera";
  c.zoomFactor = 2.0;
  c.motion.setKey(placeAt({0, 4, 0}, {0, 90, 0}));  // pitched to look straight down
  scene.addCamera(c);
  return scene;
}

}  // namespace orvik::host::testing
