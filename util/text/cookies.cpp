#include "util/text/cookies.h"

#include <string_view>
#include <unordered_set>
#include <vector>

#include "util/text/ascii.h"

namespace quillane {
namespace {

constexpr std::string_view kEntrySeparator = "; ";
constexpr std::string_view kDeletedSuffix = "=deleted";

std::string withoutSpaces(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (c != ' ') {
            result.push_back(c);
        }
    }
    return result;
}

// Empty pieces (from ";;", a leading or trailing ";", or an empty text) are skipped so that
// no empty entry ever reaches a cookie text.
std::vector<std::string_view> splitEntries(std::string_view text) {
    std::vector<std::string_view> entries;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find(';', begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (end > begin) {
            entries.push_back(text.substr(begin, end - begin));
        }
        begin = end + 1;
    }
    return entries;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string_view nameOf(std::string_view entry) {
    return trimSpaces(entry.substr(0, entry.find('=')));
}

}  // namespace

std::string cookieName(std::string_view entry) {
    return std::string(nameOf(entry));
}

std::string removeDuplicateEntries(std::string_view text, std::string_view separator) {
    if (separator.empty()) {
        return std::string(text);
    }
    // A set of the pieces seen so far keeps this linear; a server may send many cookies.
    std::unordered_set<std::string_view> seen;
    std::string result;
    result.reserve(text.size());
    bool first = true;
    std::size_t begin = 0;
    while (true) {
        const std::size_t end = text.find(separator, begin);
        const std::string_view piece =
            text.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
        if (seen.insert(piece).second) {
            if (!first) {
                result.append(separator);
            }
            result.append(piece);
            first = false;
        }
        if (end == std::string_view::npos) {
            break;
        }
        begin = end + separator.size();
    }
    return result;
}

std::string mergeCookies(std::string& existing, std::string& incoming) {
    existing = withoutSpaces(existing);
    incoming = withoutSpaces(incoming);

    // Newer entries first, each name of them shadowing the older entries; an older entry
    // also shadows later older ones of its name. Entries that arrived together are never
    // compared with each other.
    std::vector<std::string_view> merged = splitEntries(incoming);
    std::unordered_set<std::string_view> names;
    for (std::string_view entry : merged) {
        names.insert(nameOf(entry));
    }
    for (std::string_view old : splitEntries(existing)) {
        if (names.insert(nameOf(old)).second) {
            merged.push_back(old);
        }
    }

    // A deleted entry has already shadowed its older namesake above; now it goes itself.
    std::string result;
    for (std::string_view entry : merged) {
        if (endsWith(entry, kDeletedSuffix)) {
            continue;
        }
        if (!result.empty()) {
            result.append(kEntrySeparator);
        }
        result.append(entry);
    }
    existing = removeDuplicateEntries(result, kEntrySeparator);
    return existing;
}

}  // namespace quillane
