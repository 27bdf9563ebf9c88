// A libFuzzer harness for one fuzz target, named by MAXASE_FUZZ_TARGET. An
// input that breaks anything aborts with what it broke, so that libFuzzer
// keeps it as a crash.
#include <cstdio>
#include <cstdlib>

#include "fuzz_targets.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz_targets::loadPlugin();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const fuzz_targets::Target* const target = fuzz_targets::findTarget(MAXASE_FUZZ_TARGET);
    if (!target) {
        std::fprintf(stderr, "no fuzz target %s\n", MAXASE_FUZZ_TARGET);
        std::abort();
    }
    const fuzz_targets::Problems problems = target->run(data, size);
    if (problems.empty()) return 0;
    for (const std::string& problem : problems) std::fprintf(stderr, "%s: %s\n", target->name, problem.c_str());
    std::abort();
}
