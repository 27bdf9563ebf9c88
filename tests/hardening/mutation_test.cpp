// Every small file, cut short at many lengths and patched with a few hundred
// seeded bytes and words, goes through its fuzz target: nothing may crash,
// leak, break the contract or leave a scene that is not well formed.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "fuzz_targets.h"
#include "hardening_inputs.h"
#include "support/mutations.h"

namespace {

using hardening::Input;

constexpr std::size_t TruncationLimit = 512;
constexpr int PatchCount = 300;
constexpr int ReportedFailures = 5;

class Mutations : public ::testing::TestWithParam<Input> {};

uint32_t seedOf(const std::string& name) {
    return static_cast<uint32_t>(std::hash<std::string>{}(name));
}

}  // namespace

TEST_P(Mutations, EveryTruncationAndPatchImportsCleanly) {
    const Input& input = GetParam();
    const std::vector<unsigned char> original = input.bytes();
    ASSERT_FALSE(original.empty());
    const fuzz_targets::Target* target = fuzz_targets::findTarget(input.target);
    ASSERT_NE(target, nullptr);
    int runs = 0, failures = 0;
    auto run = [&](const std::vector<unsigned char>& bytes, std::size_t size, const std::string& what) {
        ++runs;
        const fuzz_targets::Problems problems = target->run(bytes.data(), size);
        if (problems.empty() || ++failures > ReportedFailures) return;
        std::string text;
        for (const std::string& p : problems) text += "\n  " + p;
        ADD_FAILURE() << what << ":" << text;
    };
    for (const std::size_t length : testing_support::truncationLengths(original.size(), TruncationLimit)) {
        run(original, length, "cut to " + std::to_string(length) + " bytes");
    }
    for (const testing_support::Patch& patch :
         testing_support::seededPatches(original.size(), seedOf(input.name), PatchCount)) {
        run(testing_support::patched(original, patch), original.size(), "patched " + testing_support::describe(patch));
    }
    std::printf("%s %s: %d damaged copies imported, %d failed\n", input.target.c_str(), input.name.c_str(), runs,
                failures);
    EXPECT_EQ(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(SmallFiles, Mutations, ::testing::ValuesIn(hardening::smallInputs()),
                         [](const ::testing::TestParamInfo<Input>& test) { return hardening::caseName(test.param); });
