#include "util/text/readable_title.h"

#include <cstddef>
#include <optional>
#include <utility>

namespace quillane {
namespace {

// The text is cleaned while it is still UTF-8, where every byte below 0x80 is the ASCII
// character it looks like (GBK's second bytes include "<", letters and "\"), and converted to
// GBK once at the end.

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Control characters and the space: what the member sees as a blank.
bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

std::optional<unsigned> hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return static_cast<unsigned>(c - '0');
    }
    if (c >= 'a' && c <= 'f') {
        return static_cast<unsigned>(c - 'a' + 10);
    }
    if (c >= 'A' && c <= 'F') {
        return static_cast<unsigned>(c - 'A' + 10);
    }
    return std::nullopt;
}

bool isCharacter(char32_t codePoint) {
    return codePoint <= 0x10FFFF && (codePoint < 0xD800 || codePoint > 0xDFFF);
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (!isCharacter(codePoint)) {
        out += '?';  // half a surrogate pair, or no character at all
    } else if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// Removes every "<" followed by a letter, "/" or "!" up to the next ">". A "<" without such a
// follower, or without a ">" after it, is text.
std::string removeTags(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '<' && i + 1 < text.size() &&
            (isAsciiLetter(text[i + 1]) || text[i + 1] == '/' || text[i + 1] == '!')) {
            const std::size_t end = text.find('>', i + 1);
            if (end != std::string_view::npos) {
                i = end + 1;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

// The character that a numeric entity's digits (after "&#") name, and how many bytes up to
// and including its ";" it takes; absent when it is no numeric entity.
std::optional<std::pair<char32_t, std::size_t>> numericEntity(std::string_view text, std::size_t index) {
    const bool hex = index < text.size() && (text[index] == 'x' || text[index] == 'X');
    const unsigned base = hex ? 16 : 10;
    // Enough digits for U+10FFFF, and no more: a longer run could only overflow.
    const std::size_t maxDigits = hex ? 6 : 7;
    std::size_t i = index + (hex ? 1 : 0);
    const std::size_t firstDigit = i;
    char32_t value = 0;
    while (i < text.size() && i - firstDigit < maxDigits) {
        const std::optional<unsigned> digit = hexDigit(text[i]);
        if (!digit || *digit >= base) {
            break;
        }
        value = value * base + *digit;
        ++i;
    }
    if (i == firstDigit || i >= text.size() || text[i] != ';') {
        return std::nullopt;
    }
    return std::make_pair(value, i + 1 - index);
}

std::string undoEntities(std::string_view text) {
    struct NamedEntity {
        std::string_view name;  // between "&" and ";" included
        char character;
    };
    constexpr NamedEntity kNamed[] = {{"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}};
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '&') {
            const std::string_view rest = text.substr(i + 1);
            bool undone = false;
            for (const NamedEntity& entity : kNamed) {
                if (rest.starts_with(entity.name)) {
                    out += entity.character;
                    i += 1 + entity.name.size();
                    undone = true;
                    break;
                }
            }
            if (undone) {
                continue;
            }
            if (rest.starts_with('#')) {
                if (const auto entity = numericEntity(text, i + 2)) {
                    appendUtf8(out, entity->first);
                    i += 2 + entity->second;
                    continue;
                }
            }
        }
        out += text[i++];
    }
    return out;
}

std::string collapseBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool pendingBlank = false;
    for (const char c : text) {
        if (isBlank(c)) {
            pendingBlank = !out.empty();
            continue;
        }
        if (pendingBlank) {
            out += ' ';
            pendingBlank = false;
        }
        out += c;
    }
    return out;
}

// The UTF-8 sequence at text[index]: its character and length; nullopt for a byte that
// starts none (a stray continuation byte, a cut-off or overlong sequence).
std::optional<std::pair<char32_t, std::size_t>> utf8Character(std::string_view text, std::size_t index) {
    const auto lead = static_cast<unsigned char>(text[index]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || index + length > text.size()) {
        return std::nullopt;
    }
    char32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[index + i]);
        if ((byte & 0xC0) != 0x80) {
            return std::nullopt;
        }
        codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kLeast[length] || !isCharacter(codePoint)) {
        return std::nullopt;
    }
    return std::make_pair(codePoint, length);
}

std::string toGbkText(std::string_view utf8, CodePointToGbk toGbk) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto character = utf8Character(utf8, i);
        if (!character) {
            out += '?';
            ++i;
            continue;
        }
        if (character->first < 0x80) {
            out += static_cast<char>(character->first);
        } else {
            const std::string gbk = toGbk(character->first);
            out += gbk.empty() ? std::string("?") : gbk;
        }
        i += character->second;
    }
    return out;
}

}  // namespace

std::string readableText(std::string_view utf8, CodePointToGbk toGbk) {
    // Entities after tags: "&lt;b&gt;" is text that shows a tag, not a tag. Blanks last, so
    // that an entity's blank (&#10;) collapses with its neighbours.
    return toGbkText(collapseBlanks(undoEntities(removeTags(utf8))), toGbk);
}

}  // namespace quillane
