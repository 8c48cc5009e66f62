#include "util/text/readable_title.h"

#include <cstddef>
#include <optional>
#include <utility>

namespace quillane {
namespace {

// Bytes of the GBK character that starts at index: a lead byte 0x81-0xFE takes a trail byte
// 0x40-0xFE (but 0x7F) with it. Trail bytes include "\", letters and brackets, so no ASCII
// test may look at a byte without walking to it character by character. A lead byte without a
// trail byte is a broken character of its own, and the byte after it keeps its meaning.
bool isTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

std::size_t characterLength(std::string_view text, std::size_t index) {
    const auto byte = static_cast<unsigned char>(text[index]);
    const bool lead = byte >= 0x81 && byte <= 0xFE;
    return lead && index + 1 < text.size() && isTrailByte(static_cast<unsigned char>(text[index + 1])) ? 2 : 1;
}

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

// The value of the four hex digits at index (a \u escape's), if they are there.
std::optional<char32_t> fourHexDigits(std::string_view text, std::size_t index) {
    if (index + 4 > text.size()) {
        return std::nullopt;
    }
    char32_t value = 0;
    for (std::size_t i = index; i < index + 4; ++i) {
        const std::optional<unsigned> digit = hexDigit(text[i]);
        if (!digit) {
            return std::nullopt;
        }
        value = value * 16 + *digit;
    }
    return value;
}

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendCodePoint(std::string& out, char32_t codePoint, CodePointToGbk toGbk) {
    if (codePoint < 0x20) {
        out += ' ';  // a line break or a tab inside a title is only a gap
    } else if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
        out += '?';  // half a pair, or no character at all
    } else {
        const std::string gbk = toGbk(codePoint);
        out += gbk.empty() ? std::string("?") : gbk;
    }
}

// Undoes the JSON escapes of a string value. With quoted, the text is what follows the
// opening quote and the value ends at the first unescaped quote. A broken escape is kept as
// it arrived, so that nothing of the title is lost.
std::string undoJsonEscapes(std::string_view text, bool quoted, CodePointToGbk toGbk) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = characterLength(text, i);
        const char c = text[i];
        if (length == 2 || c != '\\' || i + 1 == text.size()) {
            if (quoted && length == 1 && c == '"') {
                break;
            }
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        const char escaped = text[i + 1];
        if (escaped == '"' || escaped == '\\' || escaped == '/') {
            out += escaped;
            i += 2;
        } else if (escaped == 'n' || escaped == 't' || escaped == 'r' || escaped == 'b' || escaped == 'f') {
            out += ' ';
            i += 2;
        } else if (const std::optional<char32_t> unit = escaped == 'u' ? fourHexDigits(text, i + 2) : std::nullopt) {
            char32_t codePoint = *unit;
            i += 6;
            if (isHighSurrogate(codePoint) && i + 1 < text.size() && text[i] == '\\' && text[i + 1] == 'u') {
                const std::optional<char32_t> low = fourHexDigits(text, i + 2);
                if (low && isLowSurrogate(*low)) {
                    codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (*low - 0xDC00);
                    i += 6;
                }
            }
            appendCodePoint(out, codePoint, toGbk);
        } else {
            out += c;  // not an escape JSON knows: the backslash stays
            ++i;
        }
    }
    return out;
}

// Removes every "<" followed by a letter, "/" or "!" up to the next ">". A "<" without such a
// follower, or without a ">" after it, is text.
std::string removeTags(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = characterLength(text, i);
        if (length == 1 && text[i] == '<' && i + 1 < text.size() &&
            (isAsciiLetter(text[i + 1]) || text[i + 1] == '/' || text[i + 1] == '!')) {
            // ">" (0x3E) is never a GBK trail byte, so a byte search finds the tag's end.
            const std::size_t end = text.find('>', i + 1);
            if (end != std::string_view::npos) {
                i = end + 1;
                continue;
            }
        }
        out.append(text.substr(i, length));
        i += length;
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

std::string undoEntities(std::string_view text, CodePointToGbk toGbk) {
    struct NamedEntity {
        std::string_view name;  // between "&" and ";" included
        char character;
    };
    constexpr NamedEntity kNamed[] = {{"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}};
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = characterLength(text, i);
        if (length == 1 && text[i] == '&') {
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
                    appendCodePoint(out, entity->first, toGbk);
                    i += 2 + entity->second;
                    continue;
                }
            }
        }
        out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

std::string collapseBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool pendingBlank = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t length = characterLength(text, i);
        if (length == 1 && isBlank(text[i])) {
            pendingBlank = !out.empty();
        } else {
            if (pendingBlank) {
                out += ' ';
                pendingBlank = false;
            }
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return out;
}

}  // namespace

std::string readableTitle(std::string_view rawValue, CodePointToGbk toGbk) {
    return '"' + readableValue(rawValue, toGbk) + '"';
}

std::string readableValue(std::string_view rawValue, CodePointToGbk toGbk) {
    const bool quoted = rawValue.starts_with('"');
    const std::string unescaped = undoJsonEscapes(quoted ? rawValue.substr(1) : rawValue, quoted, toGbk);
    // Entities last: "&lt;b&gt;" is text that shows a tag, not a tag.
    return collapseBlanks(undoEntities(removeTags(unescaped), toGbk));
}

std::string readableValueOf(std::string_view json, std::string_view key, CodePointToGbk toGbk) {
    const std::string marker = '"' + std::string(key) + "\":";
    // Inside a string value every quote is escaped, so the name between two bare quotes and
    // a colon is only ever a key.
    const std::size_t at = json.find(marker);
    if (at == std::string_view::npos) {
        return {};
    }
    std::string_view raw = json.substr(at + marker.size());
    while (!raw.empty() && (raw.front() == ' ' || raw.front() == '\t')) {
        raw.remove_prefix(1);
    }
    if (!raw.starts_with('"')) {
        raw = raw.substr(0, raw.find_first_of(",}]"));
    }
    return readableValue(raw, toGbk);
}

}  // namespace quillane
