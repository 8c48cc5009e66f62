// mergeCookies: whatever the two texts hold, the result is a clean cookie text (entries
// joined by "; ", no other space, no empty entry, no entry twice, nothing deleted) that
// keeps every newer entry and each older one whose name was not replaced.
// Input: existing 0x1F incoming.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "util/text/cookies.h"

namespace quillane::fuzz {
namespace {

std::string withoutSpaces(std::string_view text) {
    std::string result;
    for (char c : text) {
        if (c != ' ') {
            result.push_back(c);
        }
    }
    return result;
}

std::vector<std::string> piecesOf(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    std::size_t begin = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos; at = text.find(separator, begin)) {
        pieces.emplace_back(text.substr(begin, at - begin));
        begin = at + separator.size();
    }
    pieces.emplace_back(text.substr(begin));
    return pieces;
}

std::vector<std::string> nonEmptyEntries(std::string_view spaceless) {
    std::vector<std::string> entries;
    for (std::string& piece : piecesOf(spaceless, ";")) {
        if (!piece.empty()) {
            entries.push_back(std::move(piece));
        }
    }
    return entries;
}

bool isDeleted(std::string_view entry) {
    constexpr std::string_view suffix = "=deleted";
    return entry.size() >= suffix.size() && entry.substr(entry.size() - suffix.size()) == suffix;
}

void checkCleanForm(const std::string& merged) {
    for (std::size_t i = 0; i < merged.size(); ++i) {
        if (merged[i] == ';') {
            require(i > 0 && i + 2 < merged.size() && merged[i + 1] == ' ' && merged[i + 2] != ';',
                    "every ';' separates two entries with one space");
        } else if (merged[i] == ' ') {
            require(i > 0 && merged[i - 1] == ';', "no space outside the separators");
        }
    }
}

void checkMerge(std::string_view existingText, std::string_view incomingText) {
    std::string existing(existingText);
    std::string incoming(incomingText);
    const std::string merged = mergeCookies(existing, incoming);

    require(merged == existing, "the result is also written into existing");
    require(incoming == withoutSpaces(incomingText), "incoming only loses its spaces");
    checkCleanForm(merged);

    const std::vector<std::string> newer = nonEmptyEntries(withoutSpaces(incomingText));
    const std::vector<std::string> older = nonEmptyEntries(withoutSpaces(existingText));
    const std::vector<std::string> entries = merged.empty() ? std::vector<std::string>() : piecesOf(merged, "; ");

    std::set<std::string> seenEntries;
    std::set<std::string> newerEntries(newer.begin(), newer.end());
    std::set<std::string> newerNames;
    for (const std::string& entry : newer) {
        newerNames.insert(cookieName(entry));
    }
    std::set<std::string> olderEntries(older.begin(), older.end());
    std::set<std::string> keptOlderNames;
    for (const std::string& entry : entries) {
        require(!entry.empty(), "no empty entry");
        require(seenEntries.insert(entry).second, "no entry twice");
        require(!isDeleted(entry), "no deleted entry");
        if (newerEntries.count(entry) == 0) {
            require(olderEntries.count(entry) == 1, "every entry comes from one of the two texts");
            const std::string name = cookieName(entry);
            require(newerNames.count(name) == 0, "a newer entry replaces every older one of its name");
            require(keptOlderNames.insert(name).second, "one older entry per name");
        }
    }
    for (const std::string& entry : newer) {
        require(isDeleted(entry) || seenEntries.count(entry) == 1, "every newer entry is kept");
    }
    std::set<std::string> olderNames;
    for (const std::string& entry : older) {
        const std::string name = cookieName(entry);
        const bool firstOfName = olderNames.insert(name).second;
        if (firstOfName && newerNames.count(name) == 0 && !isDeleted(entry)) {
            require(seenEntries.count(entry) == 1, "the first older entry of a name not replaced is kept");
        }
    }

    // A clean text passes through a merge into nothing unchanged: it is the fixed point that
    // the engine relies on when it merges after every reply.
    std::string empty;
    std::string again = merged;
    require(mergeCookies(empty, again) == merged, "a merged text merges into nothing unchanged");
}

void checkCookieName(std::string_view entry) {
    const std::string name = cookieName(entry);
    require(name.find('=') == std::string::npos, "a name holds no '='");
    require(name.empty() || (name.front() != ' ' && name.back() != ' '), "a name is trimmed");
    const std::size_t at = entry.find(name);
    require(at != std::string_view::npos && entry.substr(0, at).find_first_not_of(' ') == std::string_view::npos,
            "the name begins the entry after its leading spaces");
}

}  // namespace
}  // namespace quillane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillane::fuzz;
    const auto fields = splitFields(asText(data, size), 2);
    checkMerge(fields[0], fields[1]);
    checkCookieName(fields[0]);
    return 0;
}
