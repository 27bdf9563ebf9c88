// UTF-16 input, transcoded to 8-bit text block by block. The reader's view
// of a whole file is checked end to end (import_test).
#include "ase/text_input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes utf16(const std::u16string& text, bool littleEndian) {
    Bytes bytes = {static_cast<unsigned char>(littleEndian ? 0xFF : 0xFE),
                   static_cast<unsigned char>(littleEndian ? 0xFE : 0xFF)};
    for (const char16_t unit : text) {
        const unsigned char low = unit & 0xFF, high = unit >> 8;
        bytes.push_back(littleEndian ? low : high);
        bytes.push_back(littleEndian ? high : low);
    }
    return bytes;
}

// Decodes bytes in blocks of the given sizes, as successive Reads deliver them.
std::string decode(Bytes bytes, const std::vector<int>& blockSizes) {
    TextDecoder decoder{};
    std::string text;
    std::size_t at = 0;
    for (const int size : blockSizes) {
        unsigned char* block = bytes.data() + at;
        const int32_t skip = at == 0 ? DetectEncoding(decoder, block, size) : 0;
        const int32_t n = DecodeBlock(decoder, block + skip, size - skip);
        text.append(reinterpret_cast<const char*>(block + skip), static_cast<std::size_t>(n));
        at += static_cast<std::size_t>(size);
    }
    return text;
}

}  // namespace

TEST(TextInput, Utf16BecomesLatin1WhereverTheBlocksSplitIt) {
    // é and ü fit a byte; € does not, a surrogate pair is one character, and
    // lone surrogates are characters that do not fit either.
    std::u16string text = u"AB\U0001F600CD\u00FC\u20AC";
    text += static_cast<char16_t>(0xD800);
    text += u"y";
    text += static_cast<char16_t>(0xDC00);
    for (const bool littleEndian : {true, false}) {
        Bytes bytes = utf16(text, littleEndian);  // the mark and 11 units: 24 bytes
        // Splits inside a unit (odd sizes) and between the halves of the pair;
        // the first block holds the mark, as the first Read always does.
        for (const std::vector<int>& blocks :
             {std::vector<int>{24}, {3, 21}, {8, 16}, {5, 1, 1, 17}, {2, 7, 7, 8}, {9, 15}}) {
            EXPECT_EQ(decode(bytes, blocks), "AB?CD\xFC??y?") << blocks.size() << " blocks";
        }
        bytes.push_back('x');  // a last odd byte is no character
        EXPECT_EQ(decode(bytes, {25}), "AB?CD\xFC??y?");
    }
    const std::string plain = "\xFF\xFF*A \xFE";
    EXPECT_EQ(decode(Bytes(plain.begin(), plain.end()), {6}), plain) << "without a mark bytes pass unchanged";
    EXPECT_EQ(decode(Bytes{0xFF}, {1}), "\xFF") << "one byte is no mark";
}
