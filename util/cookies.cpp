#include "util/cookies.h"

#include <vector>

namespace quillane {
namespace {

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
std::vector<std::string> splitEntries(std::string_view text) {
    std::vector<std::string> entries;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find(';', begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (end > begin) {
            entries.emplace_back(text.substr(begin, end - begin));
        }
        begin = end + 1;
    }
    return entries;
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string_view trimSpaces(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::string cookieName(std::string_view entry) {
    return std::string(trimSpaces(entry.substr(0, entry.find('='))));
}

std::string removeDuplicateEntries(std::string_view text, std::string_view separator) {
    if (separator.empty()) {
        return std::string(text);
    }
    std::vector<std::string_view> kept;
    std::size_t begin = 0;
    while (true) {
        std::size_t end = text.find(separator, begin);
        std::string_view piece = text.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
        bool seen = false;
        for (std::string_view earlier : kept) {
            if (earlier == piece) {
                seen = true;
                break;
            }
        }
        if (!seen) {
            kept.push_back(piece);
        }
        if (end == std::string_view::npos) {
            break;
        }
        begin = end + separator.size();
    }
    std::string result;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) {
            result.append(separator);
        }
        result.append(kept[i]);
    }
    return result;
}

std::string mergeCookies(std::string& existing, std::string& incoming) {
    existing = withoutSpaces(existing);
    incoming = withoutSpaces(incoming);

    std::vector<std::string> merged = splitEntries(incoming);
    std::vector<std::string> mergedNames;
    mergedNames.reserve(merged.size());
    for (const std::string& entry : merged) {
        mergedNames.push_back(cookieName(entry));
    }
    for (std::string& old : splitEntries(existing)) {
        std::string name = cookieName(old);
        bool shadowed = false;
        for (const std::string& present : mergedNames) {
            if (present == name) {
                shadowed = true;
                break;
            }
        }
        if (!shadowed) {
            merged.push_back(std::move(old));
            mergedNames.push_back(std::move(name));
        }
    }

    std::string result;
    for (const std::string& entry : merged) {
        if (endsWith(entry, "=deleted")) {
            continue;
        }
        if (!result.empty()) {
            result.append("; ");
        }
        result.append(entry);
    }
    existing = removeDuplicateEntries(result, "; ");
    return existing;
}

}  // namespace quillane
