// Writes the seed corpora of the fuzz targets: the inputs made for each
// target, and the small real sample files that suit it.
//   fuzz_seeds OUTPUT_FOLDER [SAMPLES_FOLDER]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "fuzz_targets.h"
#include "seeds.h"
#include "support/max_writer.h"
#include "support/stream_codecs.h"

namespace fs = std::filesystem;

namespace {

// Small inputs keep a fuzzer fast; real MAX files start at about 120 KB.
std::size_t sizeLimit(const std::string& target) {
    return target == "max_import" || target == "max_thumbnail" ? 128u << 10 : 64u << 10;
}

bool write(const fs::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

// Seeds of the decoder harnesses, made by zlib and the zstd tool from a small
// MAX file's bytes: plain frames for the zstd decoder, and stored streams of
// every form (the first byte choosing the Scene's role or another's) for the
// stream decoding.
bool writeDecoderSeeds(const fs::path& root, const std::vector<unsigned char>& content) {
    using namespace testing_support;
    const fs::path zstdFolder = root / "zstd";
    const fs::path streamFolder = root / "stream_decoding";
    for (const fs::path& folder : {zstdFolder, streamFolder}) {
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    const std::vector<std::pair<std::string, Bytes>> frames = {
        {"level3", zstdBytes(content, "-3")},
        {"level19", zstdBytes(content, "-19")},
        {"sized_checked", zstdBytes(content, "", ZstdInput::File)},
        {"unchecked", zstdBytes(content, "--no-check")},
    };
    for (const auto& [name, frame] : frames) {
        if (!write(zstdFolder / name, frame)) return false;
    }
    const auto role = [](unsigned char first, const Bytes& stored) {
        Bytes input(stored.size() + 1);
        input[0] = first;
        std::copy(stored.begin(), stored.end(), input.begin() + 1);
        return input;
    };
    return write(streamFolder / "scene_zstd", role(1, zstdStream(streamedScene(0x2004, content)))) &&
           write(streamFolder / "other_zstd", role(0, zstdStream(wrappedStream(0x2200, content)))) &&
           write(streamFolder / "scene_gzip", role(1, gzipBytes(content))) &&
           write(streamFolder / "other_plain", role(0, content));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [SAMPLES_FOLDER]\n", argv[0]);
        return 2;
    }
    std::vector<fs::path> samples;
    if (argc > 2) {
        for (const char* kind : {"ase", "max"}) {
            const fs::path folder = fs::path(argv[2]) / kind;
            if (!fs::is_directory(folder)) continue;
            for (const auto& entry : fs::directory_iterator(folder)) samples.push_back(entry.path());
        }
    }
    for (const fuzz_targets::Target& target : fuzz_targets::allTargets()) {
        const fs::path folder = fs::path(argv[1]) / target.name;
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::vector<fuzz_targets::NamedInput> inputs = fuzz_targets::generatedInputs(target.name);
        for (const fs::path& sample : samples) {
            for (auto& input : fuzz_targets::sampleInputs(target.name, sample.string(), sizeLimit(target.name))) {
                inputs.push_back(std::move(input));
            }
        }
        for (const fuzz_targets::NamedInput& input : inputs) {
            if (!write(folder / input.name, input.bytes)) {
                std::fprintf(stderr, "cannot write %s\n", (folder / input.name).c_str());
                return 1;
            }
        }
        std::printf("%s: %zu seeds\n", target.name, inputs.size());
    }
    const std::vector<fuzz_targets::NamedInput> small = fuzz_targets::generatedInputs("max_import");
    if (small.empty() || !writeDecoderSeeds(argv[1], small.front().bytes)) {
        std::fprintf(stderr, "cannot write the decoder seeds\n");
        return 1;
    }
    return 0;
}
