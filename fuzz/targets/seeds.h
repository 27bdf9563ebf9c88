// Small inputs for the fuzz targets: made here, so that they always match
// the file writers, and taken from real sample files. They are the fuzzers'
// seed corpora and the generated files of the mutation loops.
#pragma once

#include <string>
#include <vector>

namespace fuzz_targets {

struct NamedInput {
    std::string name;
    std::vector<unsigned char> bytes;
};

// The inputs made for a target (none for an unknown one).
std::vector<NamedInput> generatedInputs(const std::string& target);

// The inputs a target takes from a real sample file of the corpus folder
// ("ase" or "max" files), when the file is small enough for it: the file
// itself, or for the structure viewer its class directory and Scene stream.
std::vector<NamedInput> sampleInputs(const std::string& target, const std::string& path, std::size_t sizeLimit);

}  // namespace fuzz_targets
