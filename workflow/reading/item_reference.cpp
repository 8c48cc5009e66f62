#include "workflow/reading/item_reference.h"

#include <unordered_map>

#include "util/text/ascii.h"
#include "workflow/reading/item_id.h"

namespace quillane {
namespace {

constexpr std::string_view kIdParameters[] = {"id", "itemId", "itemNumId"};

constexpr std::size_t kShortestTaoToken = 8;
constexpr std::size_t kLongestTaoToken = 16;

// Symbols that frame words in addresses and sentences rather than a token.
constexpr std::string_view kNoTokenFrames = "./:=&%-_#+*,;'\"<>[]{}|\\`^~";
// Bracket pairs that frame a token: ASCII and full-width parentheses (GBK A3A8, A3A9).
constexpr std::pair<std::string_view, std::string_view> kTokenBrackets[] = {
    {"(", ")"},
    {"\xA3\xA8", "\xA3\xA9"},
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isAsciiAlphanumeric(char c) {
    return isDigit(c) || (lowerAscii(c) >= 'a' && lowerAscii(c) <= 'z');
}

// The first byte of a GBK double-byte character.
bool isLeadByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x81 && byte <= 0xFE;
}

// The character (one or two bytes) that starts at the position.
std::size_t characterSize(std::string_view text, std::size_t at) {
    return isLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
}

std::size_t schemeSizeAt(std::string_view text, std::size_t at) {
    if (lowerAscii(text[at]) != 'h') {
        return 0;
    }
    for (std::string_view scheme : {std::string_view("http://"), std::string_view("https://")}) {
        if (text.size() - at < scheme.size()) {
            continue;
        }
        bool same = true;
        for (std::size_t i = 0; i < scheme.size() && same; ++i) {
            same = lowerAscii(text[at + i]) == scheme[i];
        }
        if (same) {
            return scheme.size();
        }
    }
    return 0;
}

// Where an address inside a text ends: addresses are ASCII, and a member's text puts blanks,
// quotes, brackets or Chinese text and punctuation right after them.
bool endsAddress(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte >= 0x7F || c == '"' || c == '\'' || c == '<' || c == '>';
}

std::string_view idInQuery(std::string_view query) {
    while (!query.empty()) {
        const std::size_t end = query.find('&');
        const std::string_view parameter = query.substr(0, end);
        const std::size_t equals = parameter.find('=');
        if (equals != std::string_view::npos) {
            const std::string_view name = parameter.substr(0, equals);
            const std::string_view value = parameter.substr(equals + 1);
            for (std::string_view idName : kIdParameters) {
                if (name == idName && isItemId(value)) {
                    return value;
                }
            }
        }
        if (end == std::string_view::npos) {
            break;
        }
        query.remove_prefix(end + 1);
    }
    return {};
}

// The mobile item page "/i20496648200.htm".
std::string_view idInPath(std::string_view path) {
    constexpr std::string_view kSuffix = ".htm";
    const std::size_t slash = path.rfind('/');
    // No slash, or only the scheme's: the address has no path, only a host.
    if (slash == std::string_view::npos || (slash > 0 && path[slash - 1] == '/')) {
        return {};
    }
    const std::string_view segment = path.substr(slash + 1);
    if (segment.size() <= 1 + kSuffix.size() || segment.front() != 'i' ||
        segment.substr(segment.size() - kSuffix.size()) != kSuffix) {
        return {};
    }
    const std::string_view digits = segment.substr(1, segment.size() - 1 - kSuffix.size());
    return isItemId(digits) ? digits : std::string_view();
}

// What one address names: its id, else itself as an address to resolve (its fragment left
// off), else nothing. Both are parts of the address, so nothing is copied yet.
bool referenceOf(std::string_view address, ItemReference::Kind& kind, std::string_view& value) {
    const std::string_view withoutFragment = address.substr(0, address.find('#'));
    const std::size_t question = withoutFragment.find('?');
    std::string_view id;
    if (question != std::string_view::npos) {
        id = idInQuery(withoutFragment.substr(question + 1));
    }
    if (id.empty()) {
        id = idInPath(withoutFragment.substr(0, question));
    }
    if (!id.empty()) {
        kind = ItemReference::Kind::ItemId;
        value = id;
        return true;
    }
    kind = ItemReference::Kind::Address;
    value = withoutFragment;
    return isPageAddress(withoutFragment);
}

// The references in order, each once, and every place that names one; those already seen
// are known by the parts of the text they were read from.
class ReferenceList {
public:
    void add(std::string_view text, std::size_t offset, std::size_t size) {
        ItemReference::Kind kind;
        std::string_view value;
        if (!referenceOf(text.substr(offset, size), kind, value)) {
            return;
        }
        auto& seen = kind == ItemReference::Kind::ItemId ? seenIds_ : seenAddresses_;
        const auto [entry, added] = seen.emplace(value, found_.references.size());
        if (added) {
            found_.references.push_back({kind, std::string(value)});
        }
        found_.spans.push_back({offset, size, entry->second});
    }
    ReferencesInText take() { return std::move(found_); }

private:
    ReferencesInText found_;
    std::unordered_map<std::string_view, std::size_t> seenIds_;
    std::unordered_map<std::string_view, std::size_t> seenAddresses_;
};

bool framesToken(std::string_view before, std::string_view after) {
    for (const auto& [open, close] : kTokenBrackets) {
        if (before == open && after == close) {
            return true;
        }
    }
    if (before != after) {
        return false;
    }
    const char first = before.front();
    return before.size() == 2 || (static_cast<unsigned char>(first) > 0x20 && !isAsciiAlphanumeric(first) &&
                                  kNoTokenFrames.find(first) == std::string_view::npos);
}

}  // namespace

ReferencesInText readItemReferenceSpans(std::string_view text) {
    ReferenceList references;
    bool anyAddress = false;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t schemeSize = schemeSizeAt(text, at);
        if (schemeSize == 0) {
            at += characterSize(text, at);
            continue;
        }
        // An address ends at the first byte that no address holds; one nested in its query
        // ("?u=http://...") belongs to it and is not read again.
        std::size_t end = at + schemeSize;
        while (end < text.size() && !endsAddress(text[end])) {
            ++end;
        }
        references.add(text, at, end - at);
        anyAddress = true;
        at = end;
    }
    if (!anyAddress && isPageAddress(text)) {
        references.add(text, 0, text.size());
    }
    return references.take();
}

std::vector<ItemReference> readItemReferences(std::string_view text) {
    return readItemReferenceSpans(text).references;
}

bool isTaoToken(std::string_view text) {
    if (text.empty() || isAsciiAlphanumeric(text.front())) {
        return false;
    }
    const std::string_view open = text.substr(0, characterSize(text, 0));
    std::size_t at = open.size();
    bool letter = false;
    while (at < text.size() && isAsciiAlphanumeric(text[at])) {
        letter = letter || !isDigit(text[at]);
        ++at;
    }
    const std::size_t length = at - open.size();
    if (at == text.size() || !letter || length < kShortestTaoToken || length > kLongestTaoToken) {
        return false;
    }
    const std::string_view close = text.substr(at, characterSize(text, at));
    return at + close.size() == text.size() && framesToken(open, close);
}

bool holdsTaoToken(std::string_view text) {
    std::string_view previous;
    std::size_t at = 0;
    while (at < text.size()) {
        if (!isAsciiAlphanumeric(text[at])) {
            previous = text.substr(at, characterSize(text, at));
            at += previous.size();
            continue;
        }
        const std::size_t start = at;
        bool letter = false;
        while (at < text.size() && isAsciiAlphanumeric(text[at])) {
            letter = letter || !isDigit(text[at]);
            ++at;
        }
        const std::size_t length = at - start;
        if (at < text.size() && !previous.empty() && letter && length >= kShortestTaoToken &&
            length <= kLongestTaoToken && framesToken(previous, text.substr(at, characterSize(text, at)))) {
            return true;
        }
        previous = {};
    }
    return false;
}

}  // namespace quillane
