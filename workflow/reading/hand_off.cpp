#include "workflow/reading/hand_off.h"

namespace quillane {
namespace {

constexpr std::string_view kHandOffNames[] = {"url", "real_jump_address"};
constexpr std::string_view kAmpEscape = "&amp;";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isNameCharacter(char c) {
    return c == '_' || c == '$' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Quote characters with no closing quote left in the page: a later value opened with one
// cannot close either, and is not searched for again (no rescans of a hostile page).
struct UnclosedQuotes {
    bool single = false;
    bool twice = false;

    bool& of(char quote) { return quote == '\'' ? single : twice; }
};

// The quoted value assigned at the position after a variable's name, if there is one.
bool assignedValue(std::string_view page, std::size_t at, UnclosedQuotes& unclosed, std::string_view& value) {
    while (at < page.size() && isBlank(page[at])) {
        ++at;
    }
    if (at >= page.size() || page[at] != '=') {
        return false;
    }
    ++at;
    while (at < page.size() && isBlank(page[at])) {
        ++at;
    }
    if (at >= page.size() || (page[at] != '\'' && page[at] != '"')) {
        return false;
    }
    const char quote = page[at];
    const std::size_t close = unclosed.of(quote) ? std::string_view::npos : page.find(quote, at + 1);
    if (close == std::string_view::npos) {
        unclosed.of(quote) = true;
        return false;
    }
    value = page.substr(at + 1, close - at - 1);
    return true;
}

}  // namespace

std::string withoutAmpEscapes(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        result.push_back(c);
        // A removal leaves "&" at the end, which may begin the next escape ("&amp;" + "amp;"):
        // looking at the end after every character undoes all levels in one pass.
        if (result.size() >= kAmpEscape.size() &&
            std::string_view(result).substr(result.size() - kAmpEscape.size()) == kAmpEscape) {
            result.resize(result.size() - kAmpEscape.size() + 1);
        }
    }
    return result;
}

std::string handOffAddress(std::string_view page) {
    constexpr std::string_view kVar = "var ";
    UnclosedQuotes unclosed;
    for (std::size_t at = page.find(kVar); at != std::string_view::npos; at = page.find(kVar, at + 1)) {
        if (at > 0 && isNameCharacter(page[at - 1])) {
            continue;
        }
        std::size_t nameAt = at + kVar.size();
        while (nameAt < page.size() && isBlank(page[nameAt])) {
            ++nameAt;
        }
        for (std::string_view name : kHandOffNames) {
            std::string_view value;
            if (page.substr(nameAt, name.size()) == name && assignedValue(page, nameAt + name.size(), unclosed, value)) {
                return withoutAmpEscapes(value);
            }
        }
    }
    return {};
}

}  // namespace quillane
