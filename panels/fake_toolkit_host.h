// A small scene and host behind the toolkit host table, for the toolkit's
// own tests: items with names, types, parents, positions and scalings; an
// image list; scripted answers to questions; counted messages.
#pragma once

#include <string>
#include <vector>

#include "panels/bounded_text.h"
#include "panels/toolkit_host.h"

namespace orvik::testing {

struct FakeItem {
  std::string name;
  int type = 0;
  FakeItem* parent = nullptr;
  FakeItem* boneOwner = nullptr;
  int lightType = 2;
  double position[3] = {0, 0, 0};
  double scale[3] = {1, 1, 1};
  double velocity[3] = {0, 0, 0};  // position += velocity × t
};

struct FakeImage {
  std::string name;
  std::string file;
};

struct FakeHost {
  std::vector<FakeItem*> items;
  std::vector<FakeImage*> images;
  double fps = 30.0;
  int firstFrame = 0;
  int lastFrame = 60;
  std::vector<int> answers;  // yes/no/cancel answers, consumed in order
  int questionsAsked = 0;
  int errorsShown = 0;
  std::string lastQuestion;
  std::string lastError;
  int pickerResult = 1;
  double pickerColor[3] = {0, 0, 0};
  std::string chosenFile;  // the file requester's answer ("" cancels)

  FakeHost();
  ~FakeHost();
  FakeItem* AddItem(const char* name, int type, FakeItem* parent = nullptr);
  FakeImage* AddImage(const char* name, const char* file);
  void Install();  // makes this the toolkit host
  void InstallImageIteration();  // adds first/next image (after Install)
};


inline FakeHost* g_fake = nullptr;

inline FakeItem* AsItem(ItemHandle h) { return static_cast<FakeItem*>(h); }

inline FakeHost::FakeHost() = default;

inline FakeHost::~FakeHost() {
  for (FakeItem* i : items) delete i;
  for (FakeImage* i : images) delete i;
  if (g_fake == this) {
    g_fake = nullptr;
    SetToolkitHost(ToolkitHost{});
  }
}

inline FakeItem* FakeHost::AddItem(const char* name, int type, FakeItem* parent) {
  FakeItem* i = new FakeItem;
  i->name = name;
  i->type = type;
  i->parent = parent;
  items.push_back(i);
  return i;
}

inline FakeImage* FakeHost::AddImage(const char* name, const char* file) {
  FakeImage* i = new FakeImage;
  i->name = name;
  i->file = file;
  images.push_back(i);
  return i;
}

inline void FakeHost::Install() {
  g_fake = this;
  ToolkitHost h;
  h.itemName = [](ItemHandle item) { return AsItem(item)->name.c_str(); };
  h.itemType = [](ItemHandle item) { return AsItem(item)->type; };
  h.itemParent = [](ItemHandle item) -> ItemHandle { return AsItem(item)->parent; };
  h.boneOwner = [](ItemHandle item) -> ItemHandle { return AsItem(item)->boneOwner; };
  h.lightType = [](ItemHandle item) { return AsItem(item)->lightType; };
  h.firstItem = [](int type, ItemHandle owner) -> ItemHandle {
    for (FakeItem* i : g_fake->items) {
      if (i->type == type && (type != 3 || i->boneOwner == owner)) return i;
    }
    return nullptr;
  };
  h.nextItem = [](ItemHandle item) -> ItemHandle {
    FakeItem* from = AsItem(item);
    bool after = false;
    for (FakeItem* i : g_fake->items) {
      if (after && i->type == from->type && i->boneOwner == from->boneOwner) return i;
      if (i == from) after = true;
    }
    return nullptr;
  };
  h.findItem = [](const char* name, int type, ItemHandle owner, int clone, int) -> ItemHandle {
    int seen = 0;
    for (FakeItem* i : g_fake->items) {
      if (i->type == type && i->name == name && (owner == nullptr || i->boneOwner == owner) && ++seen == clone) {
        return i;
      }
    }
    return nullptr;
  };
  h.worldPosition = [](ItemHandle item, double t, double out[3]) {
    for (int k = 0; k < 3; ++k) out[k] = AsItem(item)->position[k] + AsItem(item)->velocity[k] * t;
  };
  h.scaling = [](ItemHandle item, double, double out[3]) {
    for (int k = 0; k < 3; ++k) out[k] = AsItem(item)->scale[k];
  };
  h.framesPerSecond = [] { return g_fake->fps; };
  h.firstFrame = [] { return g_fake->firstFrame; };
  h.lastFrame = [] { return g_fake->lastFrame; };
  h.findImage = [](const char* name) -> ImageHandle {
    for (FakeImage* i : g_fake->images) {
      if (i->name == name) return i;
    }
    return nullptr;
  };
  h.loadImage = [](const char* path) -> ImageHandle {
    for (FakeImage* i : g_fake->images) {
      if (i->file == path) return i;
    }
    return nullptr;
  };
  h.imageName = [](ImageHandle im) { return static_cast<FakeImage*>(im)->name.c_str(); };
  h.error = [](const char* l1, const char*) {
    ++g_fake->errorsShown;
    g_fake->lastError = l1;
  };
  h.yesNoCancel = [](const char*, const char* l1, const char*) {
    ++g_fake->questionsAsked;
    g_fake->lastQuestion = l1;
    if (g_fake->answers.empty()) return static_cast<int>(kAnswerNo);
    int a = g_fake->answers.front();
    g_fake->answers.erase(g_fake->answers.begin());
    return a;
  };
  h.fileRequest = [](const char*, char*, size_t, char*, size_t, char* result, size_t capacity) {
    if (g_fake->chosenFile.empty()) return 0;
    CopyText(result, capacity, g_fake->chosenFile.c_str());
    return 1;
  };
  h.colorPicker = [](const char*, double rgb[3]) {
    for (int k = 0; k < 3; ++k) rgb[k] = g_fake->pickerColor[k];
    return g_fake->pickerResult;
  };
  SetToolkitHost(h);
}

inline void FakeHost::InstallImageIteration() {
  ToolkitHost h = GetToolkitHost();
  h.firstImage = []() -> ImageHandle { return g_fake->images.empty() ? nullptr : g_fake->images.front(); };
  h.nextImage = [](ImageHandle im) -> ImageHandle {
    for (size_t i = 0; i + 1 < g_fake->images.size(); ++i) {
      if (g_fake->images[i] == im) return g_fake->images[i + 1];
    }
    return nullptr;
  };
  SetToolkitHost(h);
}

}  // namespace orvik::testing
