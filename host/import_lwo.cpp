#include "host/import_lwo.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace orvik::host {

namespace {

// Big-endian reader over a byte range; every read is bounds-checked and a
// read past the end sets `bad` and yields zero.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}

  bool bad() const { return bad_; }
  std::size_t left() const { return static_cast<std::size_t>(end_ - p_); }
  const std::uint8_t* here() const { return p_; }

  std::uint32_t u4() { return static_cast<std::uint32_t>(take(4)); }
  std::uint16_t u2() { return static_cast<std::uint16_t>(take(2)); }
  std::uint8_t u1() { return static_cast<std::uint8_t>(take(1)); }
  float f4() {
    const std::uint32_t bits = u4();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return std::isfinite(f) ? f : 0.0f;
  }
  std::string id() {
    if (left() < 4) return fail(), std::string();
    std::string s(reinterpret_cast<const char*>(p_), 4);
    p_ += 4;
    return s;
  }
  // A zero-terminated string padded to an even length.
  std::string s0() {
    std::string s;
    while (p_ < end_ && *p_ != 0) s += static_cast<char>(*p_++);
    if (p_ >= end_) return fail(), s;
    ++p_;  // terminator
    if ((s.size() + 1) % 2 == 1 && p_ < end_) ++p_;
    return s;
  }
  // Variable-length index: two bytes, or four when the first is 0xFF.
  std::uint32_t vx() {
    if (left() >= 1 && *p_ == 0xFF) return u4() & 0x00FFFFFFu;
    return u2();
  }
  void skip(std::size_t n) {
    if (n > left()) {
      fail();
      p_ = end_;
    } else {
      p_ += n;
    }
  }
  Reader sub(std::size_t n) {
    if (n > left()) {
      fail();
      n = left();
    }
    Reader r(p_, n);
    p_ += n;
    return r;
  }

 private:
  std::uint64_t take(int n) {
    if (left() < static_cast<std::size_t>(n)) {
      fail();
      p_ = end_;
      return 0;
    }
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | *p_++;
    return v;
  }
  void fail() { bad_ = true; }

  const std::uint8_t* p_;
  const std::uint8_t* end_;
  bool bad_ = false;
};

// Older files store glossiness as a specular exponent; this host's
// glossiness g maps to the exponent 2^(10 g + 2).
double glossFromExponent(double exponent) {
  if (exponent <= 4.0) return 0.0;
  return std::clamp((std::log2(exponent) - 2.0) / 10.0, 0.0, 1.0);
}

// LWO2 surface sub-chunk ids for plain scalar channels.
struct ScalarChunk {
  const char* id;
  double Surface::*field;
};
const ScalarChunk kLwo2Scalars[] = {
    {"LUMI", &Surface::luminosity},       {"DIFF", &Surface::diffuse},
    {"SPEC", &Surface::specular},         {"GLOS", &Surface::glossiness},
    {"REFL", &Surface::reflection},       {"TRAN", &Surface::transparency},
    {"TRNL", &Surface::translucency},     {"CLRH", &Surface::colorHighlights},
    {"CLRF", &Surface::colorFilter},      {"SHRP", &Surface::diffuseSharpness},
    {"BUMP", &Surface::bump},             {"RIND", &Surface::refractionIndex},
    {"RBLR", &Surface::reflectionBlurring}, {"TBLR", &Surface::refractionBlurring},
};

// Shader blocks of an LWO2 surface: BLOK with an SHDR header, its FUNC
// sub-chunk naming the server.
void readLwo2Block(Reader block, Surface& s) {
  // The header sub-chunk comes first.
  const std::string headerId = block.id();
  const std::uint16_t headerSize = block.u2();
  Reader header = block.sub(headerSize + (headerSize & 1));
  (void)header;
  if (headerId != "SHDR" || block.bad()) return;
  ShaderRef ref;
  while (block.left() >= 6) {
    const std::string id = block.id();
    const std::uint16_t size = block.u2();
    Reader body = block.sub(size + (size & 1u));
    if (block.bad()) break;
    if (id == "FUNC") {
      ref.server = body.s0();
    } else if (id == "ENAB") {
      ref.enabled = body.u2() != 0;
    }
  }
  if (!ref.server.empty()) s.shaders.push_back(std::move(ref));
}

bool readLwo2Surface(Reader r, std::vector<Surface>& out) {
  Surface s;
  s.name = r.s0();
  (void)r.s0();  // source surface
  // File defaults differ from a new surface's: no specular unless stated.
  s.specular = 0.0;
  s.diffuse = 1.0;
  while (r.left() >= 6 && !r.bad()) {
    const std::string id = r.id();
    const std::uint16_t size = r.u2();
    Reader b = r.sub(size + (size & 1u));
    if (r.bad()) break;
    bool handled = false;
    for (const ScalarChunk& c : kLwo2Scalars)
      if (id == c.id) {
        const double v = b.f4();
        if (!b.bad()) s.*c.field = v;
        handled = true;
        break;
      }
    if (handled) continue;
    if (id == "COLR") {
      const double cr = b.f4(), cg = b.f4(), cb = b.f4();
      if (!b.bad()) s.color = {cr, cg, cb};
    } else if (id == "SIDE") {
      s.doubleSided = (b.u2() & 3) == 3;
    } else if (id == "SMAN") {
      const double a = b.f4();
      if (!b.bad()) {
        s.smoothing = a > 0.0;
        s.smoothingAngle = std::clamp(radiansToDegrees(a), 0.0, 180.0);
      }
    } else if (id == "RFOP") {
      s.reflectionOptions = std::clamp<int>(b.u2(), 0, 3);
    } else if (id == "RSAN") {
      s.reflectionSeamAngle = radiansToDegrees(b.f4());
    } else if (id == "CMNT") {
      s.comment = b.s0();
    } else if (id == "BLOK") {
      readLwo2Block(b, s);
    }
  }
  if (s.refractionIndex <= 0.0) s.refractionIndex = 1.0;
  out.push_back(std::move(s));
  return !r.bad();
}

bool readLwobSurface(Reader r, std::vector<Surface>& out) {
  Surface s;
  s.name = r.s0();
  s.specular = 0.0;
  int flags = 0;
  // Percentages come as integers of 256 ("LUMI") and may be overridden by
  // the float forms ("VLUM").
  while (r.left() >= 6 && !r.bad()) {
    const std::string id = r.id();
    const std::uint16_t size = r.u2();
    Reader b = r.sub(size + (size & 1u));
    if (r.bad()) break;
    if (id == "COLR") {
      const double cr = b.u1(), cg = b.u1(), cb = b.u1();
      s.color = {cr / 255.0, cg / 255.0, cb / 255.0};
    } else if (id == "FLAG") {
      flags = b.u2();
    } else if (id == "LUMI") { s.luminosity = b.u2() / 256.0; }
    else if (id == "DIFF") { s.diffuse = b.u2() / 256.0; }
    else if (id == "SPEC") { s.specular = b.u2() / 256.0; }
    else if (id == "REFL") { s.reflection = b.u2() / 256.0; }
    else if (id == "TRAN") { s.transparency = b.u2() / 256.0; }
    else if (id == "VLUM") { s.luminosity = b.f4(); }
    else if (id == "VDIF") { s.diffuse = b.f4(); }
    else if (id == "VSPC") { s.specular = b.f4(); }
    else if (id == "VRFL") { s.reflection = b.f4(); }
    else if (id == "VTRN") { s.transparency = b.f4(); }
    else if (id == "GLOS") { s.glossiness = glossFromExponent(b.u2()); }
    else if (id == "RFLT") { s.reflectionOptions = std::clamp<int>(b.u2(), 0, 3); }
    else if (id == "RIND") { const double v = b.f4(); if (v > 0.0) s.refractionIndex = v; }
    else if (id == "SMAN") {
      const double a = b.f4();
      s.smoothingAngle = std::clamp(radiansToDegrees(a), 0.0, 180.0);
    } else if (id == "SHDR") {
      ShaderRef ref;
      ref.server = b.s0();
      if (!ref.server.empty()) s.shaders.push_back(std::move(ref));
    }
  }
  constexpr int kFlagSmoothing = 1 << 2, kFlagColorHighlights = 1 << 3, kFlagColorFilter = 1 << 4,
                kFlagDoubleSided = 1 << 8;
  s.smoothing = (flags & kFlagSmoothing) != 0;
  if (flags & kFlagColorHighlights) s.colorHighlights = 1.0;
  if (flags & kFlagColorFilter) s.colorFilter = 1.0;
  s.doubleSided = (flags & kFlagDoubleSided) != 0;
  out.push_back(std::move(s));
  return !r.bad();
}

}  // namespace

bool looksLikeLwo(const std::uint8_t* data, std::size_t size) {
  return size >= 12 && std::memcmp(data, "FORM", 4) == 0 &&
         (std::memcmp(data + 8, "LWO2", 4) == 0 || std::memcmp(data + 8, "LWOB", 4) == 0 ||
          std::memcmp(data + 8, "LWLO", 4) == 0);
}

std::string parseLwoSurfaces(const std::uint8_t* data, std::size_t size, const std::string& fileName,
                             std::vector<Surface>& out) {
  if (!looksLikeLwo(data, size)) return fileName + ": not an object file (no FORM LWO2/LWOB header)";
  const bool lwo2 = std::memcmp(data + 8, "LWO2", 4) == 0;
  Reader file(data, size);
  file.skip(4);
  const std::uint32_t formSize = file.u4();
  file.skip(4);
  // A form size beyond the data is read as far as the data goes.
  Reader form = file.sub(std::min<std::size_t>(formSize >= 4 ? formSize - 4 : 0, file.left()));
  std::vector<Surface> surfaces;
  while (form.left() >= 8) {
    const std::size_t offset = static_cast<std::size_t>(form.here() - data);
    const std::string id = form.id();
    const std::uint32_t chunkSize = form.u4();
    if (chunkSize > form.left())
      return fileName + ": chunk " + id + " at byte " + std::to_string(offset) + " runs past the end of the file";
    Reader chunk = form.sub(chunkSize);
    if (chunkSize & 1u) form.skip(std::min<std::size_t>(1, form.left()));
    if (id != "SURF") continue;
    const bool ok = lwo2 ? readLwo2Surface(chunk, surfaces) : readLwobSurface(chunk, surfaces);
    if (!ok) return fileName + ": surface chunk at byte " + std::to_string(offset) + " is cut short";
  }
  out = std::move(surfaces);
  return "";
}

std::string parseLwoGeometry(const std::uint8_t* data, std::size_t size, const std::string& fileName, Mesh& mesh,
                             std::vector<std::string>& surfaceNames) {
  if (!looksLikeLwo(data, size)) return fileName + ": not an object file (no FORM LWO2/LWOB header)";
  const bool lwo2 = std::memcmp(data + 8, "LWO2", 4) == 0;
  Reader file(data, size);
  file.skip(4);
  const std::uint32_t formSize = file.u4();
  file.skip(4);
  Reader form = file.sub(std::min<std::size_t>(formSize >= 4 ? formSize - 4 : 0, file.left()));
  Mesh out;
  std::vector<std::string> names;
  std::vector<std::vector<std::uint32_t>> polygons;  // point indices
  std::vector<std::uint32_t> polygonSurface;
  std::size_t layerBase = 0;     // first point of the current layer
  std::size_t layerPolygons = 0;  // first polygon of the current layer
  auto cutShort = [&](const char* id) { return fileName + ": chunk " + std::string(id) + " is cut short"; };
  while (form.left() >= 8) {
    const std::string id = form.id();
    const std::uint32_t chunkSize = form.u4();
    if (chunkSize > form.left()) return fileName + ": chunk " + id + " runs past the end of the file";
    Reader c = form.sub(chunkSize);
    if (chunkSize & 1u) form.skip(std::min<std::size_t>(1, form.left()));
    if (id == "LAYR") {
      layerBase = out.positions.size();
      layerPolygons = polygons.size();
    } else if (id == "PNTS") {
      if (chunkSize % 12 != 0) return cutShort("PNTS");
      while (c.left() >= 12) {
        const double x = c.f4(), y = c.f4(), z = c.f4();
        out.positions.push_back({x, y, z});
      }
    } else if (id == "SRFS" || id == "TAGS") {
      while (c.left() > 0 && !c.bad()) names.push_back(c.s0());
    } else if (id == "POLS") {
      std::string type = "FACE";
      if (lwo2) type = c.id();
      const std::size_t points = out.positions.size();
      while (c.left() >= 2 && !c.bad()) {
        std::uint16_t count = c.u2();
        if (lwo2) count &= 0x03FF;  // the top bits are flags
        std::vector<std::uint32_t> poly;
        for (std::uint16_t k = 0; k < count && !c.bad(); ++k) {
          const std::uint32_t v = static_cast<std::uint32_t>((lwo2 ? c.vx() : c.u2()) + (lwo2 ? layerBase : 0));
          if (v >= points) return fileName + ": a polygon names point " + std::to_string(v) + " of " +
                                  std::to_string(points);
          poly.push_back(v);
        }
        std::uint32_t surface = 0;
        if (!lwo2) {
          // Older files: the surface number follows, from 1; negative
          // numbers announce detail polygons, read as ordinary ones.
          const auto sn = static_cast<std::int16_t>(c.u2());
          if (sn < 0) c.u2();
          surface = static_cast<std::uint32_t>(std::max(1, sn < 0 ? -sn : static_cast<int>(sn)) - 1);
        }
        if (c.bad()) return cutShort("POLS");
        if (type == "FACE" || type == "PTCH") {
          polygons.push_back(std::move(poly));
          polygonSurface.push_back(surface);
        }
      }
    } else if (id == "PTAG" && lwo2) {
      if (c.id() != "SURF") continue;
      while (c.left() >= 4 && !c.bad()) {
        const std::size_t poly = layerPolygons + c.vx();
        const std::uint16_t tag = c.u2();
        if (!c.bad() && poly < polygonSurface.size()) polygonSurface[poly] = tag;
      }
    }
  }
  // Surface numbers index the names; triangles fan out of each polygon.
  for (std::size_t p = 0; p < polygons.size(); ++p) {
    const auto& poly = polygons[p];
    const std::uint32_t surface = polygonSurface[p] < names.size() ? polygonSurface[p] : 0;
    for (std::size_t k = 2; k < poly.size(); ++k) {
      Triangle t;
      t.v[0] = poly[0];
      t.v[1] = poly[k - 1];
      t.v[2] = poly[k];
      t.surface = surface;
      out.triangles.push_back(t);
    }
  }
  if (out.triangles.empty()) return fileName + ": the object has no polygons";
  out.normals.assign(out.positions.size(), Vec3{});
  for (const Triangle& t : out.triangles) {
    const Vec3 n = cross(out.positions[t.v[1]] - out.positions[t.v[0]], out.positions[t.v[2]] - out.positions[t.v[0]]);
    for (std::uint32_t v : t.v) out.normals[v] += n;
  }
  for (Vec3& n : out.normals) n = normalize(n);
  out.uvs.assign(out.positions.size(), Vec2{});
  mesh = std::move(out);
  surfaceNames = std::move(names);
  return "";
}

std::string readLwoSurfaces(const std::string& path, std::vector<Surface>& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return path + ": cannot open the file";
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return parseLwoSurfaces(bytes.data(), bytes.size(), path, out);
}

}  // namespace orvik::host
