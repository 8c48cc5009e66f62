// The readable form of any text of a reply: always one line with single blanks inside, never
// longer than what arrived (every entity and tag shrinks, and no character grows in GBK), and
// a text that holds nothing to undo comes back exactly as it was.
// Input: the text, as the parser hands it over (meant to be UTF-8, but any bytes).
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "util/text/readable_title.h"

namespace quillane::fuzz {
namespace {

// A stand-in for the code page: two GBK-shaped bytes (the second may be "\" or a letter) for
// most characters, none for every third.
std::string standInGbk(char32_t codePoint) {
    if (codePoint % 3 == 0) {
        return {};
    }
    return {static_cast<char>(0x81 + codePoint % 0x7E), static_cast<char>(0x40 + codePoint % 0xBF)};
}

// Printable ASCII without a blank or a character that starts an entity or a tag.
bool holdsNothingToUndo(std::string_view text) {
    for (const char c : text) {
        if (c <= 0x20 || c >= 0x7F || c == '<' || c == '&') {
            return false;
        }
    }
    return true;
}

void checkShape(std::string_view text, const std::string& shown) {
    require(shown.size() <= text.size(), "undoing never lengthens the text");
    // No GBK trail byte is below 0x40, so these byte tests see characters.
    for (char c : shown) {
        require(static_cast<unsigned char>(c) >= 0x20, "no control character reaches the window");
    }
    require(shown.find("  ") == std::string::npos, "blanks are collapsed");
    require(shown.empty() || (shown.front() != ' ' && shown.back() != ' '), "no blank at either end");
}

}  // namespace
}  // namespace quillane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillane::fuzz;
    const std::string_view text = asText(data, size);
    const std::string shown = quillane::readableText(text, standInGbk);
    checkShape(text, shown);
    require(!holdsNothingToUndo(text) || shown == text, "a plain text is unchanged");
    return 0;
}
