// The token reader: buffering and refills, tokens, comments, strings,
// keyword comparison, block skipping and the default keyword handling.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ase/number_text.h"
#include "ase_text.h"

using ase_testing::AseText;
using Tokens = std::vector<std::string>;

TEST(Reader, EmptyInputReadsOnceAndGivesNothing) {
    AseText input("");
    char c;
    EXPECT_FALSE(ReadChar(input.reader, c));
    EXPECT_EQ(NextToken(input.reader), nullptr);
    EXPECT_STREQ(input.reader.token, "");
    EXPECT_EQ(ReadInt(input.reader), 0);
    EXPECT_EQ(ReadFloat(input.reader), 0.0);
    EXPECT_FALSE(NextKeyword(input.reader));
    EXPECT_FALSE(SkipBlock(input.reader));
    EXPECT_EQ(input.stream->readCalls(), 1);
}

TEST(Reader, ListsAreSizedOnlyWithinWhatTheRestOfTheInputCanHold) {
    // 8 bytes of input for each entry, and 4096 entries for short texts.
    const std::string text(80000, ' ');
    AseText input(text, [](refhost::MemoryStream& stream) { stream.Seek(8000, 0); });
    EXPECT_EQ(input.stream->Tell(), 8000 + static_cast<int32_t>(input.reader.lastReadCount))
        << "the stream goes on from where the host left it";
    EXPECT_FALSE(ReserveEntries(input.reader, -1));
    EXPECT_FALSE(ReserveEntries(input.reader, 72000 / 8 + 4096 + 1));
    EXPECT_TRUE(ReserveEntries(input.reader, 72000 / 8));
    EXPECT_TRUE(ReserveEntries(input.reader, 4096));
    EXPECT_FALSE(ReserveEntries(input.reader, 1)) << "what each list took is gone";
    EXPECT_TRUE(ReserveEntries(input.reader, 0));
}

TEST(Reader, RefillsExactlyWhereCharacterReadsWould) {
    struct Case {
        std::size_t size;
        Tokens calls;
    };
    const std::vector<Case> cases = {
        {100, {"Read(32768) -> 100"}},
        {32768, {"Read(32768) -> 32768", "Tell -> 32768", "Read(32768) -> 0"}},
        {32769, {"Read(32768) -> 32768", "Tell -> 32768", "Read(32768) -> 1"}},
        {65536, {"Read(32768) -> 32768", "Tell -> 32768", "Read(32768) -> 32768", "Tell -> 65536", "Read(32768) -> 0"}},
    };
    for (const Case& c : cases) {
        // Words of 7 letters and a space, so that tokens cross the block ends.
        std::string text;
        while (text.size() < c.size) text += "abcdefg ";
        text.resize(c.size, 'x');
        AseText input(text, [](refhost::MemoryStream& s) { s.recordCalls(true); });
        std::string joined;
        while (NextToken(input.reader)) joined += std::string(input.reader.token) + " ";
        EXPECT_EQ(NextToken(input.reader), nullptr);
        char ch;
        EXPECT_FALSE(ReadChar(input.reader, ch));
        EXPECT_EQ(input.stream->calls(), c.calls) << c.size << " bytes";
        std::string expected = text;
        while (!expected.empty() && expected.back() == ' ') expected.pop_back();
        EXPECT_EQ(joined, expected + " ") << "tokens across block ends stay whole";
    }
}

TEST(Reader, ReadErrorEndsTheInput) {
    const std::string text = std::string(32763, ' ') + "abcdefghij";
    AseText input(text, [](refhost::MemoryStream& s) {
        s.failReadsFrom(32768);
        s.recordCalls(true);
    });
    ASSERT_NE(NextToken(input.reader), nullptr);
    EXPECT_STREQ(input.reader.token, "abcde") << "the token ends with the input";
    EXPECT_EQ(NextToken(input.reader), nullptr);
    EXPECT_TRUE(input.reader.readFailed);
    EXPECT_EQ(input.stream->calls(), (Tokens{"Read(32768) -> 32768", "Tell -> 32768", "Read(32768) -> -1"}));
}

TEST(Reader, TokensPunctuationAndSeparators) {
    AseText input("*MESH_FACE_LIST{ 1,2 [x] A: 0:\tB:-1\r\nword\"quoted\" }");
    EXPECT_EQ(input.remainingTokens(), (Tokens{"*MESH_FACE_LIST", "{", "1", ",", "2", "[", "x", "]", "A:", "0:", "B:-1",
                                               "word", "\"quoted", "\"", "}"}));
}

TEST(Reader, CommentsRunFromHashToLineFeed) {
    AseText input("# whole line\n*A 1 # after a value\n*B word#glued\n*C\r# CR alone does not end it\r*D\n*E 2");
    EXPECT_EQ(input.remainingTokens(), (Tokens{"*A", "1", "*B", "word", "*C", "*E", "2"}));
    AseText unterminated("*A # to the end");
    EXPECT_EQ(unterminated.remainingTokens(), Tokens{"*A"});
    EXPECT_STREQ(unterminated.reader.token, "") << "the token is empty at the end of input";
    EXPECT_EQ(ReadInt(unterminated.reader), 0);
}

TEST(Reader, LongTokensAreCutAndTheRestConsumed) {
    const std::string word(5000, 'w');
    AseText input("*A " + word + " *B");
    EXPECT_EQ(input.remainingTokens(), (Tokens{"*A", word.substr(0, 1023), "*B"}));
}

TEST(Reader, NulBytesEndTheTokenAsText) {
    AseText input(std::string("*NODE_NAME\0tail 12\0x", 20));
    ASSERT_TRUE(NextKeyword(input.reader));
    EXPECT_TRUE(TokenIs(input.reader, "*NODE_NAME")) << "compared as the C string it is";
    EXPECT_EQ(ReadInt(input.reader), 12);
}

namespace {

// The strings ReadString gives over the whole text.
Tokens stringsOf(const std::string& text) {
    AseText input(text);
    Tokens strings;
    char value[TextCapacity];
    while (ReadString(input.reader, value)) strings.emplace_back(value);
    return strings;
}

}  // namespace

TEST(Reader, QuotedStringsComeBackWhole) {
    EXPECT_EQ(stringsOf(R"("a {b} # c" next)"), (Tokens{"a {b} # c", "next"}));
    EXPECT_EQ(stringsOf(R"("" x)"), (Tokens{"", "x"})) << "two quotes in a row";
    EXPECT_EQ(stringsOf("\"open"), Tokens{"open"}) << "the end of input ends the string";
    char text[TextCapacity] = "unchanged";
    AseText ended("");
    EXPECT_FALSE(ReadString(ended.reader, text));
    EXPECT_STREQ(text, "unchanged");
}

TEST(Reader, EscapesCountOnlyAfterTheQuotedToken) {
    EXPECT_EQ(stringsOf(R"("a b\"c\\d\e" z)"), (Tokens{R"(a b"c\\d\e)", "z"}));
    // A backslash in the part scanned as the token is plain text, and the
    // quote after it ends the string.
    EXPECT_EQ(stringsOf(R"("x\"y")"), (Tokens{"x\\", "y", ""}));
}

TEST(Reader, LongStringsAreCutAndTheRestConsumed) {
    const std::string long1(300, 'n'), long2(100, 'm');
    char text[TextCapacity + 8];
    std::memset(text, '#', sizeof text);
    AseText input("\"" + long1 + " " + long2 + "\" next " + long1);
    ASSERT_TRUE(ReadString(input.reader, text));
    EXPECT_EQ(std::string(text), long1.substr(0, 255));
    for (std::size_t i = TextCapacity; i < sizeof text; ++i) EXPECT_EQ(text[i], '#') << "written past the buffer";
    ASSERT_TRUE(ReadString(input.reader, text));
    EXPECT_STREQ(text, "next");
    ASSERT_TRUE(ReadString(input.reader, text));
    EXPECT_EQ(std::string(text), long1.substr(0, 255)) << "a plain token is cut too";
}

TEST(Reader, KeywordsCompareWithoutCaseButExactlyOtherwise) {
    AseText input(
        "*material_count *Material_Count *MATERIAL_COUN *MATERIAL_COUNTS *MATERIAL\x7F"
        "COUNT");
    const Keyword keyword = "*MATERIAL_COUNT";
    std::vector<bool> matches;
    while (NextToken(input.reader)) matches.push_back(TokenIs(input.reader, keyword));
    EXPECT_EQ(matches, (std::vector<bool>{true, true, false, false, false}));
}

TEST(Reader, NextKeywordPassesValuesAndSkipsTheirBlocks) {
    AseText input("1 2.5 , word \"q s\" *KEY 3 { *INNER { } } 4 } tail");
    ASSERT_TRUE(NextKeyword(input.reader));
    EXPECT_STREQ(input.reader.token, "*KEY") << "the quoted string is passed as separate words";
    ASSERT_TRUE(NextKeyword(input.reader));
    EXPECT_STREQ(input.reader.token, "}") << "the block after the values is skipped whole";
    EXPECT_EQ(input.remainingTokens(), Tokens{"tail"});
    AseText open("*KEY 3 { *INNER");
    ASSERT_TRUE(NextKeyword(open.reader));
    EXPECT_FALSE(NextKeyword(open.reader)) << "the end of input inside the block";
}

TEST(Reader, SkipBlockStopsAfterTheOuterClosingBrace) {
    AseText input("a { b { c } d } e } *AFTER");
    EXPECT_TRUE(SkipBlock(input.reader));
    EXPECT_EQ(input.remainingTokens(), Tokens{"*AFTER"});
    AseText open("{ }");
    EXPECT_FALSE(SkipBlock(open.reader)) << "the end of input inside the block";
}

TEST(Reader, CommonKeywordsAndUnknownOnes) {
    AseText input(
        "*COMMENT \"made by hand\" *PROP_CASTSHADOW 1 *WIREFRAME_COLOR 0.1 0.2 0.3 *KEEP1 "
        "*UNKNOWN { a { b } } *KEEP2 *UNKNOWN2 \"quoted } value\" *KEEP3 "
        "*NOVALUE *OTHER 5 6 *KEEP4 *BEFORECLOSE } *KEEP5");
    Tokens kept;
    while (NextKeyword(input.reader)) {
        if (std::strncmp(input.reader.token, "*KEEP", 5) == 0) {
            kept.emplace_back(input.reader.token);
            continue;
        }
        ASSERT_TRUE(HandleCommonKeyword(input.reader)) << input.reader.token;
    }
    // *OTHER is taken as the value of *NOVALUE and handled in turn: it loses
    // 5, and 6 is passed over. The "}" after *BEFORECLOSE is its value.
    EXPECT_EQ(kept, (Tokens{"*KEEP1", "*KEEP2", "*KEEP3", "*KEEP4", "*KEEP5"}));
    EXPECT_EQ(input.scene.sceneInfo().size(), 1u);
    EXPECT_EQ(input.scene.sceneInfo()[0], std::make_pair(12, std::string("made by hand\r\n")));

    AseText ended("*UNKNOWN");
    ASSERT_TRUE(NextKeyword(ended.reader));
    EXPECT_FALSE(HandleCommonKeyword(ended.reader)) << "no value where one is needed";
    AseText comment("*COMMENT");
    ASSERT_TRUE(NextKeyword(comment.reader));
    EXPECT_FALSE(HandleCommonKeyword(comment.reader));
    EXPECT_TRUE(comment.scene.sceneInfo().empty());
}

TEST(Reader, LongCommentKeepsItsLineEnd) {
    AseText input("*COMMENT \"" + std::string(400, 'c') + "\"");
    ASSERT_TRUE(NextKeyword(input.reader));
    ASSERT_TRUE(HandleCommonKeyword(input.reader));
    ASSERT_EQ(input.scene.sceneInfo().size(), 1u);
    EXPECT_EQ(input.scene.sceneInfo()[0].second, std::string(255, 'c') + "\r\n");
}

TEST(Reader, PointsReadThreeNumbersInOrder) {
    AseText input("0.5 -2 1e2 7");
    Point3 p;
    ReadPoint3(input.reader, p);
    EXPECT_EQ(p.x, 0.5f);
    EXPECT_EQ(p.y, -2.0f);
    EXPECT_EQ(p.z, 100.0f);
    EXPECT_EQ(ReadInt(input.reader), 7);
}

// The reader converts the common number forms while it scans them; every
// form must give what the token's general conversion gives.
TEST(Reader, NumbersScannedDirectlyMatchTheGeneralConversion) {
    std::mt19937 random(7);
    const char* const odd[] = {"12:",
                               "-5",
                               "+5",
                               "007",
                               "1e3",
                               "-.5",
                               "5.",
                               ".",
                               "-",
                               "1234567890",
                               "-0.0000",
                               "999999999",
                               "0.000000001",
                               "12.5.3",
                               "3#c",
                               "4,5",
                               "6}",
                               "\"7\"",
                               "1\0"
                               "2"};
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        std::string word;
        if (i % 10 == 0) {
            word = odd[random() % (sizeof odd / sizeof odd[0])];
        } else {
            if (random() % 3 == 0) word += '-';
            const int digits = 1 + static_cast<int>(random() % 11);
            const int point = static_cast<int>(random() % (digits + 2));
            for (int d = 0; d < digits; ++d) {
                if (d == point) word += '.';
                word += static_cast<char>('0' + random() % 10);
            }
        }
        const char* const blanks[] = {" ", "\t", "\r\n", "    "};
        text += word + blanks[random() % 4];
    }
    AseText asInts(text), asFloats(text), asTokens(text);
    int tokens = 0;
    while (NextToken(asTokens.reader)) {
        ++tokens;
        const std::string token = asTokens.reader.token;
        const int32_t integer = ReadInt(asInts.reader);
        ASSERT_STREQ(asInts.reader.token, token.c_str());
        EXPECT_EQ(integer, DecimalTextToInt(token.c_str())) << token;
        const double real = ReadFloat(asFloats.reader);
        ASSERT_STREQ(asFloats.reader.token, token.c_str());
        const double expected = DecimalTextToDouble(token.c_str());
        EXPECT_EQ(std::memcmp(&real, &expected, sizeof real), 0) << token;
    }
    EXPECT_GT(tokens, 19000);
    EXPECT_EQ(NextToken(asInts.reader), nullptr);
    EXPECT_EQ(NextToken(asFloats.reader), nullptr);
}
