#include "host/resave.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "host/cli_session.h"
#include "host/import.h"
#include "host/scene_file.h"

namespace orvik::host {

namespace fs = std::filesystem;

namespace {

const char* const kResaveHelp =
    "Usage: orvik resave IN OUT [--force] [host options]\n"
    "\n"
    "Reads the scene IN (.orvs, .lws or a mesh file), loads the module, creates its\n"
    "instances and loads each plug-in settings block through the module, then asks\n"
    "the module to save every instance again and writes the scene to OUT in the\n"
    "host's scene format. Relative mesh and image names are adjusted to OUT's folder.\n"
    "OUT may be IN: it is replaced only once the new scene is complete.\n"
    "\n"
    "A block that the module reports trouble with while loading may lose the values\n"
    "after the trouble when saved again, so then nothing is written and the exit\n"
    "status is 1; --force writes all the same (the status stays 1). The module's\n"
    "errors are printed; its other messages too unless --quiet is given.\n"
    "\n";

std::string folderOf(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

// Warnings (a shader the module does not serve, whose text is written back
// as it was read) lose nothing; errors may have.
bool isErrorKind(HostMessage::Kind k) { return k == HostMessage::Kind::Error; }

}  // namespace

std::string outputFileProblem(const std::string& path) {
  if (path.empty()) return "no output file named";
  std::error_code ec;
  const std::string dir = folderOf(path);
  if (!fs::is_directory(dir, ec)) return path + ": the folder " + dir + " does not exist";
  if (fs::is_directory(path, ec)) return path + ": is a folder, not a file";
  if (fs::exists(path, ec)) {
    if (::access(path.c_str(), W_OK) != 0) return path + ": cannot be written (" + std::strerror(errno) + ")";
  } else if (::access(dir.c_str(), W_OK | X_OK) != 0) {
    return path + ": cannot create a file in " + dir + " (" + std::strerror(errno) + ")";
  }
  return "";
}

void rebaseSceneFiles(Scene& scene, const std::string& fromDir, const std::string& toDir) {
  std::error_code ec;
  const fs::path from = fs::weakly_canonical(fs::absolute(fromDir, ec), ec);
  const fs::path to = fs::weakly_canonical(fs::absolute(toDir, ec), ec);
  if (from == to) return;
  auto rebase = [&](std::string& name) {
    if (name.empty() || fs::path(name).is_absolute()) return;
    std::error_code e;
    const fs::path target = fs::weakly_canonical(from / name, e);
    if (e) return;
    const fs::path rel = target.lexically_relative(to);
    name = rel.empty() ? target.string() : rel.generic_string();
  };
  for (Object& o : scene.objects) rebase(o.fileName);
  for (Image& im : scene.images) rebase(im.fileName);
}

void rebaseSceneFilesBetween(Scene& scene, const std::string& fromFile, const std::string& toFile) {
  rebaseSceneFiles(scene, fromFile.empty() ? std::string(".") : folderOf(fromFile), folderOf(toFile));
}

std::string writeFileWhole(const std::string& pathGiven, const std::string& text) {
  // A link keeps pointing at the file it names; the file keeps its permissions.
  std::error_code ec;
  const std::string path = fs::is_symlink(pathGiven, ec) ? fs::canonical(pathGiven, ec).string() : pathGiven;
  if (path.empty()) return pathGiven + ": the link leads nowhere (" + ec.message() + ")";
  const bool existed = fs::exists(path, ec);
  const fs::perms perms = existed ? fs::status(path, ec).permissions() : fs::perms::none;
  const std::string temp = path + ".tmp-" + std::to_string(::getpid());
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return temp + ": cannot create (" + std::strerror(errno) + ")";
    out << text;
    if (!out.flush()) {
      out.close();
      std::remove(temp.c_str());
      return temp + ": writing failed";
    }
  }
  if (existed) fs::permissions(temp, perms, ec);
  fs::rename(temp, path, ec);
  if (ec) {
    std::remove(temp.c_str());
    return path + ": cannot replace (" + ec.message() + ")";
  }
  return "";
}

int runResaveCommand(const std::vector<std::string>& args) {
  for (const std::string& a : args)
    if (a == "--help" || a == "-h") {
      std::cout << kResaveHelp << kHostOptionsHelp;
      return 0;
    }
  HostOptions options;
  bool force = false;
  std::vector<std::string> files;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string error;
    if (args[i] == "--force") {
      force = true;
    } else if (parseHostOption(args, i, options, error)) {
      if (!error.empty()) {
        std::cerr << "orvik resave: " << error << "\n";
        return 2;
      }
    } else if (!args[i].empty() && args[i][0] == '-') {
      std::cerr << "orvik resave: unknown option '" << args[i] << "' (see orvik resave --help)\n";
      return 2;
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) {
    std::cerr << "orvik resave: needs the scene to read and the file to write (see orvik resave --help)\n";
    return 2;
  }
  const std::string& in = files[0];
  const std::string& out = files[1];
  std::error_code ec;
  if (!fs::is_regular_file(in, ec)) {
    std::cerr << "orvik resave: " << in << ": " << (fs::exists(in, ec) ? "is not a file" : "no such file") << "\n";
    return 1;
  }
  if (const std::string problem = outputFileProblem(out); !problem.empty()) {
    std::cerr << "orvik resave: " << problem << "\n";
    return 1;
  }

  // The module's messages are printed below with what they concern.
  const bool quiet = options.quiet;
  options.quiet = true;
  HostSession session;
  std::string err = session.start(options);
  if (!err.empty()) {
    std::cerr << "orvik resave: " << err << "\n";
    return 1;
  }
  SceneReadResult read = importSceneFile(in);
  if (!read.ok) {
    std::cerr << "orvik resave: " << read.error << "\n";
    return 1;
  }
  err = session.useScene(std::move(read.scene));
  if (!err.empty()) {
    std::cerr << "orvik resave: " << err << "\n";
    return 1;
  }
  const std::string saveError = session.plugins->saveSettings();

  int trouble = session.created.failures;
  for (const HostMessage& m : session.env.messages) {
    if (isErrorKind(m.kind)) ++trouble;
    if (quiet && !isErrorKind(m.kind)) continue;
    std::cerr << in << ": " << messageKindName(m.kind) << ": " << m.line1;
    if (!m.line2.empty()) std::cerr << " (" << m.line2 << ")";
    std::cerr << "\n";
  }
  if (!saveError.empty()) {
    std::cerr << "orvik resave: the module did not save " << saveError << "; " << out << " was not written\n";
    return 1;
  }
  if (trouble > 0 && !force) {
    std::cerr << "orvik resave: " << in << ": " << trouble
              << " problem(s) while loading the module's settings; " << out
              << " was not written (--force writes it all the same)\n";
    return 1;
  }
  Scene& scene = session.current();
  rebaseSceneFilesBetween(scene, in, out);
  err = writeFileWhole(out, writeSceneText(scene));
  if (!err.empty()) {
    std::cerr << "orvik resave: " << err << "\n";
    return 1;
  }
  if (!quiet)
    std::printf("%s: %d shader instance(s) and %d scene-wide instance(s) saved again to %s\n", in.c_str(),
                session.created.shaders, session.created.scenePlugins, out.c_str());
  return trouble > 0 ? 1 : 0;
}

}  // namespace orvik::host
