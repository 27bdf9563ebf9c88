#include "support/stream_codecs.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "support/temp_files.h"

namespace testing_support {

namespace {

Bytes readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

}  // namespace

Bytes gzipBytes(const Bytes& data) {
    z_stream z{};
    constexpr int GzipWindowBits = 16 + 15;
    EXPECT_EQ(deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, GzipWindowBits, 8, Z_DEFAULT_STRATEGY), Z_OK);
    Bytes out(deflateBound(&z, static_cast<uLong>(data.size())) + 32);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

Bytes zstdBytes(const Bytes& data, const std::string& options, ZstdInput input) {
    static int serial = 0;
    const std::string stem = "zstd-" + std::to_string(++serial);
    const std::string in = writeTempFile(stem + ".in", data);
    const std::string out = tempPath(stem + ".zst");
    const std::string command =
        "zstd -q -f -c " + options + (input == ZstdInput::File ? " " : " < ") + quoted(in) + " > " + quoted(out);
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    Bytes frames = readWhole(out);
    std::remove(in.c_str());
    std::remove(out.c_str());
    return frames;
}

Bytes zstdDecoded(const Bytes& frames, bool* refused) {
    static int serial = 0;
    const std::string stem = "unzstd-" + std::to_string(++serial);
    const std::string in = writeTempFile(stem + ".zst", frames);
    const std::string out = tempPath(stem + ".out");
    const std::string command = "zstd -q -d -f -c " + quoted(in) + " > " + quoted(out) + " 2>/dev/null";
    const bool failed = std::system(command.c_str()) != 0;
    if (refused) *refused = failed;
    Bytes data = failed ? Bytes() : readWhole(out);
    std::remove(in.c_str());
    std::remove(out.c_str());
    return data;
}

}  // namespace testing_support
