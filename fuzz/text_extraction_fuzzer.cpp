// textBetween and textAfterLast against a plain reference built on the standard searches,
// plus the properties every caller relies on.
// Input: one flag byte, one start-position byte (signed), then
// start marker 0x1F end marker 0x1F subject.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "util/text/text.h"

namespace quillane::fuzz {
namespace {

constexpr std::string_view kPlaceholder = "#\xD2\xFD\xBA\xC5";

std::string quotesFor(std::string_view marker) {
    std::string result(marker);
    for (std::size_t at = result.find(kPlaceholder); at != std::string::npos;
         at = result.find(kPlaceholder, at + 1)) {
        result.replace(at, kPlaceholder.size(), "\"");
    }
    return result;
}

// The first match at or after from, with std::search and the same letter folding.
std::size_t searchFrom(std::string_view subject, std::string_view marker, std::size_t from, bool caseSensitive) {
    if (marker.empty() || from > subject.size()) {
        return std::string_view::npos;
    }
    const auto same = [caseSensitive](char a, char b) {
        return caseSensitive ? a == b : lowerAscii(a) == lowerAscii(b);
    };
    const auto found = std::search(subject.begin() + static_cast<std::ptrdiff_t>(from), subject.end(),
                                   marker.begin(), marker.end(), same);
    return found == subject.end() ? std::string_view::npos : static_cast<std::size_t>(found - subject.begin());
}

void checkTextBetween(std::string_view subject, std::string_view startMarker, std::string_view endMarker,
                      int startPosition, bool caseSensitive) {
    const std::string value = textBetween(subject, startMarker, endMarker, startPosition, caseSensitive);

    const std::string start = quotesFor(startMarker);
    const std::string end = quotesFor(endMarker);
    const std::size_t from = startPosition < 1 ? 0 : static_cast<std::size_t>(startPosition) - 1;
    const std::size_t startAt = searchFrom(subject, start, from, caseSensitive);
    const std::size_t valueAt = startAt == std::string_view::npos ? startAt : startAt + start.size();
    const std::size_t endAt = valueAt == std::string_view::npos ? valueAt : searchFrom(subject, end, valueAt, caseSensitive);
    if (endAt == std::string_view::npos) {
        require(value.empty(), "textBetween: a missing marker gives the empty text");
        return;
    }
    // The value lies in the subject right after the start marker, up to the first end
    // marker that begins after it.
    require(value == subject.substr(valueAt, endAt - valueAt),
            "textBetween: the text between the first start marker and the next end marker");

    // Folding is a lower-casing of both sides: the same cut is found in the lower-cased
    // subject, and with the case-sensitive flag once the markers are lower-cased too.
    if (!caseSensitive) {
        const std::string lowerSubject = lowerAscii(subject);
        const std::string lowerValue = lowerAscii(value);
        require(textBetween(lowerSubject, startMarker, endMarker, startPosition, false) == lowerValue,
                "textBetween: insensitive search ignores the subject's case");
        require(textBetween(lowerSubject, lowerAscii(startMarker), lowerAscii(endMarker), startPosition, true) == lowerValue,
                "textBetween: insensitive search equals a sensitive one on lower-cased texts");
    }
}

void checkTextAfterLast(std::string_view subject, std::string_view marker, bool caseInsensitive) {
    const std::string rest = textAfterLast(subject, marker, caseInsensitive);
    if (!caseInsensitive) {
        const std::size_t last = marker.empty() ? std::string_view::npos : subject.rfind(marker);
        const std::string_view expected =
            last == std::string_view::npos ? std::string_view() : subject.substr(last + marker.size());
        require(rest == expected, "textAfterLast: everything after the last exact occurrence");
        return;
    }
    require(rest.size() <= subject.size() && subject.substr(subject.size() - rest.size()) == rest,
            "textAfterLast: the result is a suffix of the subject");
    require(lowerAscii(rest) == textAfterLast(lowerAscii(subject), lowerAscii(marker), false),
            "textAfterLast: insensitive search equals an exact one on lower-cased texts");
}

}  // namespace
}  // namespace quillane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillane::fuzz;
    if (size < 2) {
        return 0;
    }
    const bool caseFlag = (data[0] & 1) != 0;
    const int startPosition = static_cast<std::int8_t>(data[1]);
    const auto fields = splitFields(asText(data + 2, size - 2), 3);
    checkTextBetween(fields[2], fields[0], fields[1], startPosition, caseFlag);
    checkTextAfterLast(fields[2], fields[0], caseFlag);
    return 0;
}
