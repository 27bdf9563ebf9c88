// What the reference host notices of a plug-in that breaks the contract: a
// call of an unlisted slot, an object that the host never handed out. These
// are collected process-wide; tests expect none.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace refhost {

void reportContractViolation(const std::string& text);
std::vector<std::string> contractViolations();
void clearContractViolations();
int32_t unusedSlotCalled(const char* interfaceName, int slot);

}  // namespace refhost

// Implements placeholder slot n of an interface; the class names itself with
// a static contractName().
#define REFHOST_UNUSED_SLOT(n)                                 \
    int32_t HOSTAPI unusedSlot##n() override {                 \
        return ::refhost::unusedSlotCalled(contractName(), n); \
    }
