// The maxase commands. Each adds its subcommand to the program and runs it.
#pragma once

#include <CLI/CLI.hpp>

namespace maxase {

struct GlobalOptions {
    std::string pluginPath;
};

// Each returns the exit status to use when its subcommand was chosen.
using CommandRunner = std::function<int()>;

CommandRunner addInfoCommand(CLI::App& program, const GlobalOptions& options);
CommandRunner addImportCommand(CLI::App& program, const GlobalOptions& options);
CommandRunner addThumbnailCommand(CLI::App& program, const GlobalOptions& options);
CommandRunner addTreeCommand(CLI::App& program, const GlobalOptions& options);
CommandRunner addConvertCommand(CLI::App& program, const GlobalOptions& options);

}  // namespace maxase
