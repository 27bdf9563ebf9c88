// maxase: runs the MAX and ASE import plug-in from the terminal, through the
// reference host, exactly as a host loads and calls it.
#include <cstdio>
#include <map>

#include "commands.h"
#include "session.h"

int main(int argc, char** argv) {
    CLI::App program{
        "maxase - import 3D Studio MAX scenes (.max) and ASCII scene exports (.ase) through the\n"
        "MAX and ASE import plug-in, into the reference host, and inspect the result.\n\n"
        "Run 'maxase COMMAND --help' for the options of a command."};
    program.require_subcommand(1);

    maxase::GlobalOptions options;
    options.pluginPath = maxase::defaultPluginPath();
    program.add_option("--plugin", options.pluginPath, "The plug-in library to load")
        ->capture_default_str()
        ->check(CLI::ExistingFile);

    std::map<const CLI::App*, maxase::CommandRunner> runners;
    auto add = [&](maxase::CommandRunner runner) { runners[program.get_subcommands({}).back()] = std::move(runner); };
    add(maxase::addInfoCommand(program, options));
    add(maxase::addImportCommand(program, options));
    add(maxase::addThumbnailCommand(program, options));
    add(maxase::addTreeCommand(program, options));
    add(maxase::addConvertCommand(program, options));

    try {
        program.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = program.exit(e);
        return status == 0 ? maxase::ExitOk : maxase::ExitUsage;
    }
    for (const auto& [command, run] : runners) {
        if (command->parsed()) return run();
    }
    return maxase::ExitUsage;
}
