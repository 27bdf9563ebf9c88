#include "hardening_inputs.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "fuzz_targets.h"
#include "seeds.h"

namespace hardening {

namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t SmallFileBytes = 64u << 10;
// The MAX files whose streams are small enough for the mutation loops.
constexpr std::uintmax_t SmallMaxFileBytes = 160u << 10;

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    if (!fs::is_directory(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<fs::path> corpusFiles(const char* kind) {
    return filesIn(fs::path(MAXASE_SAMPLES_DIR) / kind);
}

std::vector<unsigned char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

std::vector<unsigned char> Input::bytes() const {
    switch (source) {
        case Source::Made:
            for (auto& made : fuzz_targets::generatedInputs(target)) {
                if ("made_" + made.name == name) return std::move(made.bytes);
            }
            return {};
        case Source::File:
            return fileBytes(path);
        case Source::Streams:
            for (auto& streams : fuzz_targets::sampleInputs("max_viewer", path, SIZE_MAX))
                return std::move(streams.bytes);
            return {};
    }
    return {};
}

bool corpusPresent() {
    return fs::is_directory(MAXASE_SAMPLES_DIR);
}

std::vector<Input> smallInputs() {
    std::vector<Input> inputs;
    for (const fuzz_targets::Target& target : fuzz_targets::allTargets()) {
        for (const auto& made : fuzz_targets::generatedInputs(target.name)) {
            inputs.push_back({target.name, "made_" + made.name, Input::Source::Made, ""});
        }
    }
    for (const fs::path& file : corpusFiles("ase")) {
        if (fs::file_size(file) < SmallFileBytes) {
            inputs.push_back({"ase_import", file.filename().string(), Input::Source::File, file.string()});
        }
    }
    for (const fs::path& file : corpusFiles("max")) {
        if (fs::file_size(file) < SmallMaxFileBytes) {
            inputs.push_back({"max_viewer", file.filename().string(), Input::Source::Streams, file.string()});
        }
    }
    const fs::path source(MAXASE_SOURCE_DIR);
    for (const fs::path& kept : filesIn(source / "tests/ase/inputs")) {
        inputs.push_back({"ase_import", "kept_" + kept.filename().string(), Input::Source::File, kept.string()});
    }
    inputs.push_back(
        {"ase_import", "example_scene.ase", Input::Source::File, (source / "examples/scene.ase").string()});
    return inputs;
}

std::vector<Input> corpusInputs() {
    std::vector<Input> inputs;
    for (const fs::path& file : corpusFiles("ase")) {
        inputs.push_back({"ase_import", file.filename().string(), Input::Source::File, file.string()});
    }
    for (const fs::path& file : corpusFiles("max")) {
        inputs.push_back({"max_import", file.filename().string(), Input::Source::File, file.string()});
        inputs.push_back({"max_viewer", file.filename().string(), Input::Source::Streams, file.string()});
    }
    return inputs;
}

std::string caseName(const Input& input) {
    std::string name = input.target + "_" + input.name;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

void PrintTo(const Input& input, std::ostream* out) {
    *out << input.target << " " << input.name;
}

}  // namespace hardening
