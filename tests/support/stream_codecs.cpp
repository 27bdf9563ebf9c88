#include "support/stream_codecs.h"

#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

namespace {

Bytes readWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A file of this process alone in the temporary folder, removed with the
// object.
class ScratchFile {
 public:
    explicit ScratchFile(const std::string& suffix) {
        static int serial = 0;
        path_ = (std::filesystem::temp_directory_path() /
                 ("maxase-codec-" + std::to_string(getpid()) + "-" + std::to_string(++serial) + suffix))
                    .string();
    }
    ~ScratchFile() { std::remove(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return path_; }
    std::string quoted() const { return "'" + path_ + "'"; }
    void write(const Bytes& bytes) const {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.good()) throw std::runtime_error("cannot write " + path_);
    }

 private:
    std::string path_;
};

}  // namespace

Bytes gzipBytes(const Bytes& data) {
    z_stream z{};
    constexpr int GzipWindowBits = 16 + 15;
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, GzipWindowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw std::runtime_error("deflateInit2 failed");
    }
    Bytes out(deflateBound(&z, static_cast<uLong>(data.size())) + 32);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (result != Z_STREAM_END) throw std::runtime_error("deflate did not finish");
    return out;
}

Bytes gunzipBytes(const Bytes& members) {
    Bytes out;
    z_stream z{};
    constexpr int GzipWindowBits = 16 + 15;
    if (inflateInit2(&z, GzipWindowBits) != Z_OK) throw std::runtime_error("inflateInit2 failed");
    z.next_in = const_cast<Bytef*>(members.data());
    z.avail_in = static_cast<uInt>(members.size());
    int result = Z_OK;
    while (result != Z_STREAM_END || z.avail_in > 0) {
        if (result == Z_STREAM_END) inflateReset(&z);
        unsigned char piece[1 << 16];
        z.next_out = piece;
        z.avail_out = sizeof piece;
        result = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), piece, piece + (sizeof piece - z.avail_out));
        if (result != Z_OK && result != Z_STREAM_END) break;
    }
    inflateEnd(&z);
    if (result != Z_STREAM_END) throw std::runtime_error("not gzip members");
    return out;
}

Bytes zstdBytes(const Bytes& data, const std::string& options, ZstdInput input) {
    const ScratchFile in(".in");
    const ScratchFile out(".zst");
    in.write(data);
    const std::string command =
        "zstd -q -f -c " + options + (input == ZstdInput::File ? " " : " < ") + in.quoted() + " > " + out.quoted();
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
    return readWhole(out.path());
}

Bytes zstdDecoded(const Bytes& frames, bool* refused) {
    const ScratchFile in(".zst");
    const ScratchFile out(".out");
    in.write(frames);
    const std::string command = "zstd -q -d -f -c " + in.quoted() + " > " + out.quoted() + " 2>/dev/null";
    const bool failed = std::system(command.c_str()) != 0;
    if (refused) *refused = failed;
    return failed ? Bytes() : readWhole(out.path());
}

}  // namespace testing_support
