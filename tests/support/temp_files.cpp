#include "support/temp_files.h"

#include <gtest/gtest.h>

#include <fstream>

namespace testing_support {

std::string tempPath(const std::string& name) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string prefix = test ? std::string(test->test_suite_name()) + "." + test->name() + "-" : std::string();
    for (char& c : prefix) {
        if (c == '/') c = '_';
    }
    return ::testing::TempDir() + prefix + name;
}

std::string writeTempFile(const std::string& name, const Bytes& bytes) {
    const std::string path = tempPath(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << "cannot write " << path;
    return path;
}

}  // namespace testing_support
