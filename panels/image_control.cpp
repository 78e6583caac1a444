#include "panels/image_control.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "panels/bounded_text.h"
#include "panels/button_control.h"
#include "panels/list_control.h"
#include "panels/panel.h"
#include "panels/toolkit_host.h"

namespace orvik {

namespace {

// Set by Cancel in the missing-file question, for the rest of the module's life.
std::atomic<bool> g_skipAllMissingImages{false};

constexpr size_t kMaxImagePath = 1023;

// The directory "Load from disk" starts in: at first the content directory,
// then the one last used. Used on the host's main thread only.
char g_lastImageDirectory[kMaxImagePath + 1];
bool g_lastImageDirectorySet = false;

// Place and size of the Select Image panel's controls.
constexpr int kImageListX = 10, kImageListY = 30, kImageListWidth = 184, kImageListRows = 15;
constexpr int kLoadButtonX = 42, kLoadButtonY = 278, kLoadButtonWidth = 120;

void LoadButtonClicked(Control* button) {
  Panel* p = PanelOf(button);
  if (p != nullptr && p->panelData != nullptr) LoadImageFromDisk(static_cast<ImageSelectDialog*>(p->panelData));
}

// Keeps the directory part of a chosen file for the next request.
void RememberDirectory(const char* file) {
  const char* slash = nullptr;
  for (const char* q = file; *q != '\0'; ++q) {
    if (*q == '/' || *q == '\\') slash = q;
  }
  if (slash == nullptr) return;
  CopyTextLimited(g_lastImageDirectory, sizeof g_lastImageDirectory, file, static_cast<size_t>(slash - file));
  g_lastImageDirectorySet = true;
}

void ResetImage(Control* c) {
  if (ImageControl* i = AsImage(c)) i->image = nullptr;
}

// After a load the button shows the image the record found.
void ImageAfterLoad(Control* c) {
  ImageControl* i = AsImage(c);
  if (i == nullptr) return;
  if (i->imageButton != nullptr) CopyText(i->imageButton->caption, ImageButtonText(i));
  RefreshControl(i, kRefreshAll);
}

void CopyImage(const Control* source, Control* destination) {
  const ImageControl* s = As<ImageControl>(source);
  ImageControl* d = AsImage(destination);
  if (s == nullptr || d == nullptr) return;
  d->image = s->image.get();
  if (d->imageButton != nullptr) CopyText(d->imageButton->caption, ImageButtonText(d));
}

bool FileExists(const char* path) {
  if (path == nullptr || path[0] == '\0') return false;
  FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return false;
  std::fclose(f);
  return true;
}

bool IsRelativePath(const char* path) {
  return path[0] != '/' && path[0] != '\\' && !(path[0] != '\0' && path[1] == ':');
}

ImageHandle FindImageByName(const char* name) {
  const ToolkitHost& host = GetToolkitHost();
  if (host.findImage != nullptr) return host.findImage(name);
  if (host.firstImage == nullptr || host.nextImage == nullptr || host.imageName == nullptr) return nullptr;
  for (ImageHandle im = host.firstImage(); im != nullptr; im = host.nextImage(im)) {
    const char* n = host.imageName(im);
    if (n != nullptr && std::strcmp(n, name) == 0) return im;
  }
  return nullptr;
}

// The stored file name as given, or (relative names are saved relative to
// the host's content directory) under the content directory.
std::string ResolveImagePath(const char* fileName) {
  std::string path = fileName;
  const char* content = GetToolkitHost().contentDirectory != nullptr ? GetToolkitHost().contentDirectory()
                                                                     : nullptr;
  if (!FileExists(path.c_str()) && IsRelativePath(fileName) && content != nullptr && content[0] != '\0') {
    std::string joined = std::string(content) + "/" + fileName;
    if (FileExists(joined.c_str())) path = joined;
  }
  return path;
}

}  // namespace

bool SkipAllMissingImages() { return g_skipAllMissingImages.load(std::memory_order_relaxed); }
void ResetSkipAllMissingImages() { g_skipAllMissingImages.store(false, std::memory_order_relaxed); }

ImageHandle FindOrLoadImage(const char* name, const char* fileName, bool ask) {
  const ToolkitHost& host = GetToolkitHost();
  const bool hasName = name != nullptr && name[0] != '\0';
  const bool hasFile = fileName != nullptr && fileName[0] != '\0';
  if (hasName) {
    if (ImageHandle im = FindImageByName(name)) return im;
  }
  if (!hasFile) return nullptr;

  const std::string path = ResolveImagePath(fileName);
  if (host.loadImage != nullptr) {
    if (ImageHandle im = host.loadImage(path.c_str())) return im;
  }
  if (!ask) return nullptr;

  char line[kMaxImagePath + 64];
  if (FileExists(path.c_str())) {
    FormatText(line, sizeof line, "I found the image file %s, but was unable to load it.", fileName);
    HostError(line, "Probably you just need to install the appropriate image loader plugin.");
    return nullptr;
  }

  FormatText(line, sizeof line, "I can't find the image file %s.", fileName);
  if (SkipAllMissingImages() || host.yesNoCancel == nullptr) return nullptr;
  const int answer =
      host.yesNoCancel("Find Image File", line, "Do you want to find it now? Cancel will skip this for all images.");
  if (answer == kAnswerCancel) {
    g_skipAllMissingImages.store(true, std::memory_order_relaxed);
    return nullptr;
  }
  if (answer != kAnswerYes || host.fileRequest == nullptr) return nullptr;

  char requestName[kMaxImagePath + 1];
  char requestPath[kMaxImagePath + 1];
  char chosen[kMaxImagePath + 1] = {};
  CopyText(requestName, "<*.*");
  const char* content = host.contentDirectory != nullptr ? host.contentDirectory() : nullptr;
  CopyText(requestPath, content != nullptr ? content : "");
  if (!host.fileRequest("Load image from file", requestName, sizeof requestName, requestPath,
                        sizeof requestPath, chosen, sizeof chosen) ||
      chosen[0] == '\0' || host.loadImage == nullptr) {
    return nullptr;
  }
  return host.loadImage(chosen);
}

const char* ImageButtonText(const ImageControl* c) {
  const ToolkitHost& host = GetToolkitHost();
  ImageHandle im = c != nullptr ? c->image.get() : nullptr;
  if (im == nullptr || host.imageName == nullptr) return "(none)";
  const char* name = host.imageName(im);
  return name != nullptr && name[0] != '\0' ? name : "(none)";
}

void SetImageChoice(ImageControl* c, ImageHandle image) {
  if (c == nullptr) return;
  c->image = image;
  if (c->imageButton != nullptr) CopyText(c->imageButton->caption, ImageButtonText(c));
  RefreshControl(c, kRefreshAll);
  NotifyValueChanged(c);
}

ImageSelectDialog* BuildImageSelectDialog(ImageControl* c) {
  if (c == nullptr) return nullptr;
  ImageSelectDialog* d = new (std::nothrow) ImageSelectDialog;
  if (d == nullptr) return nullptr;
  d->target = c;
  d->panel = CreatePanel("Select Image", nullptr, 0);
  if (d->panel == nullptr) {
    delete d;
    return nullptr;
  }
  d->panel->panelData = d;
  d->list = AddListControl("IMAGE", kImageListX, kImageListY, d->panel);
  d->loadButton = AddButtonControl("IMLOAD", kLoadButtonX, kLoadButtonY, d->panel);
  if (d->list == nullptr || d->loadButton == nullptr) {
    DestroyImageSelectDialog(d);
    return nullptr;
  }
  d->list->maxSelected = 1;
  d->list->width = kImageListWidth;
  d->list->visibleRows = kImageListRows;
  d->loadButton->width = kLoadButtonWidth;
  CopyText(d->loadButton->caption, "Load from disk");
  d->loadButton->clickHook = LoadButtonClicked;

  const ToolkitHost& host = GetToolkitHost();
  if (host.firstImage != nullptr && host.nextImage != nullptr) {
    int guard = 0;
    for (ImageHandle im = host.firstImage(); im != nullptr && guard < ListControl::kMaxRows;
         im = host.nextImage(im), ++guard) {
      const char* name = host.imageName != nullptr ? host.imageName(im) : nullptr;
      const int row = AddListRow(d->list, name != nullptr ? name : "");
      if (row < 0) break;
      d->images.push_back(im);
      if (im == c->image.get()) {
        d->list->selected[row] = d->list->windowSelected[row] = 1;
        d->list->lastSelected = row;
        d->list->selectedCount = 1;
      }
    }
  }
  return d;
}

void DestroyImageSelectDialog(ImageSelectDialog* d) {
  if (d == nullptr) return;
  if (d->panel != nullptr) {
    d->panel->panelData = nullptr;
    DestroyPanel(d->panel);
  }
  delete d;
}

bool LoadImageFromDisk(ImageSelectDialog* d) {
  const ToolkitHost& host = GetToolkitHost();
  if (d == nullptr || host.fileRequest == nullptr) return false;
  if (!g_lastImageDirectorySet) {
    const char* content = host.contentDirectory != nullptr ? host.contentDirectory() : nullptr;
    CopyText(g_lastImageDirectory, content != nullptr ? content : "");
    g_lastImageDirectorySet = true;
  }
  char requestName[kMaxImagePath + 1];
  char requestPath[kMaxImagePath + 1];
  char chosen[kMaxImagePath + 1] = {};
  CopyText(requestName, "<*.*");
  CopyText(requestPath, g_lastImageDirectory);
  if (!host.fileRequest("Load image from file", requestName, sizeof requestName, requestPath, sizeof requestPath,
                        chosen, sizeof chosen) ||
      chosen[0] == '\0') {
    return false;
  }
  RememberDirectory(chosen);
  ImageHandle im = host.loadImage != nullptr ? host.loadImage(chosen) : nullptr;
  if (im == nullptr) {
    HostError("This doesn't appear to be a valid image. Perhaps it's a",
              "bad file, or your need to install an image loader plugin.");
    return false;
  }
  d->loaded = im;
  d->panel->result = 0;
  d->panel->closeState = kCloseByUser;
  PostPanelMessage(d->panel, kMsgClose, 0, 0);
  return true;
}

ImageHandle ImageSelectResult(const ImageSelectDialog* d) {
  if (d == nullptr) return nullptr;
  if (d->loaded != nullptr) return d->loaded;
  const int rows = static_cast<int>(d->images.size());
  for (int row = 0; row < rows && row < ListControl::kMaxRows; ++row) {
    if (d->list->selected[row]) return d->images[static_cast<size_t>(row)];
  }
  return nullptr;
}

void ChooseImage(Control* button) {
  ImageControl* c = AsImage(button != nullptr ? button->parentControl : nullptr);
  if (c == nullptr || c->ghosted.get()) return;
  ImageSelectDialog* d = BuildImageSelectDialog(c);
  if (d == nullptr) return;
  if (OpenModalPanel(d->panel, PanelOf(c)) == 0) SetImageChoice(c, ImageSelectResult(d));
  DestroyImageSelectDialog(d);
}

ImageControl* AddImageControl(const char* key, int x, int y, Control* anchor) {
  if (anchor == nullptr) return nullptr;
  ImageControl* c = new (std::nothrow) ImageControl;
  ButtonControl* button = new (std::nothrow) ButtonControl;
  if (c == nullptr || button == nullptr) {
    delete c;
    delete button;
    return nullptr;
  }
  InitControlRecord(c, kKindImage, key);
  c->owner = PanelOf(anchor);
  ResetImage(c);
  c->ops.reset = ResetImage;
  c->ops.copyValue = CopyImage;
  c->ops.afterLoad = ImageAfterLoad;
  c->x = x;
  c->y = y;
  CopyText(c->label, c->key.c_str());
  InitSubControl(c, button, kKindButton, "_button");
  CopyText(button->caption, "(none)");
  button->width = 120;
  button->clickHook = ChooseImage;
  AttachSubControl(c, button);
  c->imageButton = button;
  AppendToChain(anchor, c);
  return c;
}

}  // namespace orvik
