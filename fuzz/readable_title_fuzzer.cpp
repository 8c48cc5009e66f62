// The readable title of any raw value: it is always one quoted line with single blanks inside,
// never longer than what arrived (every escape, entity and tag shrinks), and a title that
// holds nothing to undo comes back exactly as it was.
// Input: the raw value.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "util/text/readable_title.h"

namespace quillane::fuzz {
namespace {

// A stand-in for the code page: two GBK-shaped bytes (the trail byte may be "\" or a
// letter) for most characters, none for every third.
std::string standInGbk(char32_t codePoint) {
    if (codePoint % 3 == 0) {
        return {};
    }
    return {static_cast<char>(0x81 + codePoint % 0x7E), static_cast<char>(0x40 + codePoint % 0xBF)};
}

// GBK characters (a lead byte takes a trail byte 0x40-0xFE with it), none of them a blank or
// a character that starts an escape, an entity, a tag or the end of the string.
bool holdsNothingToUndo(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte >= 0x81 && byte <= 0xFE && next >= 0x40 && next <= 0xFE && next != 0x7F) {
            i += 2;  // the trail byte may be "\"
            continue;
        }
        if (byte <= 0x20 || byte == '\\' || byte == '<' || byte == '&' || byte == '"') {
            return false;
        }
        ++i;
    }
    return true;
}

void checkShape(std::string_view raw, const std::string& shown) {
    require(shown.size() >= 2 && shown.front() == '"' && shown.back() == '"', "the title stands in quotes");
    require(shown.size() <= raw.size() + 2, "undoing never lengthens the title");
    // No GBK trail byte is below 0x40, so these byte tests see characters.
    for (char c : shown) {
        require(static_cast<unsigned char>(c) >= 0x20, "no control character reaches the window");
    }
    require(shown.find("  ") == std::string::npos, "blanks are collapsed");
    require(shown.size() < 3 || (shown[1] != ' ' && shown[shown.size() - 2] != ' '), "no blank at either end");
}

}  // namespace
}  // namespace quillane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillane::fuzz;
    const std::string_view raw = asText(data, size);
    checkShape(raw, quillane::readableTitle(raw, standInGbk));
    if (holdsNothingToUndo(raw)) {
        const std::string quoted = "\"" + std::string(raw) + "\"";
        require(quillane::readableTitle(quoted, standInGbk) == quoted, "a plain title is unchanged");
    }
    return 0;
}
