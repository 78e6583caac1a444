// "LW Image List" and the host's image store.
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "host/services.h"
#include "host/services_records.h"

namespace orvik::host {

namespace {

std::string resolveImagePath(const HostEnvironment& env, const Scene& scene, const std::string& fileName) {
  namespace fs = std::filesystem;
  fs::path p(fileName);
  std::error_code ec;
  // Images are known by one absolute, normal path, whatever folder the scene
  // was read from, so that settings naming them are written the same way.
  const auto canonical = [&ec](const fs::path& found) {
    const fs::path absolute = fs::absolute(found, ec);
    return (ec ? found : absolute).lexically_normal().string();
  };
  if (p.is_absolute()) return canonical(p);
  // Relative to the scene's folder, then to the images and content folders.
  if (!scene.fileName.empty()) {
    const fs::path beside = fs::path(scene.fileName).parent_path() / p;
    if (fs::exists(beside, ec)) return canonical(beside);
  }
  for (const char* kind : {HOST_DIR_IMAGES, HOST_DIR_CONTENT}) {
    auto it = env.directories.find(kind);
    if (it == env.directories.end()) continue;
    const fs::path candidate = fs::path(it->second) / p;
    if (fs::exists(candidate, ec)) return canonical(candidate);
  }
  return p.string();
}

HostImageId toImage(std::size_t index) {
  return reinterpret_cast<HostImageId>(static_cast<std::uintptr_t>(index + 1));
}

HostEnvironment* env() { return HostEnvironment::active(); }

const LoadedImage* img(HostImageId id) {
  HostEnvironment* e = env();
  return e ? e->image(id) : nullptr;
}

HostImageId ilFirst() {
  HostEnvironment* e = env();
  return e && e->imageCount() > 0 ? toImage(0) : nullptr;
}
HostImageId ilNext(HostImageId id) {
  HostEnvironment* e = env();
  if (!e || !e->image(id)) return nullptr;
  const std::size_t next = reinterpret_cast<std::uintptr_t>(id);  // index + 1
  return next < e->imageCount() ? toImage(next) : nullptr;
}
HostImageId ilLoad(const char* fileName) {
  HostEnvironment* e = env();
  return e && fileName ? e->loadImage(fileName) : nullptr;
}
const char* ilName(HostImageId id) {
  const LoadedImage* i = img(id);
  return i ? i->name.c_str() : nullptr;
}
const char* ilFilename(HostImageId id, int /*frame*/) {
  const LoadedImage* i = img(id);
  return i ? i->fileName.c_str() : nullptr;
}
int ilIsColor(HostImageId id) { return img(id) ? 1 : 0; }
void ilSize(HostImageId id, int* w, int* h) {
  const LoadedImage* i = img(id);
  if (w) *w = i ? i->pixels.width : 0;
  if (h) *h = i ? i->pixels.height : 0;
}
// Pixel outside the image, or no image: null (read as black).
const float* pixel(HostImageId id, int x, int y) {
  const LoadedImage* i = img(id);
  if (!i || x < 0 || y < 0 || x >= i->pixels.width || y >= i->pixels.height) return nullptr;
  return i->pixels.at(x, y);
}
unsigned char toByte(float v) {
  if (!(v > 0.0f)) return 0;
  if (v >= 1.0f) return 255;
  return static_cast<unsigned char>(std::lround(v * 255.0f));
}
void ilRgb(HostImageId id, int x, int y, unsigned char rgb[3]) {
  if (!rgb) return;
  const float* p = pixel(id, x, y);
  for (int c = 0; c < 3; ++c) rgb[c] = p ? toByte(p[c]) : 0;
}
unsigned char ilAlpha(HostImageId id, int x, int y) {
  const float* p = pixel(id, x, y);
  return p ? toByte(p[3]) : 0;
}
void ilRgbFloat(HostImageId id, int x, int y, float rgb[3]) {
  if (!rgb) return;
  const float* p = pixel(id, x, y);
  for (int c = 0; c < 3; ++c) rgb[c] = p ? p[c] : 0.0f;
}

}  // namespace

namespace records {
const HostImageList3 kImageList = {ilFirst, ilNext,    ilLoad, ilName,  ilFilename,
                                   ilIsColor, ilSize, ilRgb,  ilAlpha, ilRgbFloat};
}  // namespace records

std::string HostEnvironment::loadSceneImages() {
  std::vector<std::unique_ptr<LoadedImage>> loaded;
  for (const Image& im : scene_->images) {
    auto li = std::make_unique<LoadedImage>();
    li->name = im.name;
    li->fileName = resolveImagePath(*this, *scene_, im.fileName);
    std::string error;
    if (!readImage(li->fileName, li->pixels, error))
      return "image '" + im.name + "': " + (error.empty() ? "cannot read " + li->fileName : error);
    loaded.push_back(std::move(li));
  }
  std::lock_guard<std::mutex> lock(imageMutex_);
  if (images_.size() + loaded.size() > kMaxImages) return "too many images (at most 4096)";
  sceneImageIds_.clear();
  for (auto& li : loaded) {
    images_.push_back(std::move(li));
    sceneImageIds_.push_back(static_cast<int>(images_.size()));
  }
  imageCount_.store(images_.size(), std::memory_order_release);
  refreshRecords();
  return "";
}

const LoadedImage* HostEnvironment::image(HostImageId id) const {
  const std::uintptr_t v = reinterpret_cast<std::uintptr_t>(id);
  if (v == 0 || v > imageCount_.load(std::memory_order_acquire)) return nullptr;
  return images_[v - 1].get();
}

HostImageId HostEnvironment::sceneImageId(int sceneIndex) const {
  if (sceneIndex < 0 || static_cast<std::size_t>(sceneIndex) >= sceneImageIds_.size()) return nullptr;
  return toImage(static_cast<std::size_t>(sceneImageIds_[static_cast<std::size_t>(sceneIndex)] - 1));
}

HostImageId HostEnvironment::loadImage(const std::string& fileName) {
  const std::string path = resolveImagePath(*this, *scene_, fileName);
  // Loading the same file twice gives the same image.
  for (std::size_t i = 0; i < imageCount(); ++i)
    if (images_[i]->fileName == path) return toImage(i);
  auto li = std::make_unique<LoadedImage>();
  li->fileName = path;
  li->name = std::filesystem::path(path).filename().string();
  std::string error;
  if (!readImage(path, li->pixels, error)) return nullptr;
  std::lock_guard<std::mutex> lock(imageMutex_);
  if (images_.size() >= kMaxImages) return nullptr;
  images_.push_back(std::move(li));
  imageCount_.store(images_.size(), std::memory_order_release);
  return toImage(images_.size() - 1);
}

}  // namespace orvik::host
