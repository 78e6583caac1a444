// The scene as the ray tracer sees it at one moment: every object's
// triangles in world space with per-corner normals, the surface of each
// triangle, and the lights with their world axes.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/embree_scene.h"
#include "host/image_io.h"
#include "host/scene.h"

namespace orvik::host {

// One object placed in the world for this frame.
struct PlacedObject {
  ItemId id = kNoItem;
  const Object* object = nullptr;
  Affine toWorld;        // object space to world
  Affine toObject;       // world to object space
  uint32_t geometryId = 0;
  std::vector<uint32_t> triangleSurface;           // surface index per triangle
  std::vector<std::array<Vec3f, 3>> cornerNormals;  // object-space smooth normals per corner
  double dissolve = 0.0;
  bool opaqueCaster = false;  // also in RaytraceScene::opaqueCasters()
};

// One light at this moment.
struct PlacedLight {
  ItemId id = kNoItem;
  const Light* light = nullptr;
  LightType type = LightType::Point;
  Vec3 position;
  Vec3 right, up, forward;  // unit world axes
  Color color;              // colour x intensity
  // Area and linear lights: the emitting shape is origin + s u + t v, s and
  // t in [0, 1] (t unused by linear lights).
  Vec3 origin, u, v;
  double cosOuter = -1.0, cosInner = -1.0;  // spot cone
};

// The scene's images, loaded once for a whole render.
struct SceneImages {
  std::vector<std::unique_ptr<ImageBuffer>> images;  // null where a file could not be read
  std::vector<std::string> errors;                   // one message per unreadable image

  static std::shared_ptr<const SceneImages> load(const Scene& scene);
};

class RaytraceScene {
 public:
  // Builds the frame's geometry. The images come from `images`, or are
  // loaded here when it is null. Throws std::runtime_error naming the
  // object when a mesh is unusable.
  RaytraceScene(const Scene& scene, double time, std::shared_ptr<const SceneImages> images = nullptr);

  const Scene& scene() const { return scene_; }
  double time() const { return time_; }
  const EmbreeScene& rays() const { return rays_; }
  // Only the objects that are plain opaque shadow casters (they cast
  // shadows on everything, themselves included, with no transparency or
  // dissolve): a shadow ray blocked here is blocked for good.
  const EmbreeScene& opaqueCasters() const { return opaqueCasters_; }
  // True when every object is such a caster: then the opaque test alone
  // decides every shadow ray.
  bool allCastersOpaque() const { return allCastersOpaque_; }
  bool isOpaqueCaster(const PlacedObject& object) const { return object.opaqueCaster; }
  const std::vector<PlacedObject>& objects() const { return objects_; }
  const std::vector<PlacedLight>& lights() const { return lights_; }

  // The placed object a geometry id belongs to.
  const PlacedObject& objectOfGeometry(uint32_t geometryId) const {
    return objects_[geometryToObject_.at(geometryId)];
  }
  // World-space smooth normal (before bump) at a hit, unit length.
  Vec3 smoothNormal(const RayHit& hit) const;
  // World-space smooth normals of the three corners of the hit triangle.
  std::array<Vec3, 3> cornerNormalsAt(const RayHit& hit) const;
  // World-space face normal of the hit triangle by its winding, unit length.
  Vec3 faceNormal(const RayHit& hit) const;

  // An image of the scene's image list; null when the index is out of range
  // or the file could not be read.
  const ImageBuffer* image(int index) const;
  // Messages of the images that could not be read.
  const std::vector<std::string>& imageErrors() const { return images_->errors; }

 private:
  const Scene& scene_;
  double time_;
  EmbreeScene rays_;
  EmbreeScene opaqueCasters_;
  bool allCastersOpaque_ = true;
  std::vector<PlacedObject> objects_;
  std::vector<size_t> geometryToObject_;
  std::vector<PlacedLight> lights_;
  std::shared_ptr<const SceneImages> images_;
};

// Smooth per-corner normals of a mesh: each corner averages the normals of
// the triangles around its vertex that lie within `maxAngleDegrees` of its
// own triangle (area weighted). Without smoothing every corner gets its
// face normal. Used when a mesh comes without normals.
std::vector<std::array<Vec3f, 3>> cornerNormals(const Mesh& mesh, const std::vector<Surface>& surfaces);

}  // namespace orvik::host
