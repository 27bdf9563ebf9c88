// The host's integer settings by section and key, compared without regard to
// case as Windows profiles are. Kept in memory, and in an INI file when one
// is given: it is read when the settings are made and rewritten on each write.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace refhost {

class Settings {
 public:
    Settings() = default;
    explicit Settings(std::string iniPath);

    std::optional<int32_t> get(const std::string& section, const std::string& key) const;
    int32_t get(const std::string& section, const std::string& key, int32_t defaultValue) const;
    void set(const std::string& section, const std::string& key, int32_t value);
    void remove(const std::string& section, const std::string& key);
    // A value for this run only: it is answered before the stored one and
    // never written to the INI file.
    void setTransient(const std::string& section, const std::string& key, int32_t value);

    const std::string& iniPath() const { return path_; }
    // False when the INI file could not be written.
    bool saved() const { return saved_; }

 private:
    struct NoCase {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    using Section = std::map<std::string, int32_t, NoCase>;

    void load();
    void save();

    std::map<std::string, Section, NoCase> sections_;
    std::map<std::string, Section, NoCase> transient_;
    std::string path_;
    bool saved_ = true;
};

}  // namespace refhost
