// The files the hardening tests damage, starve and run on a small stack:
// the small files of both sample corpora, the files the fuzz targets make
// for themselves, and the kept inputs of the repository. They are listed
// cheaply and read only by the test that takes them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace hardening {

struct Input {
    enum class Source { Made, File, Streams };
    std::string target;  // the fuzz target that reads it
    std::string name;
    Source source;
    std::string path;  // of the file, or of the MAX file whose streams it is

    std::vector<unsigned char> bytes() const;
};

// Small files, each with the target that suits it: real ASE files below
// 64 KB, the streams of the smallest real MAX files for the structure
// viewer, every file the targets make, the kept inputs and the example.
std::vector<Input> smallInputs();
// Every real sample file, of any size, with its import target, and the
// streams of every real MAX file for the structure viewer.
std::vector<Input> corpusInputs();
// The name of a test case for an input: letters, digits and underscores.
std::string caseName(const Input& input);
void PrintTo(const Input& input, std::ostream* out);

// True when the corpus folder is there; otherwise a test of it fails or is
// skipped, as the build requires.
bool corpusPresent();

}  // namespace hardening
