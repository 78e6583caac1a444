// The reference host's in-memory scene: objects with their meshes or
// built-in primitives and surfaces, lights of the five types, cameras, bones,
// images, render options and the scene-wide plug-in blocks.
//
// Items are addressed by ItemId: the item type plus one in the top four bits
// and the index within its type's list plus one in the low 28 bits, so that
// 0 is "no item" and an id never changes while the lists only grow. The same numbers
// are handed to the module as opaque item ids.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/scene_math.h"

namespace orvik::host {

// Item types in the host's numbering (object 0, light 1, camera 2, bone 3).
enum class ItemType : int { Object = 0, Light = 1, Camera = 2, Bone = 3 };
constexpr int kItemTypeCount = 4;

using ItemId = std::uint32_t;
constexpr ItemId kNoItem = 0;
constexpr ItemId kItemIndexMask = 0x0FFFFFFFu;
constexpr int kItemTypeShift = 28;

constexpr ItemId makeItemId(ItemType type, std::size_t index) {
  return (static_cast<ItemId>(static_cast<int>(type) + 1) << kItemTypeShift) |
         static_cast<ItemId>(index + 1);
}
// Type of a well-formed id; callers check validity through Scene::contains.
constexpr ItemType itemTypeOf(ItemId id) {
  return static_cast<ItemType>(static_cast<int>(id >> kItemTypeShift) - 1);
}
constexpr std::size_t itemIndexOf(ItemId id) { return (id & kItemIndexMask) - 1; }

// One key of an item's motion. Rotation is heading, pitch, bank in degrees.
struct TransformKey {
  double time = 0.0;  // seconds
  Vec3 position;
  Vec3 rotation;
  Vec3 scale{1.0, 1.0, 1.0};
};

// Keyframed motion: keys sorted by time, evaluated by linear interpolation,
// held constant before the first and after the last key. No keys = identity.
struct Motion {
  std::vector<TransformKey> keys;

  TransformKey at(double time) const;
  // Inserts or replaces the key at key.time, keeping the keys sorted.
  void setKey(const TransformKey& key);
};

// A scalar that may be keyframed (light intensity, object dissolve, ...).
struct Envelope {
  struct Key {
    double time = 0.0;
    double value = 0.0;
  };
  double value = 0.0;       // used when there are no keys
  std::vector<Key> keys;    // sorted by time

  Envelope() = default;
  Envelope(double v) : value(v) {}  // NOLINT: a constant converts implicitly
  double at(double time) const;
};

// Common part of every item.
struct Item {
  std::string name;        // the base name, without any "(n)" suffix
  ItemId parent = kNoItem;  // parent item, whose transform this one follows
  Motion motion;
  Vec3 pivot;              // local point the rotation and scale act about
  int sourceLine = 0;      // line of the scene file that declared it (messages)
};

// ---------------------------------------------------------------- geometry

struct Triangle {
  std::uint32_t v[3] = {0, 0, 0};  // indices into Mesh::positions
  std::uint32_t surface = 0;        // index into Object::surfaces
};

// A triangle mesh in the object's local space. normals and uvs are either
// empty or one per position.
struct Mesh {
  std::vector<Vec3> positions;
  std::vector<Vec3> normals;
  std::vector<Vec2> uvs;
  std::vector<Triangle> triangles;

  bool empty() const { return triangles.empty(); }
};

enum class PrimitiveKind { None, Sphere, Box, Plane, Torus };

// A built-in primitive, centred on the object's origin. The render side
// tessellates it.
struct Primitive {
  PrimitiveKind kind = PrimitiveKind::None;
  double radius = 0.5;          // sphere; torus major radius
  double minorRadius = 0.15;    // torus tube radius
  Vec3 size{1.0, 1.0, 1.0};     // box edges; plane uses x and z (normal +Y)
  int segments = 32;            // around
  int rings = 16;               // along
};

// ---------------------------------------------------------------- surfaces

// A shader applied to a surface: server name and its settings block, kept as
// the text the module writes (handed over through load and save states).
struct ShaderRef {
  std::string server;    // e.g. "Orvik"
  std::string settings;  // the module's settings text, lines joined by '\n'
  bool enabled = true;
};

enum class BumpKind { None, Noise, Image };

struct BumpTexture {
  BumpKind kind = BumpKind::None;
  double amplitude = 1.0;       // 1 = 100 %
  double frequency = 1.0;       // noise: features per unit
  int image = -1;               // index into Scene::images
  Vec3 scale{1.0, 1.0, 1.0};    // image: planar size along X and Y
};

// The host's surface channels. Percentages are fractions (1.0 = 100 %).
struct Surface {
  std::string name;
  std::string comment;          // free text of the surface

  Color color{0.78, 0.78, 0.78};
  double luminosity = 0.0;
  double diffuse = 1.0;
  double specular = 0.0;
  double glossiness = 0.4;
  double reflection = 0.0;
  double transparency = 0.0;
  double refractionIndex = 1.0;
  double translucency = 0.0;
  double colorHighlights = 0.0;
  double colorFilter = 0.0;
  double diffuseSharpness = 0.0;
  double bump = 1.0;            // bump amplitude multiplier
  BumpTexture bumpTexture;
  bool smoothing = true;
  double smoothingAngle = 89.5;  // degrees
  bool doubleSided = false;

  // Read by the module by name.
  int reflectionOptions = 0;    // 0 backdrop, 1 ray trace + backdrop, 2 image, 3 ray trace + image
  int reflectionImage = -1;     // index into Scene::images
  double reflectionSeamAngle = 0.0;  // degrees
  double reflectionBlurring = 0.0;
  double refractionBlurring = 0.0;

  std::vector<ShaderRef> shaders;  // applied in this order

  // The first shader with this server name, or null.
  const ShaderRef* findShader(const std::string& server) const;
};

// ---------------------------------------------------------------- items

// Shadow option bits of an object.
constexpr int kShadowSelf = 1;
constexpr int kShadowCast = 2;
constexpr int kShadowReceive = 4;

struct Object : Item {
  std::string fileName;         // mesh file, as written in the scene
  Primitive primitive;          // used when kind != None
  Mesh mesh;                    // geometry loaded from fileName (or given inline)
  std::vector<Surface> surfaces;
  int shadowOptions = kShadowSelf | kShadowCast | kShadowReceive;
  Envelope dissolve{0.0};
  bool unseenByCamera = false;
  bool unseenByRays = false;
};

enum class LightType : int { Distant = 0, Point = 1, Spot = 2, Linear = 3, Area = 4 };
constexpr int kLightTypeCount = 5;

// Falloff kinds in the host's numbering.
enum class Falloff : int { Off = 0, Linear = 1, InverseDistance = 2, InverseDistanceSquared = 3 };

enum class ShadowType : int { Off = 0, RayTrace = 1, ShadowMap = 2 };

// Light flag bits as the light service reports them.
constexpr int kLightLimitedRange = 1;
constexpr int kLightNoDiffuse = 2;
constexpr int kLightNoSpecular = 4;

struct Light : Item {
  LightType type = LightType::Point;
  Color color{1.0, 1.0, 1.0};
  Envelope intensity{1.0};
  Falloff falloff = Falloff::Off;
  double range = 1.0;            // falloff / limited range distance, metres
  bool limitedRange = false;
  double coneAngle = 30.0;       // spot: degrees, half-angle of the cone
  double edgeAngle = 5.0;        // spot: soft edge, degrees
  ShadowType shadowType = ShadowType::RayTrace;
  Color shadowColor{0.0, 0.0, 0.0};
  double shadowLevel = 1.0;      // fraction
  double length = 1.0;           // linear light length
  double width = 1.0, height = 1.0;  // area light size
  int quality = 3;               // linear / area light quality
  int projectionImage = -1;      // index into Scene::images, spot lights
  std::vector<std::string> excludedObjects;  // object names this light ignores
  bool noDiffuse = false;
  bool noSpecular = false;

  int flags() const {
    return (limitedRange ? kLightLimitedRange : 0) | (noDiffuse ? kLightNoDiffuse : 0) |
           (noSpecular ? kLightNoSpecular : 0);
  }
};

struct Camera : Item {
  double zoomFactor = 3.2;       // focal length / half the frame height
  double pixelAspect = 1.0;
};

struct Bone : Item {
  ItemId owner = kNoItem;        // the object whose bone list holds this bone
  double restLength = 1.0;
  bool active = true;
};

struct Image {
  std::string name;
  std::string fileName;
};

// ---------------------------------------------------------------- scene-wide

struct Backdrop {
  bool gradient = false;
  Color color{0.0, 0.0, 0.0};          // plain backdrop
  Color zenith{0.0, 0.157, 0.314};
  Color sky{0.47, 0.706, 0.94};
  Color ground{0.196, 0.157, 0.118};
  Color nadir{0.392, 0.314, 0.235};
  double skySqueeze = 2.0;
  double groundSqueeze = 2.0;
  int image = -1;                      // background image for compositing

  // Colour seen along a world direction (gradient: zenith..sky above the
  // horizon, ground..nadir below).
  Color colorAlong(const Vec3& direction) const;
};

struct LimitedRegion {
  bool enabled = false;
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // pixels, inclusive
};

struct RenderOptions {
  int firstFrame = 1;
  int lastFrame = 1;
  int frameStep = 1;
  double fps = 30.0;
  int width = 640;
  int height = 480;
  double pixelAspect = 1.0;
  LimitedRegion region;
  int aaMinSamples = 1;
  int aaMaxSamples = 1;
  bool fieldRendering = false;
  bool rayTraceShadows = true;
  bool rayTraceReflection = true;
  bool rayTraceRefraction = true;
  bool rayTraceTransparency = true;
  bool radiosity = false;
  bool caustics = false;
  int rayRecursionLimit = 16;
  ItemId camera = kNoItem;             // render camera; none = the first camera
};

// A scene-wide plug-in instance (master or pixel filter) with its settings
// text as the module wrote it.
struct PluginBlock {
  std::string serverClass;  // "MasterHandler", "PixelFilterHandler"
  std::string server;       // "Orvik"
  std::string settings;
};

// Render-option bits as the scene service reports them.
constexpr int kRenderShadows = 1;
constexpr int kRenderReflection = 2;
constexpr int kRenderRefraction = 4;
constexpr int kRenderFields = 8;
constexpr int kRenderTransparency = 16;

class Scene {
 public:
  std::string fileName;  // where the scene came from, for messages

  std::vector<Object> objects;
  std::vector<Light> lights;
  std::vector<Camera> cameras;
  std::vector<Bone> bones;
  std::vector<Image> images;

  RenderOptions render;
  Backdrop backdrop;
  Color ambientColor{1.0, 1.0, 1.0};
  double ambientIntensity = 0.05;
  std::vector<PluginBlock> plugins;

  // Adds an item and returns its id.
  ItemId addObject(Object object);
  ItemId addLight(Light light);
  ItemId addCamera(Camera camera);
  ItemId addBone(Bone bone);  // bone.owner must name an object

  bool contains(ItemId id) const;
  std::size_t count(ItemType type) const;
  // Items of a type in the host's order; null past the end.
  ItemId first(ItemType type) const { return nth(type, 0); }
  ItemId next(ItemId id) const;
  ItemId nth(ItemType type, std::size_t index) const;

  // Common part of any item, or null for an unknown id.
  const Item* item(ItemId id) const;
  Item* item(ItemId id);
  const Object* object(ItemId id) const;
  Object* object(ItemId id);
  const Light* light(ItemId id) const;
  Light* light(ItemId id);
  const Camera* camera(ItemId id) const;
  Camera* camera(ItemId id);
  const Bone* bone(ItemId id) const;
  Bone* bone(ItemId id);

  // The name the host shows: the base name for the first item of that name
  // (same type, and same owner for bones), "Name (n)" for the n-th one.
  std::string displayName(ItemId id) const;

  // First item of a type whose display name or base name equals name.
  ItemId find(ItemType type, const std::string& name) const;

  // The render camera: render.camera if valid, else the first camera.
  ItemId renderCamera() const;

  // Local-to-world transform of an item at a time (seconds), parents included.
  Affine worldTransform(ItemId id, double time) const;
  Vec3 worldPosition(ItemId id, double time) const;
  // Unit world axes of an item: right (+X), up (+Y), forward (+Z).
  Vec3 rightVector(ItemId id, double time) const;
  Vec3 upVector(ItemId id, double time) const;
  Vec3 forwardVector(ItemId id, double time) const;

  // Time in seconds of a frame number.
  double frameTime(double frame) const { return render.fps > 0.0 ? frame / render.fps : 0.0; }
  int renderOptionBits() const;
};

}  // namespace orvik::host
