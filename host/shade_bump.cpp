#include "host/shade_bump.h"

#include <algorithm>
#include <cmath>

#include "host/sampling.h"

namespace orvik::host {

namespace {

// Unit gradient of a lattice corner, from a hash of its coordinates.
Vec3 latticeGradient(int x, int y, int z) {
  uint32_t h = hashCombine(hashCombine(hashMix(static_cast<uint32_t>(x)), static_cast<uint32_t>(y)),
                           static_cast<uint32_t>(z));
  const double a = (h & 0xFFFF) * (1.0 / 65536.0) * 2.0 - 1.0;        // z in [-1, 1]
  const double phi = (h >> 16) * (1.0 / 65536.0) * 6.283185307179586;  // angle
  const double r = std::sqrt(std::max(0.0, 1.0 - a * a));
  return {r * std::cos(phi), r * std::sin(phi), a};
}

double fade(double t) { return t * t * t * (t * (t * 6.0 - 15.0) + 10.0); }

double luminance(const ImageBuffer& image, double u, double v) {
  // Planar lookup with wrap-around, bilinear.
  const double x = (u - std::floor(u)) * image.width - 0.5;
  const double y = (1.0 - (v - std::floor(v))) * image.height - 0.5;
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  auto at = [&image](int px, int py) {
    px = ((px % image.width) + image.width) % image.width;
    py = ((py % image.height) + image.height) % image.height;
    const float* p = image.at(px, py);
    return 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2];
  };
  return (at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy) +
         (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy;
}

}  // namespace

double gradientNoise(const Vec3& p) {
  const int x0 = static_cast<int>(std::floor(p.x));
  const int y0 = static_cast<int>(std::floor(p.y));
  const int z0 = static_cast<int>(std::floor(p.z));
  const double fx = p.x - x0, fy = p.y - y0, fz = p.z - z0;
  double corner[2][2][2];
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j)
      for (int k = 0; k < 2; ++k)
        corner[i][j][k] = dot(latticeGradient(x0 + i, y0 + j, z0 + k), Vec3{fx - i, fy - j, fz - k});
  const double u = fade(fx), v = fade(fy), w = fade(fz);
  auto mix = [](double a, double b, double t) { return a + (b - a) * t; };
  const double value =
      mix(mix(mix(corner[0][0][0], corner[1][0][0], u), mix(corner[0][1][0], corner[1][1][0], u), v),
          mix(mix(corner[0][0][1], corner[1][0][1], u), mix(corner[0][1][1], corner[1][1][1], u), v),
          w);
  return std::clamp(value * 1.4, -1.0, 1.0);
}

BumpResult applyBump(const Surface& surface, const ImageBuffer* image, const Vec3& objectPos,
                     const Affine& toWorld, const Vec3& n) {
  BumpResult result{n, 0.0};
  const BumpTexture& bump = surface.bumpTexture;
  const double strength = bump.amplitude * surface.bump;
  if (bump.kind == BumpKind::None || strength == 0.0) return result;

  // Height field and its object-space gradient by central differences.
  Vec3 gradient;
  if (bump.kind == BumpKind::Noise) {
    const double f = std::max(bump.frequency, 1e-9);
    const double h = 0.01 / f;
    const Vec3 p = objectPos * f;
    result.height = gradientNoise(p);
    for (int axis = 0; axis < 3; ++axis) {
      Vec3 d;
      (axis == 0 ? d.x : axis == 1 ? d.y : d.z) = 0.01;
      const double g = (gradientNoise(p + d) - gradientNoise(p - d)) / (2.0 * h);
      (axis == 0 ? gradient.x : axis == 1 ? gradient.y : gradient.z) = g;
    }
    gradient = gradient * (0.05 / f);  // features stay as steep at any frequency
  } else {
    if (!image || image->empty()) return result;
    const double sx = std::max(std::abs(bump.scale.x), 1e-9), sy = std::max(std::abs(bump.scale.y), 1e-9);
    const double u = objectPos.x / sx + 0.5, v = objectPos.y / sy + 0.5;
    const double du = 1.0 / image->width, dv = 1.0 / image->height;
    result.height = luminance(*image, u, v);
    gradient.x = (luminance(*image, u + du, v) - luminance(*image, u - du, v)) / (2.0 * du * sx);
    gradient.y = (luminance(*image, u, v + dv) - luminance(*image, u, v - dv)) / (2.0 * dv * sy);
    gradient = gradient * 0.02;
  }
  result.height *= strength;
  // Tilt the normal against the height gradient's part along the surface.
  Vec3 g = toWorld.direction(gradient) * strength;
  g = g - n * dot(g, n);
  result.normal = normalize(n - g);
  return result;
}

}  // namespace orvik::host
