// UTF-16 input: transcoded to 8-bit text on the fly, the same text as an
// 8-bit file gives.
#include "ase/text_input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ase_text.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes utf16(const std::u16string& text, bool littleEndian, bool mark = true) {
    Bytes bytes;
    if (mark) {
        bytes.push_back(littleEndian ? 0xFF : 0xFE);
        bytes.push_back(littleEndian ? 0xFE : 0xFF);
    }
    for (const char16_t unit : text) {
        const unsigned char low = unit & 0xFF, high = unit >> 8;
        bytes.push_back(littleEndian ? low : high);
        bytes.push_back(littleEndian ? high : low);
    }
    return bytes;
}

// Decodes bytes in blocks of the given sizes, as successive Reads deliver them.
std::string decode(Bytes bytes, const std::vector<int>& blockSizes) {
    TextDecoder decoder;
    std::string text;
    std::size_t at = 0;
    bool first = true;
    for (const int size : blockSizes) {
        unsigned char* block = bytes.data() + at;
        int32_t skip = first ? DetectEncoding(decoder, block, size) : 0;
        first = false;
        const int32_t n = DecodeBlock(decoder, block + skip, size - skip);
        text.append(reinterpret_cast<const char*>(block + skip), static_cast<std::size_t>(n));
        at += static_cast<std::size_t>(size);
    }
    return text;
}

}  // namespace

TEST(TextInput, MarkChoosesTheByteOrderAndIsDropped) {
    const std::u16string text = u"*NODE_NAME \"Box\"\r\n";
    for (const bool littleEndian : {true, false}) {
        Bytes bytes = utf16(text, littleEndian);
        EXPECT_EQ(decode(bytes, {static_cast<int>(bytes.size())}), "*NODE_NAME \"Box\"\r\n");
    }
    const std::string plain = "\xFF\xFF*A \xFE";
    Bytes bytes(plain.begin(), plain.end());
    EXPECT_EQ(decode(bytes, {static_cast<int>(bytes.size())}), plain) << "without a mark bytes pass unchanged";
    Bytes lone = {0xFF};
    EXPECT_EQ(decode(lone, {1}), "\xFF") << "one byte is no mark";
}

TEST(TextInput, CharactersBeyondLatin1BecomeOneQuestionMarkEach) {
    // é (U+00E9) stays a byte; € and Ω do not fit; a surrogate pair is one
    // character; lone surrogates are characters that do not fit either.
    const std::u16string text = u"a\u00E9\u20AC\u03A9\U0001F600b";
    std::u16string lone = u"x";
    lone += static_cast<char16_t>(0xD800);
    lone += u"y";
    lone += static_cast<char16_t>(0xDC00);
    lone += u"z";
    for (const bool littleEndian : {true, false}) {
        Bytes bytes = utf16(text, littleEndian);
        EXPECT_EQ(decode(bytes, {static_cast<int>(bytes.size())}), "a\xE9???b");
        bytes = utf16(lone, littleEndian);
        EXPECT_EQ(decode(bytes, {static_cast<int>(bytes.size())}), "x?y?z");
    }
}

TEST(TextInput, UnitsAndPairsSplitBetweenBlocksAreJoined) {
    const std::u16string text = u"AB\U0001F600CD\u00FC";
    for (const bool littleEndian : {true, false}) {
        Bytes bytes = utf16(text, littleEndian);  // the mark and 7 units: 16 bytes
        // Splits inside a unit (odd sizes) and between the halves of the pair;
        // the first block holds the mark, as the first Read always does.
        for (const std::vector<int>& blocks :
             {std::vector<int>{3, 13}, {5, 1, 1, 9}, {2, 7, 7}, {9, 7}, {2, 1, 1, 1, 1, 1, 1, 1, 7}}) {
            EXPECT_EQ(decode(bytes, blocks), "AB?CD\xFC") << blocks.size() << " blocks";
        }
        bytes.push_back('x');  // a last odd byte is no character
        EXPECT_EQ(decode(bytes, {static_cast<int>(bytes.size())}), "AB?CD\xFC");
    }
}

// Through the reader: the blocks of 32768 bytes split the text anywhere.
TEST(TextInput, ReaderSeesTheSameTokensAsInAnEightBitFile) {
    std::string text = "*3DSMAX_ASCIIEXPORT\t200\r\n*COMMENT \"caf\xE9\"\r\n";
    for (int i = 0; text.size() < 50000; ++i) {
        text += "*MESH_VERTEX " + std::to_string(i) + "\t" + std::to_string(i * 0.25) + "\t-1.5\t2 # note\r\n";
    }
    std::u16string wide;
    for (const char c : text) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    ase_testing::AseText eightBit(text);
    const std::vector<std::string> expected = eightBit.remainingTokens();
    for (const bool littleEndian : {true, false}) {
        const Bytes bytes = utf16(wide, littleEndian);
        ase_testing::AseText sixteenBit(std::string(bytes.begin(), bytes.end()));
        EXPECT_EQ(sixteenBit.remainingTokens(), expected);
        EXPECT_EQ(sixteenBit.stream->readCalls(), static_cast<int>(bytes.size() / 32768 + 1));
    }
}
