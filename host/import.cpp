#include "host/import.h"

#include <algorithm>
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "host/import_lwo.h"
#include "host/import_lws.h"

namespace orvik::host {

namespace {

std::string lowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

Surface surfaceFromMaterial(const aiMaterial* m, unsigned index) {
  Surface s;
  aiString name;
  if (m->Get(AI_MATKEY_NAME, name) == AI_SUCCESS && name.length > 0)
    s.name = name.C_Str();
  else
    s.name = "Material " + std::to_string(index + 1);
  aiColor3D c;
  if (m->Get(AI_MATKEY_COLOR_DIFFUSE, c) == AI_SUCCESS) s.color = {c.r, c.g, c.b};
  float f = 0.0f;
  if (m->Get(AI_MATKEY_OPACITY, f) == AI_SUCCESS) s.transparency = std::clamp(1.0 - f, 0.0, 1.0);
  if (m->Get(AI_MATKEY_REFRACTI, f) == AI_SUCCESS && f > 0.0f) s.refractionIndex = f;
  if (m->Get(AI_MATKEY_REFLECTIVITY, f) == AI_SUCCESS) s.reflection = std::clamp<double>(f, 0.0, 1.0);
  aiColor3D specularColour;
  if (m->Get(AI_MATKEY_COLOR_SPECULAR, specularColour) == AI_SUCCESS)
    s.specular = std::clamp((specularColour.r + specularColour.g + specularColour.b) / 3.0, 0.0, 1.0);
  if (m->Get(AI_MATKEY_SHININESS, f) == AI_SUCCESS && f > 4.0f)
    s.glossiness = std::clamp((std::log2(static_cast<double>(f)) - 2.0) / 10.0, 0.0, 1.0);
  aiColor3D emissive;
  if (m->Get(AI_MATKEY_COLOR_EMISSIVE, emissive) == AI_SUCCESS) {
    const double e = std::max({emissive.r, emissive.g, emissive.b});
    if (e > 0.0) s.luminosity = std::clamp(e, 0.0, 1.0);
  }
  int twoSided = 0;
  if (m->Get(AI_MATKEY_TWOSIDED, twoSided) == AI_SUCCESS) s.doubleSided = twoSided != 0;
  return s;
}

// Geometry and surfaces of an object file by our own readers.
std::string importLwoOurselves(const std::string& path, ImportedMesh& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot open the file";
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ImportedMesh result;
  std::vector<std::string> names;
  std::string err = parseLwoGeometry(bytes.data(), bytes.size(), path, result.mesh, names);
  if (!err.empty()) return err;
  std::vector<Surface> own;
  err = parseLwoSurfaces(bytes.data(), bytes.size(), path, own);
  if (!err.empty()) return err;
  for (const std::string& n : names) {
    Surface s;
    s.name = n;
    for (const Surface& o : own)
      if (o.name == n) s = o;
    result.surfaces.push_back(s);
  }
  if (result.surfaces.empty()) {
    Surface s;
    s.name = "Default";
    result.surfaces.push_back(s);
  }
  for (Triangle& t : result.mesh.triangles)
    if (t.surface >= result.surfaces.size()) t.surface = 0;
  out = std::move(result);
  return "";
}

}  // namespace

std::string importMeshFile(const std::string& path, ImportedMesh& out) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return "mesh file '" + path + "' does not exist";
  if (lowerExtension(path) == ".lwo") {
    // The importer cannot build the older object layout (and leaks when it
    // tries): such files go to our own reader directly.
    std::ifstream in(path, std::ios::binary);
    char head[12] = {};
    in.read(head, sizeof head);
    if (in.gcount() == sizeof head && std::memcmp(head, "FORM", 4) == 0 && std::memcmp(head + 8, "LWOB", 4) == 0) {
      const std::string err = importLwoOurselves(path, out);
      return err.empty() ? "" : "cannot read mesh file '" + path + "': " + err;
    }
  }
  Assimp::Importer importer;
  // The importer hands out right-handed data; mirroring Z and flipping the
  // winding gives the host's left-handed axes with clockwise front faces.
  const unsigned flags = aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                         aiProcess_GenSmoothNormals | aiProcess_PreTransformVertices |
                         aiProcess_SortByPType | aiProcess_MakeLeftHanded | aiProcess_FlipWindingOrder;
  const aiScene* sc = importer.ReadFile(path, flags);
  if ((!sc || (sc->mFlags & AI_SCENE_FLAGS_INCOMPLETE)) && lowerExtension(path) == ".lwo") {
    // The importer refuses some object files (the older layout): read them ourselves.
    const std::string why = importer.GetErrorString();
    const std::string err = importLwoOurselves(path, out);
    return err.empty() ? "" : "cannot read mesh file '" + path + "': " + why + "; " + err;
  }
  if (!sc || (sc->mFlags & AI_SCENE_FLAGS_INCOMPLETE))
    return "cannot read mesh file '" + path + "': " + importer.GetErrorString();

  ImportedMesh result;
  for (unsigned i = 0; i < sc->mNumMaterials; ++i) result.surfaces.push_back(surfaceFromMaterial(sc->mMaterials[i], i));
  if (lowerExtension(path) == ".lwo") {
    // Object files: our own reader keeps what the importer drops; match by name.
    std::vector<Surface> own;
    const std::string err = readLwoSurfaces(path, own);
    if (!err.empty()) return err;
    for (Surface& s : result.surfaces)
      for (const Surface& o : own)
        if (o.name == s.name) s = o;
    for (const Surface& o : own) {
      const bool present = std::any_of(result.surfaces.begin(), result.surfaces.end(),
                                       [&](const Surface& s) { return s.name == o.name; });
      if (!present) result.surfaces.push_back(o);
    }
  }

  Mesh& mesh = result.mesh;
  for (unsigned mi = 0; mi < sc->mNumMeshes; ++mi) {
    const aiMesh* m = sc->mMeshes[mi];
    if (!(m->mPrimitiveTypes & aiPrimitiveType_TRIANGLE)) continue;
    const std::size_t base = mesh.positions.size();
    if (base + m->mNumVertices > std::numeric_limits<std::uint32_t>::max())
      return "mesh file '" + path + "' has too many vertices";
    for (unsigned v = 0; v < m->mNumVertices; ++v) {
      const aiVector3D& p = m->mVertices[v];
      mesh.positions.push_back({p.x, p.y, p.z});
      if (m->mNormals) {
        const aiVector3D& n = m->mNormals[v];
        mesh.normals.push_back(normalize({n.x, n.y, n.z}));
      } else {
        mesh.normals.push_back({0.0, 1.0, 0.0});
      }
      if (m->mTextureCoords[0]) {
        const aiVector3D& t = m->mTextureCoords[0][v];
        mesh.uvs.push_back({t.x, t.y});
      } else {
        mesh.uvs.push_back({0.0, 0.0});
      }
    }
    for (unsigned f = 0; f < m->mNumFaces; ++f) {
      const aiFace& face = m->mFaces[f];
      if (face.mNumIndices != 3) continue;
      Triangle t;
      bool valid = true;
      for (int k = 0; k < 3; ++k) {
        if (face.mIndices[k] >= m->mNumVertices) valid = false;
        t.v[k] = static_cast<std::uint32_t>(base + face.mIndices[k]);
      }
      t.surface = m->mMaterialIndex;
      if (valid) mesh.triangles.push_back(t);
    }
  }
  if (mesh.triangles.empty()) return "mesh file '" + path + "' holds no triangles";
  if (result.surfaces.empty()) {
    Surface s;
    s.name = "Default";
    result.surfaces.push_back(s);
  }
  for (Triangle& t : mesh.triangles)
    if (t.surface >= result.surfaces.size()) t.surface = 0;
  out = std::move(result);
  return "";
}

bool sceneBounds(const Scene& scene, double time, Vec3& lo, Vec3& hi) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  lo = {inf, inf, inf};
  hi = {-inf, -inf, -inf};
  bool any = false;
  auto grow = [&](const Vec3& p) {
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    any = true;
  };
  for (ItemId id = scene.first(ItemType::Object); id != kNoItem; id = scene.next(id)) {
    const Object& o = *scene.object(id);
    const Affine w = scene.worldTransform(id, time);
    for (const Vec3& p : o.mesh.positions) grow(w.point(p));
    const Primitive& pr = o.primitive;
    Vec3 half;
    switch (pr.kind) {
      case PrimitiveKind::Sphere: half = {pr.radius, pr.radius, pr.radius}; break;
      case PrimitiveKind::Box: half = pr.size * 0.5; break;
      case PrimitiveKind::Plane: half = {pr.size.x * 0.5, 0.0, pr.size.z * 0.5}; break;
      case PrimitiveKind::Torus: {
        const double r = pr.radius + pr.minorRadius;
        half = {r, pr.minorRadius, r};
        break;
      }
      case PrimitiveKind::None: continue;
    }
    for (int c = 0; c < 8; ++c)
      grow(w.point({(c & 1) ? half.x : -half.x, (c & 2) ? half.y : -half.y, (c & 4) ? half.z : -half.z}));
  }
  return any;
}

std::string addDefaultRig(Scene& scene) {
  std::string added;
  Vec3 lo, hi;
  const double t0 = scene.frameTime(scene.render.firstFrame);
  if (!sceneBounds(scene, t0, lo, hi)) {
    lo = {-1.0, -1.0, -1.0};
    hi = {1.0, 1.0, 1.0};
  }
  const Vec3 centre = (lo + hi) * 0.5;
  const double radius = std::max(length(hi - lo) * 0.5, 1e-3);
  if (scene.cameras.empty()) {
    // Looks down at the centre from the front and a little above, far enough
    // for the bounding sphere to fit the frame height at the default zoom.
    Camera cam;
    cam.name = "Camera";
    const double pitch = 15.0;
    const double distance = radius * cam.zoomFactor * 1.1 + radius;
    const double p = degreesToRadians(pitch);
    TransformKey k;
    k.position = centre + Vec3{0.0, std::sin(p) * distance, -std::cos(p) * distance};
    k.rotation = {0.0, pitch, 0.0};
    cam.motion.keys = {k};
    scene.addCamera(std::move(cam));
    added += "a camera";
  }
  if (scene.lights.empty()) {
    Light key;
    key.name = "Key Light";
    key.type = LightType::Distant;
    key.intensity = Envelope(1.0);
    key.motion.keys = {TransformKey{0.0, centre + Vec3{-radius, radius * 2.0, -radius * 2.0}, {30.0, 35.0, 0.0}, {1, 1, 1}}};
    scene.addLight(std::move(key));
    Light fill;
    fill.name = "Fill Light";
    fill.type = LightType::Distant;
    fill.intensity = Envelope(0.35);
    fill.shadowType = ShadowType::Off;
    fill.motion.keys = {TransformKey{0.0, centre + Vec3{radius * 2.0, radius, -radius}, {-60.0, 15.0, 0.0}, {1, 1, 1}}};
    scene.addLight(std::move(fill));
    added += std::string(added.empty() ? "" : " and ") + "a key and a fill light";
  }
  return added;
}

SceneReadResult importSceneFile(const std::string& path) {
  const std::string ext = lowerExtension(path);
  SceneReadResult result;
  if (ext == ".orvs") {
    result = loadSceneFile(path);
  } else if (ext == ".lws") {
    result = loadLwsScene(path);
  } else {
    ImportedMesh mesh;
    const std::string err = importMeshFile(path, mesh);
    if (!err.empty()) {
      result.error = err;
      return result;
    }
    Object o;
    o.name = std::filesystem::path(path).stem().string();
    o.fileName = path;
    o.mesh = std::move(mesh.mesh);
    o.surfaces = std::move(mesh.surfaces);
    o.motion.keys = {TransformKey{}};
    result.scene.fileName = path;
    result.scene.addObject(std::move(o));
    result.ok = true;
  }
  if (result.ok) addDefaultRig(result.scene);
  return result;
}

}  // namespace orvik::host
