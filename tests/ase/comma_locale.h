// A locale whose decimal separator is a comma, built once per test program
// with localedef into a temporary folder. Tests that need it skip with a
// message where the system cannot build one.
#pragma once

#include <string>

namespace ase_testing {

// Switches LC_NUMERIC to a decimal-comma locale for the life of the object.
class CommaLocale {
 public:
    CommaLocale();
    ~CommaLocale();
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
    // False, with the reason, when no such locale could be made or set.
    bool active() const { return active_; }
    const std::string& reason() const { return reason_; }

 private:
    bool active_ = false;
    std::string reason_;
};

}  // namespace ase_testing
