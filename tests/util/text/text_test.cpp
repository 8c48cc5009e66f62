#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "util/text/text.h"

namespace quillane {
namespace {

// "#" and the GBK word for quotation mark: a caller's stand-in for one double quote.
constexpr std::string_view kPlaceholder = "#\xD2\xFD\xBA\xC5";

// The marker as a caller writes it: every double quote given as the placeholder.
std::string placeholdersFor(std::string_view withQuotes) {
    std::string marker;
    for (char c : withQuotes) {
        if (c == '"') {
            marker.append(kPlaceholder);
        } else {
            marker.push_back(c);
        }
    }
    return marker;
}

struct BetweenCase {
    const char* name;
    std::string subject;
    std::string start;
    std::string end;
    int startPosition;
    bool caseSensitive;
    std::string expected;
};

TEST(TextBetween, CutsExactlyTheValue) {
    const BetweenCase cases[] = {
        // Shapes met in cookie texts, replies and headers.
        {"ValueBetweenMarkers", "a=1; lang=zh; b=2", "lang=", ";", 1, false, "zh"},
        {"NoEndAfterValue", "x=1; lang=zh", "lang=", ";", 1, false, ""},
        {"StartMissing", "a=1; b=2", "lang=", ";", 1, false, ""},
        {"IgnoresCaseByDefault", "Set-Cookie: a=1; path=/", "set-cookie:", ";", 1, false, " a=1"},
        {"CaseSensitiveOnRequest", "Set-Cookie: a=1; path=/", "set-cookie:", ";", 1, true, ""},
        {"EndBeforeStartIgnored", ";a=1;", "a=", ";", 1, false, "1"},
        {"EndLettersFoldToo", "<TD>v</td>", "<td>", "</TD>", 1, false, "v"},
        // Overlaps: the end marker never overlaps the start marker's occurrence, and a partial
        // match must not make the search skip a real one.
        {"EndOverlappingStartNotCounted", "xaby", "xa", "ab", 1, false, ""},
        {"SameMarkerTwice", "<b>x<b>y", "<b>", "<b>", 1, false, "x"},
        {"StartAfterPartialMatch", "aaab=1;", "aab=", ";", 1, false, "1"},
        {"EndAfterPartialMatch", "v=12\r\r\n", "v=", "\r\n", 1, false, "12\r"},
        {"FirstStartOccurrenceWins", "a=1 a=2;", "a=", ";", 1, false, "1 a=2"},
        {"EmptySubject", "", "a", "b", 1, false, ""},
        // Start positions are 1-based bytes. Other edges (markers at the subject's ends, empty
        // markers, positions past the end) are the fuzz target's, against its reference.
        {"StartPositionSkipsEarlierValue", "a=1;a=2;", "a=", ";", 4, false, "2"},
        {"StartPositionZeroIsStart", "a=1;a=2;", "a=", ";", 0, false, "1"},
        // The quote placeholder, in markers only.
        {"PlaceholderInBothMarkers", "<a href=\"u1\">", placeholdersFor("href=\""), placeholdersFor("\""), 1, false,
         "u1"},
        {"TwoPlaceholdersInARow", "x=\"\"v;", placeholdersFor("x=\"\""), ";", 1, false, "v"},
        {"HashBeforePlaceholderKept", "k=#\"v;", placeholdersFor("k=#\""), ";", 1, false, "v"},
        {"TruncatedPlaceholderIsLiteral", "a#\xD2\xFD" "b;", "a#\xD2\xFD", ";", 1, false, "b"},
        {"PlaceholderInSubjectNotReplaced", placeholdersFor("v=\"x;"), "v=", ";", 1, false, placeholdersFor("\"x")},
        {"PlaceholderMarkerNeedsRealQuote", placeholdersFor("v=\"x;"), placeholdersFor("v=\""), ";", 1, false, ""},
        // Only A-Z and a-z fold: bytes 0x20 apart that are not letters, and GBK bytes, stay apart.
        {"BracketsDoNotFold", "[=1;", "{=", ";", 1, false, ""},
        {"HighBytesDoNotFold", "\xC1=1;", "\xE1=", ";", 1, false, ""},
        {"GbkMarkerAndValue", "\xB1\xEA\xCC\xE2:\xD6\xD0\xCE\xC4;", "\xB1\xEA\xCC\xE2:", ";", 1, false,
         "\xD6\xD0\xCE\xC4"},
        // Zero bytes are ordinary bytes.
        {"ZeroBytesInValue", std::string("a\0b=1\0;c", 8), "b=", ";", 1, false, std::string("1\0", 2)},
        {"ZeroByteInMarker", std::string("b=0\0b=1;", 8), std::string("\0b=", 3), ";", 1, false, "1"},
    };
    for (const BetweenCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(textBetween(c.subject, c.start, c.end, c.startPosition, c.caseSensitive), c.expected);
    }
}

struct AfterLastCase {
    const char* name;
    std::string subject;
    std::string marker;
    bool caseInsensitive;
    std::string expected;
};

TEST(TextAfterLast, TakesEverythingAfterTheLastMarker) {
    const AfterLastCase cases[] = {
        {"LastOccurrenceWins", "item.htm?id=1&skuid=2", "id=", false, "2"},
        {"ExactCaseByDefault", "item.htm?id=1&skuId=2", "id=", false, "1&skuId=2"},
        {"IgnoresCaseOnRequest", "item.htm?id=1&skuId=2", "id=", true, "2"},
        {"OnlyOccurrenceAtStart", "id=123", "id=", false, "123"},
        {"EmptySubject", "", "a", false, ""},
        {"OverlappingOccurrencesEndSubject", "aaa", "aa", false, ""},
        {"OverlappingOccurrencesThenText", "xaaay", "aa", false, "y"},
        {"PlaceholderIsLiteralHere", placeholdersFor("a\"b"), std::string(kPlaceholder), false, "b"},
        {"PlaceholderDoesNotMeanQuote", "a\"b", std::string(kPlaceholder), false, ""},
        {"HighBytesDoNotFold", "\xC1z\xE1y", "\xC1", true, "z\xE1y"},
        {"ZeroBytes", std::string("x\0=1\0=2", 7), std::string("\0=", 2), false, "2"},
    };
    for (const AfterLastCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(textAfterLast(c.subject, c.marker, c.caseInsensitive), c.expected);
    }
}

}  // namespace
}  // namespace quillane
