// The token reader: refills, tokens, comments, strings, keyword comparison,
// block skipping and the default keyword handling.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ase/number_text.h"
#include "ase_text.h"

using ase_testing::AseText;
using Tokens = std::vector<std::string>;

TEST(Reader, RefillsExactlyWhereCharacterReadsWould) {
    struct Case {
        std::size_t size;
        Tokens calls;
    };
    const std::vector<Case> cases = {
        {0, {"Read(32768) -> 0"}},
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
        EXPECT_STREQ(input.reader.token, "") << "the token is empty at the end of input";
        EXPECT_EQ(ReadInt(input.reader), 0);
        char ch;
        EXPECT_FALSE(ReadChar(input.reader, ch));
        EXPECT_EQ(input.stream->calls(), c.calls) << c.size << " bytes";
        std::string expected = text;
        while (!expected.empty() && expected.back() == ' ') expected.pop_back();
        EXPECT_EQ(joined, expected.empty() ? "" : expected + " ") << "tokens across block ends stay whole";
    }
}

TEST(Reader, TokensCommentsAndTheirLimits) {
    AseText tokens("*MESH_FACE_LIST{ 1,2 [x] A: 0:\tB:-1\r\nword\"quoted\" }");
    EXPECT_EQ(tokens.remainingTokens(), (Tokens{"*MESH_FACE_LIST", "{", "1", ",", "2", "[", "x", "]",
                                                "A:", "0:", "B:-1", "word", "\"quoted", "\"", "}"}));
    AseText comments("# whole line\n*A 1 # after a value\n*B word#glued\n*C\r# CR alone does not end it\r*D\n*E 2");
    EXPECT_EQ(comments.remainingTokens(), (Tokens{"*A", "1", "*B", "word", "*C", "*E", "2"}));
    AseText unterminated("*A # to the end");
    EXPECT_EQ(unterminated.remainingTokens(), Tokens{"*A"});
    const std::string word(5000, 'w');
    AseText long1("*A " + word + " *B");
    EXPECT_EQ(long1.remainingTokens(), (Tokens{"*A", word.substr(0, 1023), "*B"})) << "cut, and the rest consumed";
    AseText nul(std::string("*NODE_NAME\0tail 12\0x", 20));
    ASSERT_TRUE(NextKeyword(nul.reader));
    EXPECT_TRUE(TokenIs(nul.reader, "*NODE_NAME")) << "compared as the C string it is";
    EXPECT_EQ(ReadInt(nul.reader), 12);
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

TEST(Reader, QuotedStrings) {
    EXPECT_EQ(stringsOf(R"("a {b} # c" next)"), (Tokens{"a {b} # c", "next"}));
    EXPECT_EQ(stringsOf(R"("" x)"), (Tokens{"", "x"})) << "two quotes in a row";
    EXPECT_EQ(stringsOf("\"open"), Tokens{"open"}) << "the end of input ends the string";
    // Escapes count only after the part scanned as the token.
    EXPECT_EQ(stringsOf(R"("a b\"c\\d\e" z)"), (Tokens{R"(a b"c\\d\e)", "z"}));
    EXPECT_EQ(stringsOf(R"("x\"y")"), (Tokens{"x\\", "y", ""}));
    const std::string long1(300, 'n'), long2(100, 'm');
    EXPECT_EQ(stringsOf("\"" + long1 + " " + long2 + "\" next " + long1),
              (Tokens{long1.substr(0, 255), "next", long1.substr(0, 255)}))
        << "quoted and plain strings are cut, and the rest consumed";
    char text[TextCapacity] = "unchanged";
    AseText ended("");
    EXPECT_FALSE(ReadString(ended.reader, text));
    EXPECT_STREQ(text, "unchanged");
}

TEST(Reader, KeywordsCompareWithoutCaseButExactlyOtherwise) {
    AseText input(
        "*material_count *Material_Count *MATERIAL_COUN *MATERIAL_COUNTS *MATERIAL\x7F"
        "COUNT");
    std::vector<bool> matches;
    while (NextToken(input.reader)) matches.push_back(TokenIs(input.reader, "*MATERIAL_COUNT"));
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
    AseText nested("a { b { c } d } e } *AFTER");
    EXPECT_TRUE(SkipBlock(nested.reader));
    EXPECT_EQ(nested.remainingTokens(), Tokens{"*AFTER"}) << "SkipBlock stops after the outer closing brace";
}

TEST(Reader, CommonKeywordsAndUnknownOnes) {
    AseText input(
        "*COMMENT \"made by hand\" *PROP_CASTSHADOW 1 *WIREFRAME_COLOR 0.1 0.2 0.3 *KEEP1 "
        "*UNKNOWN { a { b } } *KEEP2 *UNKNOWN2 \"quoted } value\" *KEEP3 "
        "*NOVALUE *OTHER 5 6 *KEEP4 *BEFORECLOSE } *KEEP5 *COMMENT \"" +
        std::string(400, 'c') + "\"");
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
    using Info = std::pair<int, std::string>;
    EXPECT_EQ(input.scene.sceneInfo(),
              (std::vector<Info>{{12, "made by hand\r\n"}, {12, std::string(255, 'c') + "\r\n"}}))
        << "a long comment keeps its line end";
    for (const char* ended : {"*UNKNOWN", "*COMMENT"}) {
        AseText alone(ended);
        ASSERT_TRUE(NextKeyword(alone.reader));
        EXPECT_FALSE(HandleCommonKeyword(alone.reader)) << "no value where one is needed: " << ended;
        EXPECT_TRUE(alone.scene.sceneInfo().empty());
    }
}

// The reader converts the common number forms while it scans them; every
// form must give what the token's general conversion gives.
TEST(Reader, NumbersScannedDirectlyMatchTheGeneralConversion) {
    std::mt19937 random(7);
    const char* const odd[] = {"12:",         "-5",     "+5",  "007",        "1e3",     "-.5",
                               "5.",          ".",      "-",   "1234567890", "-0.0000", "999999999",
                               "0.000000001", "12.5.3", "3#c", "4,5",        "6}",      "\"7\""};
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
