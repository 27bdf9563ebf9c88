#include "session.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace maxase {

std::string defaultPluginPath() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    const auto folder = error ? std::filesystem::current_path() : self.parent_path();
    return (folder / "maxaseimport.so").string();
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
