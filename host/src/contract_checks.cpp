#include "host/contract_checks.h"

#include <mutex>

namespace refhost {

namespace {
std::mutex violationMutex;
std::vector<std::string> violations;
}  // namespace

void reportContractViolation(const std::string& text) {
    std::lock_guard<std::mutex> lock(violationMutex);
    violations.push_back(text);
}

std::vector<std::string> contractViolations() {
    std::lock_guard<std::mutex> lock(violationMutex);
    return violations;
}

void clearContractViolations() {
    std::lock_guard<std::mutex> lock(violationMutex);
    violations.clear();
}

int32_t unusedSlotCalled(const char* interfaceName, int slot) {
    reportContractViolation(std::string(interfaceName) + ": unlisted slot " + std::to_string(slot) + " called");
    return 0;
}

}  // namespace refhost
