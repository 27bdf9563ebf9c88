// Replays inputs through a fuzz target without libFuzzer: the kept inputs
// that once failed and the seed corpora, as an ordinary test of every build.
//   fuzz_replay TARGET PATH...   (a path is a file or a folder of files)
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_targets.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> inputsAt(const fs::path& path) {
    std::vector<fs::path> files;
    if (fs::is_directory(path)) {
        for (const auto& entry : fs::directory_iterator(path)) {
            if (entry.is_regular_file() && entry.path().filename().string()[0] != '.') files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
    } else if (fs::is_regular_file(path)) {
        files.push_back(path);
    }
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s TARGET PATH...\n", argv[0]);
        return 2;
    }
    const fuzz_targets::Target* target = fuzz_targets::findTarget(argv[1]);
    if (!target) {
        std::fprintf(stderr, "no fuzz target %s\n", argv[1]);
        return 2;
    }
    int replayed = 0, failed = 0;
    for (int a = 2; a < argc; ++a) {
        for (const fs::path& file : inputsAt(argv[a])) {
            std::ifstream in(file, std::ios::binary);
            const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                                   std::istreambuf_iterator<char>()};
            const fuzz_targets::Problems problems = target->run(bytes.data(), bytes.size());
            ++replayed;
            if (problems.empty()) continue;
            ++failed;
            for (const std::string& problem : problems) std::printf("%s: %s\n", file.c_str(), problem.c_str());
        }
    }
    std::printf("%s: %d inputs replayed, %d failed\n", target->name, replayed, failed);
    return failed == 0 && replayed > 0 ? 0 : 1;
}
