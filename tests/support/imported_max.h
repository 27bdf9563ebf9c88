// A MAX file written by a test and imported through the plug-in, its nodes
// looked up by name; a missing node is a test failure, not a crash.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/max_import.h"
#include "support/max_writer.h"
#include "support/temp_files.h"

namespace testing_support {

struct ImportedMax {
    MaxImport import;

    const refhost::NodeData& node(const std::string& name) {
        const refhost::NodeData* n = import.node(name);
        if (!n) ADD_FAILURE() << "no node " << name;
        static const refhost::NodeData none;
        return n ? *n : none;
    }
};

inline void run(ImportedMax& imported, const MaxWriter& w, const std::string& name) {
    ASSERT_EQ(imported.import.run(writeTempFile(name, w.build())), 1);
}

}  // namespace testing_support
