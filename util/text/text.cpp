#include "util/text/text.h"

#include <cstddef>

#include "util/text/ascii.h"

namespace quillane {
namespace {

// "#引号" in GBK: stands for a double quote inside a marker.
constexpr std::string_view kQuotePlaceholder = "#\xD2\xFD\xBA\xC5";

bool matchesAt(std::string_view subject, std::size_t at, std::string_view marker, bool caseSensitive) {
    for (std::size_t i = 0; i < marker.size(); ++i) {
        char a = subject[at + i];
        char b = marker[i];
        if (caseSensitive ? a != b : lowerAscii(a) != lowerAscii(b)) {
            return false;
        }
    }
    return true;
}

// Byte-wise search; only ASCII letters fold, so a reply that stayed UTF-8 is searched as
// correctly as a GBK one.
std::size_t findFrom(std::string_view subject, std::string_view marker, std::size_t from, bool caseSensitive) {
    if (marker.empty() || from > subject.size() || marker.size() > subject.size() - from) {
        return std::string_view::npos;
    }
    for (std::size_t at = from; at + marker.size() <= subject.size(); ++at) {
        if (matchesAt(subject, at, marker, caseSensitive)) {
            return at;
        }
    }
    return std::string_view::npos;
}

std::string withQuotes(std::string_view marker) {
    std::string result;
    result.reserve(marker.size());
    std::size_t at = 0;
    while (at < marker.size()) {
        if (marker.substr(at, kQuotePlaceholder.size()) == kQuotePlaceholder) {
            result.push_back('"');
            at += kQuotePlaceholder.size();
        } else {
            result.push_back(marker[at]);
            ++at;
        }
    }
    return result;
}

}  // namespace

std::string textBetween(std::string_view subject, std::string_view startMarker, std::string_view endMarker,
                        int startPosition, bool caseSensitive) {
    const std::string start = withQuotes(startMarker);
    const std::string end = withQuotes(endMarker);
    const std::size_t from = startPosition < 1 ? 0 : static_cast<std::size_t>(startPosition) - 1;
    const std::size_t startAt = findFrom(subject, start, from, caseSensitive);
    if (startAt == std::string_view::npos) {
        return {};
    }
    const std::size_t valueAt = startAt + start.size();
    const std::size_t endAt = findFrom(subject, end, valueAt, caseSensitive);
    if (endAt == std::string_view::npos) {
        return {};
    }
    return std::string(subject.substr(valueAt, endAt - valueAt));
}

std::string textAfterLast(std::string_view subject, std::string_view marker, bool caseInsensitive) {
    if (marker.empty() || marker.size() > subject.size()) {
        return {};
    }
    for (std::size_t at = subject.size() - marker.size() + 1; at-- > 0;) {
        if (matchesAt(subject, at, marker, !caseInsensitive)) {
            return std::string(subject.substr(at + marker.size()));
        }
    }
    return {};
}

}  // namespace quillane
