#include "host/settings.h"

#include <strings.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace refhost {

namespace {

std::string trim(const std::string& s) {
    const auto begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return {};
    const auto end = s.find_last_not_of(" \t\r\n");
    return s.substr(begin, end - begin + 1);
}

}  // namespace

bool Settings::NoCase::operator()(const std::string& a, const std::string& b) const {
    return strcasecmp(a.c_str(), b.c_str()) < 0;
}

Settings::Settings(std::string iniPath) : path_(std::move(iniPath)) {
    load();
}

std::optional<int32_t> Settings::get(const std::string& section, const std::string& key) const {
    for (const auto* layer : {&transient_, &sections_}) {
        const auto s = layer->find(section);
        if (s == layer->end()) continue;
        const auto k = s->second.find(key);
        if (k != s->second.end()) return k->second;
    }
    return std::nullopt;
}

int32_t Settings::get(const std::string& section, const std::string& key, int32_t defaultValue) const {
    return get(section, key).value_or(defaultValue);
}

void Settings::set(const std::string& section, const std::string& key, int32_t value) {
    sections_[section][key] = value;
    save();
}

void Settings::remove(const std::string& section, const std::string& key) {
    const auto s = sections_.find(section);
    if (s == sections_.end()) return;
    s->second.erase(key);
    save();
}

void Settings::setTransient(const std::string& section, const std::string& key, int32_t value) {
    transient_[section][key] = value;
}

void Settings::load() {
    std::ifstream in(path_);
    if (!in) return;
    std::string line;
    std::string section;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = trim(line.substr(1, line.size() - 2));
            continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos || section.empty()) continue;
        const std::string value = trim(line.substr(eq + 1));
        char* end = nullptr;
        errno = 0;
        const long number = std::strtol(value.c_str(), &end, 10);
        if (errno != 0 || end == value.c_str() || number < INT32_MIN || number > INT32_MAX) continue;
        sections_[section][trim(line.substr(0, eq))] = static_cast<int32_t>(number);
    }
}

void Settings::save() {
    if (path_.empty()) return;
    std::error_code ignored;
    const auto parent = std::filesystem::path(path_).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ignored);
    const std::string temporary = path_ + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const auto& [name, keys] : sections_) {
            out << '[' << name << "]\n";
            for (const auto& [key, value] : keys) out << key << '=' << value << '\n';
            out << '\n';
        }
        saved_ = static_cast<bool>(out);
    }
    if (saved_) {
        std::filesystem::rename(temporary, path_, ignored);
        saved_ = !ignored;
    }
}

}  // namespace refhost
