// The host may call an importer on a thread with a small stack. Every real
// file, and the structure viewer's walk of every real MAX file, runs on a
// thread of 256 KiB here; an overflow would end the test program.
#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>

#include "fuzz_targets.h"
#include "hardening_inputs.h"

namespace {

using hardening::Input;

constexpr std::size_t HostStackBytes = 256u << 10;

struct Job {
    std::function<void()> work;
};

void* runJob(void* job) {
    static_cast<Job*>(job)->work();
    return nullptr;
}

// Runs work on a new thread with a stack of the given size; false when no
// such thread could be made.
bool runOnStack(std::size_t bytes, std::function<void()> work) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) return false;
    Job job{std::move(work)};
    pthread_t thread;
    const bool made =
        pthread_attr_setstacksize(&attributes, bytes) == 0 && pthread_create(&thread, &attributes, runJob, &job) == 0;
    pthread_attr_destroy(&attributes);
    return made && pthread_join(thread, nullptr) == 0;
}

class SmallStack : public ::testing::TestWithParam<Input> {};

}  // namespace

TEST_P(SmallStack, TheImportFitsTheStackAHostMayGive) {
    const Input& input = GetParam();
    const fuzz_targets::Target* target = fuzz_targets::findTarget(input.target);
    ASSERT_NE(target, nullptr);
    const std::vector<unsigned char> bytes = input.bytes();
    fuzz_targets::Problems problems;
    ASSERT_TRUE(runOnStack(HostStackBytes, [&] { problems = target->run(bytes.data(), bytes.size()); }));
    for (const std::string& p : problems) ADD_FAILURE() << p;
}

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SmallStack);
INSTANTIATE_TEST_SUITE_P(Corpus, SmallStack, ::testing::ValuesIn(hardening::corpusInputs()),
                         [](const ::testing::TestParamInfo<Input>& test) { return hardening::caseName(test.param); });

// An empty parameter list is no test at all: say why, or fail where the
// corpus is required.
TEST(SmallStackCorpus, IsThere) {
    if (hardening::corpusPresent()) return;
    if (MAXASE_REQUIRE_SAMPLES) FAIL() << "the corpus is required: " << MAXASE_SAMPLES_DIR;
    GTEST_SKIP() << "no sample files at " << MAXASE_SAMPLES_DIR;
}
