// The Zstandard decoder's speed: generated data (text-like and mesh-like),
// compressed by the `zstd` tool at a fast and a strong level, decoded by the
// plug-in's decoder; prints the best MB/s of the decoded bytes over several
// rounds, beside the ratio.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/zstd.h"
#include "support/stream_codecs.h"

namespace {

using Clock = std::chrono::steady_clock;
using testing_support::Bytes;
constexpr int Rounds = 5;
constexpr std::size_t Size = 32u << 20;

Bytes textLike(std::size_t size) {
    static const char* const words[] = {"node",  "mesh", "vertex",    "face", "the", "of",    "material", "scene",
                                        "chunk", "key",  "transform", "a",    "and", "light", "camera"};
    std::mt19937 random(1);
    Bytes out;
    while (out.size() < size) {
        const char* w = words[random() % (sizeof words / sizeof words[0])];
        out.insert(out.end(), w, w + std::strlen(w));
        out.push_back(random() % 12 == 0 ? '\n' : ' ');
    }
    out.resize(size);
    return out;
}

Bytes meshLike(std::size_t size) {
    std::mt19937 random(2);
    Bytes out;
    for (uint32_t i = 0; out.size() < size; ++i) {
        const float v = static_cast<float>(i % 101) * 0.5f + static_cast<float>(random() % 8) * 0.001f;
        unsigned char b[4];
        std::memcpy(b, &v, 4);
        out.insert(out.end(), b, b + 4);
    }
    out.resize(size);
    return out;
}

}  // namespace

int main() {
    std::printf("%-12s %-6s %10s %10s %7s %10s\n", "data", "level", "bytes", "stored", "ratio", "MB/s");
    const std::pair<const char*, Bytes> inputs[] = {{"text-like", textLike(Size)}, {"mesh-like", meshLike(Size)}};
    for (const auto& [name, data] : inputs) {
        for (const char* level : {"-3", "-19"}) {
            const Bytes frames = testing_support::zstdBytes(data, level);
            double best = 1e30;
            bool same = true;
            for (int round = 0; round < Rounds; ++round) {
                OutputBuffer out;
                out.limit = 1u << 30;
                const auto start = Clock::now();
                const zstd::Status status = zstd::decode(frames.data(), static_cast<uint32_t>(frames.size()), out);
                best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
                same = same && status == zstd::Status::Ok && out.size == data.size() &&
                       std::memcmp(out.data, data.data(), data.size()) == 0;
                releaseOutput(out);
            }
            std::printf("%-12s %-6s %10zu %10zu %7.2f %10.1f%s\n", name, level, data.size(), frames.size(),
                        static_cast<double>(data.size()) / static_cast<double>(frames.size()),
                        static_cast<double>(data.size()) / 1e6 / best, same ? "" : "  (decoded bytes differ)");
        }
    }
    return 0;
}
