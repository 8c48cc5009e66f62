#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "http/encoding.h"
#include "util/wide_text.h"

namespace quillane {
namespace {

// Byte strings are written as hex escapes: this file's literals must not depend on the
// compiler's execution character set.
std::string bytes(const char* text, std::size_t size) {
    return std::string(text, size);
}

char gbkDefaultCharacter() {
    CPINFO info{};
    EXPECT_TRUE(GetCPInfo(936, &info));
    return static_cast<char>(info.DefaultChar[0]);
}

struct ConversionCase {
    const char* name;
    std::string utf8;
    std::string converted;
};

TEST(Utf8ToGbk, GivesTheCodePage936Bytes) {
    const ConversionCase cases[] = {
        {"Empty", "", ""},
        {"Ascii", "abc", "abc"},
        {"WordForChineseText", "\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},
        {"EuroIsOneByte", "\xE2\x82\xAC", "\x80"},
        {"ZeroByteCarried", bytes("a\0b", 3), bytes("a\0b", 3)},
        {"OnlyZeroBytes", bytes("\0\0", 2), bytes("\0\0", 2)},
        // U+4E02 exists in GBK but not in GB2312: the conversion must use code page 936.
        {"GbkOnlyCharacter", "\xE4\xB8\x82", "\x81\x40"},
        {"IdeographicSpace", "\xE3\x80\x80", "\xA1\xA1"},
        // e followed by a combining acute accent becomes the precomposed e-acute of GBK.
        {"CombiningMarkComposed", "e\xCC\x81", "\xA8\xA6"},
        {"PrecomposedAlike", "\xC3\xA9", "\xA8\xA6"},
        {"MixedReply", "{\"title\":\"\xE4\xBD\xA0\xE5\xA5\xBD\",\"n\":1}", "{\"title\":\"\xC4\xE3\xBA\xC3\",\"n\":1}"},
    };
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(utf8ToGbk(c.utf8), c.converted);
    }
}

// Characters that GBK cannot hold and bytes that are not UTF-8 at all come out as the code
// page's default character; the text around them is converted in full.
struct ReplacedCase {
    const char* name;
    std::string between;  // placed between "<" and ">", which no mark combines with
};

TEST(Utf8ToGbk, ReplacesWhatGbkCannotHoldAndCarriesOn) {
    const ReplacedCase cases[] = {
        {"FourByteCharacter", "\xF0\x9F\x98\x80"},
        {"CombiningMarkWithoutPrecomposedForm", "\xCC\x81"},
        {"InvalidByte", "\xFF"},
        {"TruncatedSequence", "\xE4\xB8"},
        {"LoneContinuationBytes", "\x80\x80"},
        {"OverlongSlash", "\xC0\xAF"},
        {"EncodedSurrogate", "\xED\xA0\x80"},
        {"ByteOrderMark", "\xEF\xBB\xBF"},
    };
    const char defaultCharacter = gbkDefaultCharacter();
    for (const ReplacedCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string converted = utf8ToGbk("<" + c.between + ">");
        ASSERT_GE(converted.size(), 3u);
        EXPECT_EQ(converted.front(), '<');
        EXPECT_EQ(converted.back(), '>');
        EXPECT_EQ(converted.find_first_not_of(defaultCharacter, 1), converted.size() - 1) << converted;
    }
    // Malformed bytes at the very end do not lose what came before them.
    const std::string truncatedEnd = utf8ToGbk("\xE4\xB8\xAD\xE4\xB8");
    EXPECT_EQ(truncatedEnd.substr(0, 2), "\xD6\xD0");
    EXPECT_EQ(truncatedEnd.find_first_not_of(defaultCharacter, 2), std::string::npos);
    EXPECT_GT(truncatedEnd.size(), 2u);
}

// The composite check is left out for texts that cannot need it. Every character, placed
// after letters and syllables that marks combine with (none of them a mark itself, so that
// only the character decides whether the check is made), must come out as the check makes it.
TEST(Utf8ToGbk, EveryCharacterAfterABaseConvertsAsTheCompositeCheckMakesIt) {
    const wchar_t bases[] = {L'a', L'e', L'O', 0x03B1, 0x0430, 0x304B, 0x30AB, 0xAC00};
    int mismatches = 0;
    for (unsigned unit = 1; unit <= 0xFFFF && mismatches < 5; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            continue;  // a lone surrogate is not UTF-8
        }
        std::wstring text;
        for (const wchar_t base : bases) {
            text.push_back(base);
            text.push_back(static_cast<wchar_t>(unit));
        }
        const int length = static_cast<int>(text.size());
        std::string utf8(static_cast<std::size_t>(length) * 3, '\0');
        utf8.resize(static_cast<std::size_t>(
            WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr)));
        std::string expected(static_cast<std::size_t>(length) * 2, '\0');
        expected.resize(static_cast<std::size_t>(WideCharToMultiByte(
            936, WC_COMPOSITECHECK, text.data(), length, expected.data(), static_cast<int>(expected.size()), nullptr, nullptr)));
        if (utf8ToGbk(utf8) != expected) {
            ++mismatches;
            ADD_FAILURE() << "U+" << std::hex << unit;
        }
    }
}

TEST(Utf8ToGbk, ConvertsAMebibyteBodyInOnePiece) {
    // Chinese, ASCII and zero bytes, repeated: every byte must come out in place.
    const std::string utf8Unit = bytes("\xE4\xB8\xAD\xE6\x96\x87<a>\0\xE2\x82\xAC\n", 14);
    const std::string gbkUnit = bytes("\xD6\xD0\xCE\xC4<a>\0\x80\n", 10);
    std::string utf8;
    std::string gbk;
    while (utf8.size() + utf8Unit.size() <= (1u << 20)) {
        utf8.append(utf8Unit);
        gbk.append(gbkUnit);
    }
    ASSERT_GT(utf8.size(), (1u << 20) - utf8Unit.size());

    const std::string converted = utf8ToGbk(utf8);
    ASSERT_EQ(converted.size(), gbk.size());
    EXPECT_TRUE(converted == gbk);
}

// What a \uXXXX escape of a title turns into: the character's GBK bytes, or one "?".
TEST(CodePointToGbk, GivesTheCharacterOrOneQuestionMark) {
    const std::pair<char32_t, std::string> cases[] = {
        {U'A', "A"},
        {0x8FDE, "\xC1\xAC"},
        {0x4E02, "\x81\x40"},  // GBK only, not GB2312
        {0x20AC, "\x80"},
        {0x0E01, "?"},      // Thai: not in GBK
        {0x1F600, "?"},     // beyond the basic plane: one mark, not one per surrogate
        {0xD800, ""},       // names no character
        {0x110000, ""},
    };
    for (const auto& [codePoint, gbk] : cases) {
        SCOPED_TRACE(static_cast<unsigned>(codePoint));
        EXPECT_EQ(codePointToGbk(codePoint), gbk);
    }
}

}  // namespace
}  // namespace quillane
