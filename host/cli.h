// The `orvik` command line: one entry per command, each with --help.
#pragma once

#include <string>
#include <vector>

namespace orvik::host {

// Runs the command line; returns the process exit code.
int runCli(int argc, char** argv);

// The commands, given their arguments after the command word.
int runServersCommand(const std::vector<std::string>& args);
int runCheckCommand(const std::vector<std::string>& args);
int runDemoCommand(const std::vector<std::string>& args);
// `orvik render` with the module's instances and the host options.
int runRenderWithModule(const std::vector<std::string>& args);
int runRunCommand(const std::vector<std::string>& args);

}  // namespace orvik::host
