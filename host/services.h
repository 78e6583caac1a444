// The host's global services: the global-service function handed to the
// module, and behind it every service the module acquires by name and
// version, answering from the scene and the host's state.
//
// The service records are plain C tables without a context pointer, so they
// answer for the one active HostEnvironment of the process (makeActive).
// Item, light, object, camera, bone, surface, backdrop and image queries are
// read-only and safe from render threads once the scene is published with
// sceneChanged(); messages, questions, commands, memory blocks and the
// data-field records ("LW Scene Info 2", "LW Interface Info", "LW Compositing
// Info", refreshed when fetched) are for the host's main thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "host/image_io.h"
#include "host/scene.h"
#include "sdk/orvik_sdk.h"

namespace orvik::host {

enum class HostModuleKind { Layout, Modeler, RenderNode };

// One message or question the module showed, as the host recorded it.
struct HostMessage {
  enum class Kind { Info, Error, Warning, Status, OkCancel, YesNo, YesNoCancel };
  Kind kind = Kind::Info;
  std::string title;  // questions only
  std::string line1;
  std::string line2;
  int answer = 0;     // questions: what the host answered
};

const char* messageKindName(HostMessage::Kind kind);

// How questions, file requesters and colour pickers are answered when no
// one sits at a terminal: scripted answers first, in order, then defaults.
struct AnswerPolicy {
  // Default answers: "ok"/"yes" (true) or "cancel"/"no" (false).
  bool confirm = true;
  // Scripted answers, consumed in order; each is one of "ok", "cancel",
  // "yes", "no", "file PATH", "color R G B".
  std::deque<std::string> script;
  // Ask at the terminal (stdin and stderr) instead, when both are terminals.
  bool interactive = false;

  // Reads a script: one answer a line, '#' comments. Returns "" or an error
  // "file:line: what is wrong".
  std::string loadScript(const std::string& text, const std::string& fileName);
};

struct LoadedImage {
  std::string name;
  std::string fileName;
  ImageBuffer pixels;
};

class HostEnvironment {
 public:
  HostEnvironment();
  ~HostEnvironment();
  HostEnvironment(const HostEnvironment&) = delete;
  HostEnvironment& operator=(const HostEnvironment&) = delete;

  // ---- the host's identity
  HostModuleKind kind = HostModuleKind::Layout;
  std::uint32_t serialNumber = 0x0004D2;  // low bits of "System ID"
  int productMajor = 7;
  int productMinor = 5;
  int productBuild = 700;
  // The interface version the host passes to activations.
  int activationVersion = 4;

  std::uint32_t systemId() const;
  std::uint32_t productInfo() const;

  // ---- the global-service function
  // Makes this the environment the services answer for; the destructor
  // clears it again.
  void makeActive();
  static HostEnvironment* active();
  static HostGlobalFunc globalFunction();

  // Hides a service: "LW Item Info" hides every version of it, a name with a
  // version ("Info Messages 3") hides that version only.
  void withoutService(const std::string& name);
  void withService(const std::string& name);  // undoes withoutService
  // Every name the module asked for, in order, with whether it was served.
  struct Request {
    std::string name;
    int useFlags = 0;
    bool served = false;
  };
  std::vector<Request> requests() const;
  void clearRequests();
  void logRequest(const char* name, int useFlags, bool served);

  // The record or value served for a name, or null; what the global
  // function returns. Does not log the request.
  void* lookup(const std::string& name);

  // ---- scene
  // The scene the services report (not owned). Call sceneChanged() after
  // items are added or renamed so that names and lists are rebuilt.
  void setScene(Scene* scene);
  Scene& scene() { return *scene_; }
  const Scene& scene() const { return *scene_; }
  void sceneChanged();
  // The name the item service reports (with "(n)" for same-named items).
  const char* itemName(ItemId id) const;

  // ---- the user interface state
  double currentTime = 0.0;
  int currentFrame = 1;
  std::vector<ItemId> selection;
  void setCurrentFrame(int frame);

  // ---- messages
  bool echoMessages = true;  // print every message to stderr
  std::vector<HostMessage> messages;
  void showMessage(HostMessage::Kind kind, const char* line1, const char* line2);
  int askQuestion(HostMessage::Kind kind, const char* title, const char* line1, const char* line2);

  AnswerPolicy answers;
  // Next scripted or default answer to a file requester; true with a path,
  // false for Cancel.
  bool answerFileRequest(const std::string& title, std::string& path);
  bool answerColorPick(const std::string& title, double rgb[3]);

  // ---- commands
  std::vector<std::string> commands;  // every command string received
  // Applies a command; returns non-zero when it was understood and done.
  // Unset: commands are recorded and refused.
  std::function<int(const std::string&)> commandHandler;
  int runCommand(const std::string& command);

  // ---- directories ("Content", "Images", "Scenes", "Settings")
  std::map<std::string, std::string> directories;

  // ---- images
  // Loads every image the scene names. Returns "" or a message naming the
  // file that could not be read; on failure nothing is added.
  std::string loadSceneImages();
  // Image by id (index + 1) or null; stable once loaded.
  const LoadedImage* image(HostImageId id) const;
  HostImageId sceneImageId(int sceneIndex) const;
  HostImageId loadImage(const std::string& fileName);
  std::size_t imageCount() const { return imageCount_.load(std::memory_order_acquire); }

  // ---- named memory blocks ("Global Memory" / "Global Render Memory")
  void* findMemory(bool render, const std::string& name);
  void* createMemory(bool render, const std::string& name, std::size_t size);
  std::size_t memorySize(bool render, const std::string& name);
  void clearRenderMemory();

  // Records of the data-field services, kept current by refreshRecords().
  void refreshRecords();

  // Surface ids: object index and surface index, both from 0.
  static HostSurfaceId surfaceId(std::size_t object, std::size_t surface);
  bool decodeSurface(HostSurfaceId id, std::size_t& object, std::size_t& surface) const;
  const Surface* surface(HostSurfaceId id) const;
  // The surface made current in the surface editor, or null.
  HostSurfaceId currentSurface = nullptr;

  // Scratch storage of functions that return lists (main thread only).
  std::vector<HostSurfaceId> surfaceList;
  std::vector<HostItemId> selectionList;

  HostSceneInfo sceneInfo{};
  HostInterfaceInfo interfaceInfo{};
  HostCompositingInfo compositingInfo{};
  HostDisplayInfo displayInfo{};

 private:
  Scene ownScene_;
  Scene* scene_ = &ownScene_;
  std::vector<std::string> names_[kItemTypeCount];
  std::string sceneName_;
  std::set<std::string> hidden_;
  mutable std::mutex requestMutex_;
  std::vector<Request> requests_;

  static constexpr std::size_t kMaxImages = 4096;
  std::vector<std::unique_ptr<LoadedImage>> images_;  // capacity reserved once
  std::atomic<std::size_t> imageCount_{0};
  std::vector<int> sceneImageIds_;                   // scene image index -> id
  std::mutex imageMutex_;

  std::map<std::string, std::vector<std::uint8_t>> memory_[2];
};

}  // namespace orvik::host
