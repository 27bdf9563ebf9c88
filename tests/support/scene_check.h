// What every import must leave behind, however broken its file: a scene
// whose indices all lie inside their arrays, whose parents form no cycle and
// whose records show the counts of their arrays. Shared by the tests, the
// mutation loops and the fuzzers; it uses no test framework.
#pragma once

#include <string>
#include <vector>

#include "host/app.h"
#include "host/scene.h"

namespace testing_support {

// The faults of the scene, each as a text; empty when it is well formed.
// Contract violations that the host noted count as faults too.
std::vector<std::string> sceneProblems(const refhost::Scene& scene);

}  // namespace testing_support
