// The fuzz targets: each runs one input through the real plug-in, loaded
// into a fresh reference host as a host loads it, and answers what went
// wrong. The libFuzzer harnesses, the replay of kept inputs and the mutation
// loops of the tests all run these same functions.
//
// A new reader joins every one of them with its run function and one line in
// allTargets().
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace refhost {
class App;
}

namespace fuzz_targets {

// What an input broke; empty when it went through cleanly.
using Problems = std::vector<std::string>;
using RunFunction = Problems (*)(const uint8_t* data, std::size_t size);

struct Target {
    const char* name;  // also the folder of its seeds and kept inputs
    RunFunction run;
};

const std::vector<Target>& allTargets();
// Loads the plug-in now rather than with the first input, so that a fuzzer
// sees its coverage from the start.
void loadPlugin();

// Called with the host of every run, before the import and after it, when
// set: tests inject failures and read counts through them.
struct SessionHooks {
    std::function<void(refhost::App&)> before;
    std::function<void(refhost::App&)> after;
};
void setSessionHooks(SessionHooks hooks);
const Target* findTarget(const std::string& name);

// ASEImport over a memory stream.
Problems runAseImport(const uint8_t* data, std::size_t size);
// MAXImport of the input as a file on a memory-backed path, the
// acknowledgement given.
Problems runMaxImport(const uint8_t* data, std::size_t size);
// MAXImport's thumbnail mode over a memory stream.
Problems runMaxThumbnail(const uint8_t* data, std::size_t size);
// A debug-mode MAXImport, which fills the structure viewer, of a file made
// from the input: see viewerInput.
Problems runMaxViewer(const uint8_t* data, std::size_t size);

// The structure viewer target's input: the class directory stream's length
// as 4 bytes, little-endian, then that stream, then the "Scene" stream. A
// length beyond the input takes all of it.
std::vector<unsigned char> viewerInput(const std::vector<unsigned char>& classDirectory,
                                       const std::vector<unsigned char>& scene);

}  // namespace fuzz_targets
