#include "session.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace maxase {

std::string defaultPluginPath() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    const auto folder = error ? std::filesystem::current_path() : self.parent_path();
    return (folder / "maxaseimport.so").string();
}

std::string defaultSettingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path folder;
    if (config && *config) {
        folder = config;
    } else if (home && *home) {
        folder = std::filesystem::path(home) / ".config";
    } else {
        folder = std::filesystem::current_path();
    }
    return (folder / "maxase" / "settings.ini").string();
}

std::unique_ptr<Session> openSession(const std::string& pluginPath, const std::string& iniPath) {
    auto session = std::make_unique<Session>();
    if (!iniPath.empty()) session->settings = std::make_unique<refhost::Settings>(iniPath);
    session->app = std::make_unique<refhost::App>(session->settings.get());
    std::string error;
    session->plugin = refhost::PluginLibrary::load(pluginPath, error);
    if (!session->plugin) {
        std::fprintf(stderr, "maxase: cannot load the plug-in: %s\n", error.c_str());
        return nullptr;
    }
    session->initializeResult = session->plugin->initialize(*session->app);
    return session;
}

}  // namespace maxase
