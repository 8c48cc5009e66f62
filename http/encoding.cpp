#include "http/encoding.h"

#include <windows.h>

#include <array>
#include <climits>
#include <string_view>

#include "util/wide_text.h"

namespace quillane {
namespace {

// Blocks that hold no combining mark, so no character of them ever joins the one before it.
struct UnitRange {
    wchar_t first;
    wchar_t last;
};
constexpr UnitRange kRangesWithoutMarks[] = {
    {0x0000, 0x02FF},  // Latin, spacing modifiers (the marks start at U+0300)
    {0x0370, 0x0482},  // Greek, Cyrillic letters
    {0x2000, 0x20CF},  // punctuation, super- and subscripts, currency
    {0x2100, 0x2BFF},  // letterlike symbols, arrows, mathematics, box drawing, shapes
    {0x3000, 0x3029},  // CJK symbols and punctuation, up to the tone marks
    {0x3030, 0x3098},  // more CJK punctuation, Hiragana, up to the voicing marks
    {0x309B, 0x9FFF},  // Katakana, Bopomofo, compatibility jamo, CJK ideographs
    {0xAC00, 0xD7A3},  // Hangul syllables
    {0xE000, 0xFAFF},  // private use, CJK compatibility ideographs
    {0xFE30, 0xFE4F},  // CJK compatibility forms
    {0xFF00, 0xFFEF},  // halfwidth and fullwidth forms
};

// Blocks of 256 units that lie wholly inside one of those ranges: most units are judged by
// one look-up.
constexpr std::array<bool, 256> kMarkFreeBlocks = [] {
    std::array<bool, 256> blocks{};
    for (unsigned block = 0; block < blocks.size(); ++block) {
        for (const UnitRange& range : kRangesWithoutMarks) {
            blocks[block] = blocks[block] || (block << 8 >= range.first && (block << 8 | 0xFF) <= range.last);
        }
    }
    return blocks;
}();

bool isMarkFree(wchar_t unit) {
    // Letters, digits and the JSON around them first, without a look-up.
    if (unit < 0x0300 || kMarkFreeBlocks[static_cast<unsigned>(unit) >> 8]) {
        return true;
    }
    for (const UnitRange& range : kRangesWithoutMarks) {
        if (unit >= range.first && unit <= range.last) {
            return true;
        }
    }
    return false;
}

bool mayHoldCombiningMark(std::wstring_view text) {
    for (const wchar_t unit : text) {
        if (!isMarkFree(unit)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string utf8ToGbk(std::string_view utf8) {
    const std::wstring wide = toWide(utf8, kUtf8CodePage);
    if (wide.empty()) {
        return {};
    }
    // WC_COMPOSITECHECK turns a base letter plus combining mark into the precomposed
    // character where GBK has one; unmappable characters become the code page's default.
    // A text without any combining mark (a reply in Chinese and ASCII) converts to the same
    // bytes without the check, which under Wine costs twenty times the conversion itself.
    const DWORD flags = mayHoldCombiningMark(wide) ? WC_COMPOSITECHECK : 0;
    return fromWide(wide, kGbkCodePage, flags);
}

}  // namespace quillane
