// The host services the toolkit and the settings layer need, as a table of
// function pointers. The module fills it at activation from the host's
// global services, so nothing here includes the host's interface. Every
// pointer may be null; callers then fall back to a neutral answer.
#pragma once

#include <cstddef>

#include "panels/control.h"

namespace orvik {

// Answers of the question services.
enum QuestionAnswer : int { kAnswerCancel = 0, kAnswerYes = 1, kAnswerNo = 2 };
enum OkCancelAnswer : int { kAnswerOkCancelled = 0, kAnswerOk = 1 };

struct ToolkitHost {
  // Scene items ("LW Item Info").
  const char* (*itemName)(ItemHandle item) = nullptr;
  int (*itemType)(ItemHandle item) = nullptr;  // 0 object, 1 light, 2 camera, 3 bone
  ItemHandle (*itemParent)(ItemHandle item) = nullptr;
  ItemHandle (*boneOwner)(ItemHandle bone) = nullptr;  // the object a bone belongs to
  ItemHandle (*firstItem)(int type, ItemHandle owner) = nullptr;  // owner: object for bones
  ItemHandle (*nextItem)(ItemHandle item) = nullptr;
  int (*lightType)(ItemHandle light) = nullptr;  // 2: distant

  // The naming scheme used for saving references: describeItem writes the
  // item's base name and returns its clone index and the count of items of
  // that name; findItem resolves a saved name (owner: a bone's object).
  int (*describeItem)(ItemHandle item, char* baseName, size_t capacity, int* clone,
                      int* count) = nullptr;
  ItemHandle (*findItem)(const char* baseName, int type, ItemHandle owner, int clone,
                         int count) = nullptr;

  // Item motion at a time in seconds.
  void (*worldPosition)(ItemHandle item, double time, double out[3]) = nullptr;
  void (*scaling)(ItemHandle item, double time, double out[3]) = nullptr;

  // Scene ("LW Scene Info 2").
  double (*framesPerSecond)() = nullptr;
  int (*firstFrame)() = nullptr;
  int (*lastFrame)() = nullptr;

  // Image list ("LW Image List").
  ImageHandle (*firstImage)() = nullptr;
  ImageHandle (*nextImage)(ImageHandle image) = nullptr;
  ImageHandle (*findImage)(const char* name) = nullptr;
  ImageHandle (*loadImage)(const char* path) = nullptr;
  const char* (*imageName)(ImageHandle image) = nullptr;
  const char* (*imageFileName)(ImageHandle image, int frame) = nullptr;
  int (*imageKnown)(ImageHandle image) = nullptr;  // still in the image list

  // Messages ("Info Messages"): two lines each.
  void (*info)(const char* line1, const char* line2) = nullptr;
  void (*error)(const char* line1, const char* line2) = nullptr;
  int (*yesNoCancel)(const char* title, const char* line1,
                     const char* line2) = nullptr;  // QuestionAnswer
  int (*okCancel)(const char* title, const char* line1,
                  const char* line2) = nullptr;  // OkCancelAnswer

  // File requester: name, path and result are in-out buffers with their
  // capacities; returns 1 when a file was chosen.
  int (*fileRequest)(const char* title, char* name, size_t nameCapacity, char* path,
                     size_t pathCapacity, char* result, size_t resultCapacity) = nullptr;
  // Colour picker: rgb in and out as fractions; returns > 0 on success.
  int (*colorPicker)(const char* title, double rgb[3]) = nullptr;
  // The host's "Content" directory.
  const char* (*contentDirectory)() = nullptr;
  // The host's main window (owner of panels).
  void* (*mainWindow)() = nullptr;
};

// The module-wide table. Set once at activation, before any panel opens.
void SetToolkitHost(const ToolkitHost& host);
const ToolkitHost& GetToolkitHost();

// Convenience wrappers that cope with empty slots.
const char* HostItemName(ItemHandle item);  // "" when unknown
int HostItemType(ItemHandle item);          // -1 when unknown
ItemHandle HostItemParent(ItemHandle item);
double HostFramesPerSecond();  // 30 when unknown or not positive
void HostError(const char* line1, const char* line2);
void HostInfo(const char* line1, const char* line2);

}  // namespace orvik
