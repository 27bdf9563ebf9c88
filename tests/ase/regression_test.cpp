// Inputs that once crashed or failed, kept under tests/ase/inputs: each
// imports cleanly, leaves nothing behind and dumps as valid JSON.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "host/dump.h"
#include "import_support.h"
#include "platform/control.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> keptInputs() {
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(fs::path(MAXASE_SOURCE_DIR) / "tests/ase/inputs")) {
        files.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class KeptInput : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(KeptInput, ImportsCleanly) {
    const std::string path = (fs::path(MAXASE_SOURCE_DIR) / "tests/ase/inputs" / GetParam()).string();
    const int heapBefore = PlatformHeapBlocksInUse();
    {
        ase_testing::Import input(testing_support::readFile(path));
        EXPECT_TRUE(input.result == 0 || input.result == 1);
        EXPECT_NO_THROW(refhost::dumpScene(input.harness.host(), input.scene).dump());
        EXPECT_EQ(input.harness.host().outstandingHelpers(), 0);
    }
    EXPECT_EQ(PlatformHeapBlocksInUse(), heapBefore);
}

INSTANTIATE_TEST_SUITE_P(Regressions, KeptInput, ::testing::ValuesIn(keptInputs()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             std::string name = param.param;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });
