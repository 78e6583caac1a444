#include "host/module_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>

namespace orvik::host {

namespace {

// Server records beyond this count are taken as a descriptor without its
// closing null record.
constexpr std::size_t kMaxServers = 4096;
constexpr std::size_t kMaxTags = 256;

std::string hex(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", v);
  return buf;
}

}  // namespace

std::unique_ptr<LoadedModule> LoadedModule::open(const std::string& path, std::string& error,
                                                 const ModuleLoadOptions& options) {
  namespace fs = std::filesystem;
  std::unique_ptr<LoadedModule> m(new LoadedModule);
  m->path_ = path;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) {
    error = path + ": no such module file";
    return nullptr;
  }
  std::string loadPath = path;
  if (options.privateCopy) {
    static std::atomic<int> counter{0};
    const fs::path copy = fs::temp_directory_path(ec) /
                          ("orvik-module-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".so");
    fs::copy_file(path, copy, fs::copy_options::overwrite_existing, ec);
    if (ec) {
      error = path + ": cannot make a private copy at " + copy.string() + ": " + ec.message();
      return nullptr;
    }
    loadPath = copy.string();
    m->copyPath_ = loadPath;
  }
  // NODELETE: threads the module started may still run code of it after
  // the host lets go of the library.
  m->handle_ = ::dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (!m->copyPath_.empty()) {
    // The mapping outlives the file: nothing is left behind in the temp folder.
    fs::remove(m->copyPath_, ec);
    m->copyPath_.clear();
  }
  if (!m->handle_) {
    const char* why = ::dlerror();
    error = path + ": cannot load the module: " + (why ? why : "unknown reason");
    return nullptr;
  }
  ::dlerror();
  void* sym = ::dlsym(m->handle_, HOST_MODULE_DESCRIPTOR_SYMBOL);
  if (!sym) {
    error = path + ": the module exports no " + HOST_MODULE_DESCRIPTOR_SYMBOL;
    return nullptr;
  }
  m->descriptor_ = static_cast<const HostModuleDescriptor*>(sym);
  const HostModuleDescriptor& d = *m->descriptor_;
  if (d.sync != HOST_MODULE_SYNC) {
    error = path + ": wrong sync word " + hex(d.sync) + " in the module descriptor (expected " +
            hex(HOST_MODULE_SYNC) + ")";
    return nullptr;
  }
  if (!d.servers) {
    error = path + ": the module descriptor lists no servers";
    return nullptr;
  }
  for (std::size_t i = 0;; ++i) {
    if (i >= kMaxServers) {
      error = path + ": the server table has no closing null record";
      return nullptr;
    }
    const HostServerRecord& r = d.servers[i];
    if (!r.className) break;
    ServerEntry e;
    e.serverClass = r.className;
    e.name = r.name ? r.name : "";
    e.record = &r;
    for (std::size_t t = 0; r.tags && t < kMaxTags && r.tags[t].string; ++t)
      if (r.tags[t].tag == HOST_SRVTAG_USERNAME) e.userName = r.tags[t].string;
    m->servers_.push_back(std::move(e));
  }
  if (d.startup) {
    m->serverData_ = d.startup();
    if (!m->serverData_) {
      error = path + ": the module's startup failed";
      return nullptr;
    }
  }
  return m;
}

LoadedModule::~LoadedModule() {
  if (descriptor_ && descriptor_->shutdown && serverData_) descriptor_->shutdown(serverData_);
  if (handle_) ::dlclose(handle_);
}

const ServerEntry* LoadedModule::find(const std::string& serverClass, const std::string& name) const {
  for (const ServerEntry& s : servers_)
    if (s.serverClass == serverClass && s.name == name) return &s;
  return nullptr;
}

int LoadedModule::activate(const ServerEntry& server, int version, HostGlobalFunc global, void* local) const {
  if (!server.record || !server.record->activate) return -1;
  try {
    return server.record->activate(version, global, local, serverData_);
  } catch (...) {
    return -1;
  }
}

std::string defaultModulePath() {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const fs::path candidate = exe.parent_path().parent_path() / "module" / "liborvik.so";
    if (fs::exists(candidate, ec)) return candidate.string();
  }
  return "build/module/liborvik.so";
}

}  // namespace orvik::host
