// Loading a plug-in module the way the host does: dlopen the library, find
// its exported descriptor, check the sync word, run startup, and activate
// servers by class and name.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sdk/module_descriptor.h"

namespace orvik::host {

struct ServerEntry {
  std::string serverClass;
  std::string name;
  std::string userName;  // the user-name tag (0x409), or "" without one
  const HostServerRecord* record = nullptr;
};

struct ModuleLoadOptions {
  // Load a private copy of the library, so that its module-wide state starts
  // fresh even when the same file is already loaded in this process (tests
  // activate under several host configurations in one process).
  bool privateCopy = false;
};

class LoadedModule {
 public:
  // Opens the library, checks the descriptor and runs startup. On failure
  // returns null and sets error to a message naming the file.
  static std::unique_ptr<LoadedModule> open(const std::string& path, std::string& error,
                                            const ModuleLoadOptions& options = {});
  ~LoadedModule();

  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  const std::string& path() const { return path_; }
  const HostModuleDescriptor& descriptor() const { return *descriptor_; }
  void* serverData() const { return serverData_; }
  // The servers in the descriptor's order.
  const std::vector<ServerEntry>& servers() const { return servers_; }
  // The server of that class and name, or null.
  const ServerEntry* find(const std::string& serverClass, const std::string& name) const;

  // Calls the server's activation with the host's version, global function
  // and the handler record to fill. Exceptions never cross this call: a
  // module that throws is reported as failing with -1.
  int activate(const ServerEntry& server, int version, HostGlobalFunc global, void* local) const;

 private:
  LoadedModule() = default;

  std::string path_;
  std::string copyPath_;  // private copy while it is being loaded
  void* handle_ = nullptr;
  const HostModuleDescriptor* descriptor_ = nullptr;
  void* serverData_ = nullptr;
  std::vector<ServerEntry> servers_;
};

// Default location of the module: liborvik.so in the build's module folder,
// found beside the running executable (build/host/orvik -> build/module/).
std::string defaultModulePath();

}  // namespace orvik::host
