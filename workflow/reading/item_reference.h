#pragma once
// Reading which items a text names: a pasted address, a share text from the marketplace app,
// a short link, another member's affiliate link, or a page's hand-off address. Texts are GBK
// and are walked character by character, so the trail byte of a Chinese character is never
// taken for an ASCII letter.
#include <string>
#include <string_view>
#include <vector>

namespace quillane {

struct ItemReference {
    enum class Kind {
        ItemId,   // the id, read straight from an address
        Address,  // an address that names no id itself: its page (or where it leads) may
    };
    Kind kind = Kind::ItemId;
    std::string value;

    bool operator==(const ItemReference&) const = default;
};

// The items a text names, in the order they appear, each once:
// - every "http://" or "https://" address in it (scheme in any case), cut at the first blank,
//   control byte, quote, angle bracket or non-ASCII character (Chinese text and its
//   punctuation around a link), is read for its id: the value of the query parameter named
//   exactly id, itemId or itemNumId, else the last path segment "i<digits>.htm"; an address
//   without one is an address to resolve (its fragment left off), when isPageAddress allows
//   fetching it;
// - a text without any such address that is itself a page address (a pasted
//   "item.taobao.com/..." without its scheme) is read the same way.
// A run of digits elsewhere is no reference: only an address says what its digits are.
std::vector<ItemReference> readItemReferences(std::string_view text);

// Where one reference stands in the text: the bytes of the whole address it was read from,
// and which of the references it names (an index into ReferencesInText::references).
struct ReferenceSpan {
    std::size_t offset = 0;
    std::size_t size = 0;
    std::size_t reference = 0;

    bool operator==(const ReferenceSpan&) const = default;
};

struct ReferencesInText {
    std::vector<ItemReference> references;  // as readItemReferences gives them
    std::vector<ReferenceSpan> spans;       // every occurrence, in the order of the text
};

// The references of the text with every place that names one, so that each address can be
// replaced where it stands. The same reading as readItemReferences, in one pass.
ReferencesInText readItemReferenceSpans(std::string_view text);

// Whether the text holds a 淘口令: 8 to 16 ASCII letters and digits, at least one of them a
// letter, framed by one same symbol on both sides (￥…￥, €…€, $…$, a symbol the code page
// lacks read as ?…?) or by brackets. Only the marketplace can turn it into an item.
bool holdsTaoToken(std::string_view text);

// Whether the whole text is one 淘口令 of that form, frames included, and nothing else: how a
// value that the platform calls a 淘口令 is checked before the member passes it on.
bool isTaoToken(std::string_view text);

}  // namespace quillane
