// A small fake host for the module's unit tests: a global-service function
// serving services by name and version (each can be switched off), and an
// item service over a little scene of objects, lights, cameras and bones.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sdk/orvik_sdk.h"

namespace orvik::testing {

struct FakeItem {
  int type = HOST_ITEM_OBJECT;
  std::string name;
  struct FakeItem *owner = nullptr;  // the object of a bone
  unsigned shadowOptions = HOST_OSHADOW_CAST | HOST_OSHADOW_RECEIVE;
  double dissolve = 0.0;
};

struct FakeSurface {
  std::string name;
  FakeItem *object = nullptr;
};

inline HostItemId idOf(FakeItem *item) { return reinterpret_cast<HostItemId>(item); }
inline FakeItem *itemOf(HostItemId id) { return reinterpret_cast<FakeItem *>(id); }

class FakeHost {
 public:
  FakeHost() {
    current() = this;
    // Every service the module acquires, at the highest version it tries.
    offer(HOST_FILE_REQUEST_NAME, 1);
    offer(HOST_COLOR_PICKER_NAME, 1);
    offer(HOST_INFO_MESSAGES_NAME, 3);
    offer(HOST_DIRECTORY_INFO_NAME, 2);
    offer(HOST_SURFACE_FUNCTIONS_NAME, 2);
    offer(HOST_LIGHT_INFO_3_NAME, 1);
    offer(HOST_LIGHT_INFO_NAME, 2);
    offer(HOST_CAMERA_INFO_NAME, 2);
    offer(HOST_IMAGE_LIST_NAME, 3);
    offer(HOST_BONE_INFO_NAME, 2);
    offer(HOST_ITEM_INFO_NAME, 3);
    offer(HOST_SCENE_OBJECTS_NAME, 3);
    offer(HOST_OBJECT_INFO_NAME, 4);
    offer(HOST_BACKDROP_INFO_NAME, 2);
    offer(HOST_COMMAND_INTERFACE_NAME, 1);
    offer(HOST_SURFACE_EDITOR_NAME, 1);
    offer(HOST_INTERFACE_INFO_NAME, 1);
  }
  ~FakeHost() {
    if (current() == this) current() = nullptr;
  }
  FakeHost(const FakeHost &) = delete;
  FakeHost &operator=(const FakeHost &) = delete;

  static FakeHost *&current() {
    static FakeHost *host = nullptr;
    return host;
  }
  static HostGlobalFunc global() { return &globalFunction; }

  // Services are published as "Name" (version 1) and "Name 2" .. "Name n".
  void offer(const std::string &name, int highestVersion) { versions_[name] = highestVersion; }
  void switchOff(const std::string &name) { versions_.erase(name); }

  uint32_t systemId = HOST_SYSTEM_LAYOUT;
  uint32_t productInfo = HOST_PRODUCT_MAKE(7, 5, 600);

  std::vector<std::string> requests;  // every name asked for, in order
  std::vector<std::string> errors;    // first lines of error messages
  std::vector<std::string> commands;  // commands sent through the command interface
  std::vector<std::string> infos;     // first lines of information messages
  int okCancelAnswer = HOST_ANSWER_OK;
  std::vector<HostItemId> selection;  // selected items, in selection order
  HostSurfaceId currentSurface = nullptr;  // set through the surface editor

  // Scene items, kept in the host's order.
  FakeItem *add(int type, const std::string &name, FakeItem *owner = nullptr) {
    items_.push_back(std::make_unique<FakeItem>(FakeItem{type, name, owner}));
    return items_.back().get();
  }
  FakeSurface *addSurface(FakeItem *object, const std::string &name) {
    surfaces_.push_back(std::make_unique<FakeSurface>(FakeSurface{name, object}));
    return surfaces_.back().get();
  }
  static HostSurfaceId surfaceIdOf(FakeSurface *surface) {
    return reinterpret_cast<HostSurfaceId>(surface);
  }

 private:
  static void *globalFunction(const char *name, int) {
    FakeHost *host = current();
    if (!host || !name) return nullptr;
    host->requests.emplace_back(name);
    return host->lookUp(name);
  }

  void *lookUp(const std::string &name) {
    if (name == HOST_SYSTEM_ID_NAME) return reinterpret_cast<void *>(uintptr_t{systemId});
    if (name == HOST_PRODUCT_INFO_NAME) return reinterpret_cast<void *>(uintptr_t{productInfo});
    for (const auto &[base, highest] : versions_)
      for (int v = 1; v <= highest; ++v)
        if (name == (v == 1 ? base : base + " " + std::to_string(v))) return serviceFor(base);
    return nullptr;
  }

  // ---- item service over the scene ----
  static bool matchesList(const FakeItem *item, int type, const FakeItem *parent) {
    return item->type == type && (type != HOST_ITEM_BONE || item->owner == parent);
  }
  static HostItemId first(int type, HostItemId parent) {
    for (auto &item : current()->items_)
      if (matchesList(item.get(), type, itemOf(parent))) return idOf(item.get());
    return nullptr;
  }
  static HostItemId next(HostItemId id) {
    auto &items = current()->items_;
    const FakeItem *at = itemOf(id);
    bool seen = false;
    for (auto &item : items) {
      if (seen && matchesList(item.get(), at->type, at->owner)) return idOf(item.get());
      if (item.get() == at) seen = true;
    }
    return nullptr;
  }
  static HostItemId noItem(HostItemId) { return nullptr; }
  static HostItemId noChild(HostItemId, HostItemId) { return nullptr; }
  static int type(HostItemId id) { return itemOf(id)->type; }
  static const char *name(HostItemId id) { return itemOf(id)->name.c_str(); }
  static void param(HostItemId, int, double, double v[3]) { v[0] = v[1] = v[2] = 0.0; }
  static unsigned itemFlags(HostItemId) { return 0; }
  static const char *server(HostItemId, const char *, int) { return nullptr; }

  // ---- object service ----
  static const char *filename(HostItemId id) { return itemOf(id)->name.c_str(); }
  static int zero(HostItemId) { return 0; }
  static unsigned shadowOpts(HostItemId id) { return itemOf(id)->shadowOptions; }
  static double dissolve(HostItemId id, double) { return itemOf(id)->dissolve; }
  static int excludeLight(HostItemId, HostItemId) { return 0; }
  static unsigned objectFlags(HostItemId) { return 0; }

  // ---- surfaces, surface editor ----
  static FakeSurface *surfaceOf(HostSurfaceId id) { return reinterpret_cast<FakeSurface *>(id); }
  static HostSurfaceId firstSurface() {
    auto &all = current()->surfaces_;
    return all.empty() ? nullptr : surfaceIdOf(all.front().get());
  }
  static HostSurfaceId nextSurface(HostSurfaceId id) {
    auto &all = current()->surfaces_;
    for (size_t i = 0; i + 1 < all.size(); ++i)
      if (all[i].get() == surfaceOf(id)) return surfaceIdOf(all[i + 1].get());
    return nullptr;
  }
  static const HostSurfaceId *byObject(const char *file) {
    FakeHost *host = current();
    host->surfaceList_.clear();
    for (auto &surface : host->surfaces_)
      if (surface->object && file && surface->object->name == file)
        host->surfaceList_.push_back(surfaceIdOf(surface.get()));
    host->surfaceList_.push_back(nullptr);
    return host->surfaceList_.data();
  }
  static const HostSurfaceId *byName(const char *, const char *) { return nullptr; }
  static const char *surfaceName(HostSurfaceId id) { return surfaceOf(id)->name.c_str(); }
  static const char *sceneObject(HostSurfaceId id) {
    FakeSurface *surface = surfaceOf(id);
    return surface && surface->object ? surface->object->name.c_str() : nullptr;
  }
  static int getInt(HostSurfaceId, const char *) { return 0; }
  static double getFlt(HostSurfaceId, const char *) { return 0.0; }
  static void getColor(HostSurfaceId, const char *, double c[3]) { c[0] = c[1] = c[2] = 0.0; }
  static HostImageId getImg(HostSurfaceId, const char *) { return nullptr; }
  static const char *shader(HostSurfaceId, int) { return nullptr; }
  static void noEditor() {}
  static int editorOpen() { return 0; }
  static void setSurface(HostSurfaceId id) { current()->currentSurface = id; }
  static HostSurfaceId editorSurface() { return current()->currentSurface; }

  // ---- messages ----
  static void info(const char *line1, const char *) {
    current()->infos.emplace_back(line1 ? line1 : "");
  }
  static void error(const char *line1, const char *) {
    current()->errors.emplace_back(line1 ? line1 : "");
  }
  static int answer(const char *, const char *, const char *) { return current()->okCancelAnswer; }
  static void status(const char *) {}

  static int command(const char *text) {
    current()->commands.emplace_back(text ? text : "");
    return 1;
  }
  static const char *directory(const char *) { return "/content"; }

  void *serviceFor(const std::string &base) {
    static const HostItemInfo3 itemInfo = {first, next,  noItem, noChild,  noItem, noItem,
                                           type,  name,  param,  itemFlags, server};
    static const HostObjectInfo4 objectInfo = {filename,     zero,        zero,    shadowOpts,
                                               dissolve,     excludeLight, objectFlags, filename};
    static const HostMessageFuncs3 messages = {info, error, info, answer, answer, answer, status};
    static const HostSurfaceFuncs2 surfaceFuncs = {firstSurface, nextSurface, byObject, byName,
                                                   surfaceName, sceneObject, getInt, getFlt,
                                                   getColor, getImg, shader};
    static const HostSurfaceEditorFuncs editor = {noEditor, noEditor, editorOpen, setSurface,
                                                  editorSurface};
    // Services whose contents the tests do not look at: a distinct zeroed
    // record each.
    static std::map<std::string, std::array<char, 256>> placeholders;
    if (base == HOST_ITEM_INFO_NAME) return const_cast<HostItemInfo3 *>(&itemInfo);
    if (base == HOST_OBJECT_INFO_NAME) return const_cast<HostObjectInfo4 *>(&objectInfo);
    if (base == HOST_INFO_MESSAGES_NAME) return const_cast<HostMessageFuncs3 *>(&messages);
    if (base == HOST_SURFACE_FUNCTIONS_NAME) return const_cast<HostSurfaceFuncs2 *>(&surfaceFuncs);
    if (base == HOST_SURFACE_EDITOR_NAME) return const_cast<HostSurfaceEditorFuncs *>(&editor);
    if (base == HOST_INTERFACE_INFO_NAME) {
      selectionList_ = selection;
      selectionList_.push_back(nullptr);
      interfaceInfo_.selItems = selectionList_.data();
      return &interfaceInfo_;
    }
    if (base == HOST_COMMAND_INTERFACE_NAME) return reinterpret_cast<void *>(&command);
    if (base == HOST_DIRECTORY_INFO_NAME) return reinterpret_cast<void *>(&directory);
    return placeholders[base].data();
  }

  std::map<std::string, int> versions_;
  std::vector<std::unique_ptr<FakeItem>> items_;
  std::vector<std::unique_ptr<FakeSurface>> surfaces_;
  std::vector<HostSurfaceId> surfaceList_;
  std::vector<HostItemId> selectionList_;
  HostInterfaceInfo interfaceInfo_{};
};

}  // namespace orvik::testing
