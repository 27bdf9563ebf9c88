// Files of the running test in the temporary folder.
#pragma once

#include <string>

#include "support/compound_writer.h"

namespace testing_support {

// A path in the temporary folder that belongs to the running test alone, so
// that tests running side by side never share a file.
std::string tempPath(const std::string& name);
// A file at tempPath(name), holding bytes; returns its path.
std::string writeTempFile(const std::string& name, const Bytes& bytes);

}  // namespace testing_support
