// A small scene behind the toolkit host table, for the settings tests: named
// items of the four types (bones owned by objects), images, the host's error
// lines, and a scripted file requester. Header only; tests include it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "panels/bounded_text.h"
#include "panels/toolkit_host.h"

namespace orvik::testing {

struct SceneItem {
  std::string name;
  int type = 0;
  SceneItem* owner = nullptr;  // a bone's object
};

struct SceneImage {
  std::string name;
  std::string file;
  bool known = true;
};

struct TestScene {
  std::deque<SceneItem> items;
  std::deque<SceneImage> images;
  std::vector<std::string> loadableFiles;  // paths loadImage accepts
  std::vector<std::pair<std::string, std::string>> errors;
  std::string contentDirectory = "/content";
  // The file requester's answer: empty cancels.
  std::string requestAnswer;
  std::vector<std::string> requestTitles;
  std::vector<std::string> requestNames;

  SceneItem* Add(const char* name, int type, SceneItem* owner = nullptr) {
    items.push_back({name, type, owner});
    return &items.back();
  }
  SceneImage* AddImage(const char* name, const char* file) {
    images.push_back({name, file, true});
    return &images.back();
  }
};

inline TestScene*& CurrentScene() {
  static TestScene* scene = nullptr;
  return scene;
}

// The base name without a trailing " (n)" and the number n (1 without one).
inline std::string BaseName(const std::string& name, int* clone) {
  *clone = 1;
  size_t close = name.size();
  if (close < 4 || name[close - 1] != ')') return name;
  size_t open = name.rfind('(');
  if (open == std::string::npos || open + 2 > close - 1 || open == 0 || name[open - 1] != ' ') {
    return name;
  }
  for (size_t i = open + 1; i < close - 1; ++i) {
    if (name[i] < '0' || name[i] > '9') return name;
  }
  *clone = std::atoi(name.c_str() + open + 1);
  if (*clone < 1) *clone = 1;
  size_t end = open;
  while (end > 0 && name[end - 1] == ' ') --end;
  return name.substr(0, end);
}

inline std::vector<SceneItem*> SameNamed(const std::string& base, int type, SceneItem* owner) {
  std::vector<SceneItem*> found;
  for (SceneItem& item : CurrentScene()->items) {
    int clone = 0;
    if (item.type == type && (type != 3 || item.owner == owner) &&
        BaseName(item.name, &clone) == base) {
      found.push_back(&item);
    }
  }
  return found;
}

inline ToolkitHost MakeHost() {
  ToolkitHost h;
  h.itemName = [](ItemHandle i) { return static_cast<SceneItem*>(i)->name.c_str(); };
  h.itemType = [](ItemHandle i) { return static_cast<SceneItem*>(i)->type; };
  h.boneOwner = [](ItemHandle i) -> ItemHandle { return static_cast<SceneItem*>(i)->owner; };
  h.describeItem = [](ItemHandle i, char* base, size_t capacity, int* clone, int* count) {
    auto* item = static_cast<SceneItem*>(i);
    std::string b = BaseName(item->name, clone);
    CopyText(base, capacity, b.c_str());
    *count = static_cast<int>(SameNamed(b, item->type, item->owner).size());
    return 1;
  };
  h.findItem = [](const char* base, int type, ItemHandle owner, int clone,
                  int count) -> ItemHandle {
    auto found = SameNamed(base, type, static_cast<SceneItem*>(owner));
    int k = static_cast<int>(found.size());
    if (k == 0) return nullptr;
    if (k >= count) return found[static_cast<size_t>(k - count + clone - 1)];
    return clone < k ? found[static_cast<size_t>(clone - 1)] : found[0];
  };
  h.findImage = [](const char* name) -> ImageHandle {
    for (SceneImage& im : CurrentScene()->images) {
      if (im.known && im.name == name) return &im;
    }
    return nullptr;
  };
  h.loadImage = [](const char* path) -> ImageHandle {
    TestScene* s = CurrentScene();
    for (const std::string& f : s->loadableFiles) {
      if (f == path) {
        std::string name = f.substr(f.find_last_of("/\\") + 1);
        return s->AddImage(name.c_str(), path);
      }
    }
    return nullptr;
  };
  h.imageName = [](ImageHandle i) { return static_cast<SceneImage*>(i)->name.c_str(); };
  h.imageFileName = [](ImageHandle i, int) { return static_cast<SceneImage*>(i)->file.c_str(); };
  h.imageKnown = [](ImageHandle i) { return static_cast<SceneImage*>(i)->known ? 1 : 0; };
  h.error = [](const char* a, const char* b) { CurrentScene()->errors.emplace_back(a, b); };
  h.yesNoCancel = [](const char*, const char*, const char*) { return int{kAnswerNo}; };
  h.fileRequest = [](const char* title, char* name, size_t, char*, size_t, char* result,
                     size_t resultCapacity) {
    TestScene* s = CurrentScene();
    s->requestTitles.push_back(title);
    s->requestNames.push_back(name);
    if (s->requestAnswer.empty()) return 0;
    CopyText(result, resultCapacity, s->requestAnswer.c_str());
    return 1;
  };
  h.contentDirectory = []() { return CurrentScene()->contentDirectory.c_str(); };
  return h;
}

// Installs a fresh scene as the toolkit host for the life of the object.
class ScopedScene {
 public:
  ScopedScene() {
    CurrentScene() = &scene_;
    SetToolkitHost(MakeHost());
  }
  ~ScopedScene() {
    SetToolkitHost(ToolkitHost{});
    CurrentScene() = nullptr;
  }
  TestScene& operator*() { return scene_; }
  TestScene* operator->() { return &scene_; }

 private:
  TestScene scene_;
};

}  // namespace orvik::testing
