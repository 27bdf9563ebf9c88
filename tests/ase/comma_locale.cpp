#include "comma_locale.h"

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>

namespace ase_testing {

namespace {

constexpr const char* LocaleName = "de_DE.UTF-8";

// The compiled locale's folder, built once per test program and removed
// when it ends; empty when localedef cannot build it.
struct BuiltLocale {
    std::string folder;
    BuiltLocale() {
        const auto dir = std::filesystem::temp_directory_path() / ("maxase-locale." + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        const std::string command = "localedef -i de_DE -f UTF-8 '" + (dir / LocaleName).string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0) folder = dir.string();
        if (folder.empty()) std::filesystem::remove_all(dir);
    }
    ~BuiltLocale() {
        std::error_code ignored;
        if (!folder.empty()) std::filesystem::remove_all(folder, ignored);
    }
};

}  // namespace

CommaLocale::CommaLocale() {
    static const BuiltLocale built;
    if (built.folder.empty()) {
        reason_ = "localedef cannot build " + std::string(LocaleName);
        return;
    }
    setenv("LOCPATH", built.folder.c_str(), 1);
    if (!std::setlocale(LC_NUMERIC, LocaleName)) {
        reason_ = std::string("cannot switch to ") + LocaleName;
    } else if (std::atof("0.5") != 0.0) {
        std::setlocale(LC_NUMERIC, "C");
        reason_ = std::string(LocaleName) + " does not use a decimal comma";
    } else {
        active_ = true;
    }
}

CommaLocale::~CommaLocale() {
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace ase_testing
