// Every allocation an import makes fails in turn, once and from then on:
// the plug-in's heap, movable global memory, and the host's pool, node
// memory and arrays. The import must end cleanly, with 0 or a partial but
// well-formed scene, and give back everything it took.
#include <gtest/gtest.h>

#include <cstdio>

#include "fuzz_targets.h"
#include "hardening_inputs.h"
#include "host/app.h"
#include "platform/control.h"

namespace {

using hardening::Input;

enum class Memory { Heap, Global, Host };

const char* nameOf(Memory memory) {
    switch (memory) {
        case Memory::Heap:
            return "heap";
        case Memory::Global:
            return "global memory";
        case Memory::Host:
            return "host";
    }
    return "";
}

// Runs the input with the nth request of the memory failing (0: none), and
// answers the requests the run made.
class Starved {
 public:
    Starved(const Input& input, Memory memory) : input_(input), bytes_(input.bytes()), memory_(memory) {}

    int requests(fuzz_targets::Problems& problems) { return run(0, false, problems); }

    int run(int nth, bool persistent, fuzz_targets::Problems& problems) {
        const fuzz_targets::Target* target = fuzz_targets::findTarget(input_.target);
        int hostRequests = 0;
        fuzz_targets::SessionHooks hooks;
        if (memory_ == Memory::Host) {
            hooks.before = [&](refhost::App& app) { app.failAllocation(nth, persistent); };
            hooks.after = [&](refhost::App& app) { hostRequests = app.allocationRequests(); };
        }
        fuzz_targets::setSessionHooks(hooks);
        const PlatformMemoryKind kind = memory_ == Memory::Global ? PlatformGlobalMemory : PlatformHeapMemory;
        PlatformMemoryStats before;
        PlatformMemoryStatsOf(kind, &before);
        if (memory_ != Memory::Host) PlatformFailAllocation(kind, static_cast<DWORD>(nth), persistent);
        problems = target->run(bytes_.data(), bytes_.size());
        PlatformFailAllocation(kind, 0, FALSE);
        fuzz_targets::setSessionHooks({});
        PlatformMemoryStats after;
        PlatformMemoryStatsOf(kind, &after);
        return memory_ == Memory::Host ? hostRequests : static_cast<int>(after.requests - before.requests);
    }

 private:
    const Input& input_;
    std::vector<unsigned char> bytes_;
    Memory memory_;
};

// A few files of every target: small, and rich in what they allocate.
std::vector<Input> starvedInputs() {
    std::vector<Input> chosen;
    for (Input& input : hardening::smallInputs()) {
        const bool made = input.name.rfind("made_every_", 0) == 0 && input.name.find("utf16") == std::string::npos &&
                          input.name.find("_4096") == std::string::npos &&
                          input.name.find("fragmented") == std::string::npos;
        if (made || input.name == "assimp_CameraRollAnimWithChildObject.ase" || input.name == "cafu_box1a.ase") {
            chosen.push_back(std::move(input));
        }
    }
    return chosen;
}

class AllocationFailure : public ::testing::TestWithParam<Input> {};

}  // namespace

TEST_P(AllocationFailure, EveryRequestFailingInTurnEndsCleanly) {
    const Input& input = GetParam();
    int exercised = 0;
    for (const Memory memory : {Memory::Heap, Memory::Global, Memory::Host}) {
        Starved starved(input, memory);
        fuzz_targets::Problems problems;
        const int requests = starved.requests(problems);
        ASSERT_TRUE(problems.empty()) << "the file itself imports cleanly: " << problems.front();
        for (const bool persistent : {false, true}) {
            for (int nth = 1; nth <= requests; ++nth) {
                starved.run(nth, persistent, problems);
                for (const std::string& p : problems) {
                    ADD_FAILURE() << nameOf(memory) << " request " << nth << (persistent ? " and every later one" : "")
                                  << " failing: " << p;
                }
            }
        }
        std::printf("%s %s: %d %s requests, each failed alone and from then on\n", input.target.c_str(),
                    input.name.c_str(), requests, nameOf(memory));
        exercised += requests;
    }
    EXPECT_GT(exercised, 0) << "the import allocates nothing that could fail";
}

INSTANTIATE_TEST_SUITE_P(Files, AllocationFailure, ::testing::ValuesIn(starvedInputs()),
                         [](const ::testing::TestParamInfo<Input>& test) { return hardening::caseName(test.param); });
