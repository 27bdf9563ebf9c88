// What every maxase command starts from: the reference host and the plug-in,
// loaded and initialised exactly as a host does it.
#pragma once

#include <memory>
#include <string>

#include "host/app.h"
#include "host/plugin_loader.h"
#include "host/settings.h"

namespace maxase {

// Exit statuses of every command.
constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

// The plug-in library beside the maxase program.
std::string defaultPluginPath();
// The host's settings file in the user's configuration folder:
// $XDG_CONFIG_HOME/maxase/settings.ini, or ~/.config/maxase/settings.ini.
std::string defaultSettingsPath();

struct Session {
    std::unique_ptr<refhost::Settings> settings;
    std::unique_ptr<refhost::App> app;
    std::unique_ptr<refhost::PluginLibrary> plugin;
    int32_t initializeResult = 0;
};

// Loads the plug-in and sends it the initialisation message. Settings are
// kept in the INI file when one is given, else in memory. Prints the reason
// and returns null when the plug-in cannot be loaded.
std::unique_ptr<Session> openSession(const std::string& pluginPath, const std::string& iniPath = {});

}  // namespace maxase
