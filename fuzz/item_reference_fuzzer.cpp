// Reading item references, 淘口令 and hand-off addresses out of any text.
// - Every id read is one that isItemId accepts, every address one that may be fetched and that
//   reads back as itself; no reference comes twice.
// - Every place a reference is read from lies in the text, after the one before, and reads
//   back as that reference; each reference has one; replacing none of them changes nothing.
// - An item address appended to any text is read, whatever came before it.
// - A hand-off address has no "&amp;" left, and undoing the escapes in one pass gives what
//   replacing them again and again until none is left gives.
// - isItemId holds exactly for 11 to 15 digits with a value above 10 000 000 000.
// Input: text 0x1F digits (non-digits in the second field are dropped).
#include <cstdint>
#include <set>
#include <vector>
#include <string>
#include <string_view>

#include "fuzz/fuzz_input.h"
#include "http/parsing/url.h"
#include "workflow/reading/batch_text.h"
#include "workflow/reading/hand_off.h"
#include "workflow/reading/item_id.h"
#include "workflow/reading/item_reference.h"

namespace quillane::fuzz {
namespace {

// The one-pass undoing is compared with the plain way on texts short enough for it.
constexpr std::size_t kPlainUnescapeLimit = 4096;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool aboveBound(std::string_view digits) {
    while (!digits.empty() && digits.front() == '0') {
        digits.remove_prefix(1);
    }
    if (digits.size() > 11) {
        return true;
    }
    std::uint64_t value = 0;
    for (char c : digits) {
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return value > 10000000000ULL;
}

void checkReferences(std::string_view text) {
    std::set<std::pair<int, std::string>> seen;
    for (const ItemReference& reference : readItemReferences(text)) {
        require(seen.insert({static_cast<int>(reference.kind), reference.value}).second, "no reference twice");
        require(text.find(reference.value) != std::string_view::npos, "a reference is taken from the text");
        if (reference.kind == ItemReference::Kind::ItemId) {
            require(isItemId(reference.value), "an id read is an item id");
            continue;
        }
        require(isPageAddress(reference.value), "an address to resolve may be fetched");
        require(reference.value.find('#') == std::string::npos, "no fragment is sent");
        const auto again = readItemReferences(reference.value);
        require(again.size() == 1 && again[0] == reference, "an address reads back as itself");
    }
}

void checkSpans(std::string_view text) {
    const ReferencesInText found = readItemReferenceSpans(text);
    require(found.references == readItemReferences(text), "the spans' reading is the reading");
    std::vector<bool> placed(found.references.size(), false);
    std::size_t end = 0;
    for (const ReferenceSpan& span : found.spans) {
        require(span.offset >= end && span.size > 0 && span.offset + span.size <= text.size(), "spans in order");
        end = span.offset + span.size;
        require(span.reference < found.references.size(), "a span names a reference");
        placed[span.reference] = true;
        const auto again = readItemReferences(text.substr(span.offset, span.size));
        require(again.size() == 1 && again[0] == found.references[span.reference], "a span reads as its reference");
    }
    for (bool one : placed) {
        require(one, "every reference stands somewhere");
    }
    const std::wstring wide(text.begin(), text.end());
    require(withLinks(wide, found.spans, std::vector<std::wstring>(found.references.size())) == wide,
            "no link, no change");
}

void checkAppendedItem(std::string_view text, std::string_view digitsField) {
    std::string digits;
    for (char c : digitsField) {
        if (isDigit(c)) {
            digits.push_back(c);
        }
    }
    const bool valid = digits.size() >= 11 && digits.size() <= 15 && aboveBound(digits);
    require(isItemId(digits) == valid, "an item id is 11 to 15 digits above the bound");
    if (!valid) {
        return;
    }
    const std::string source = std::string(text) + " https://item.taobao.com/item.htm?spm=1&id=" + digits + "&skuId=5";
    bool found = false;
    for (const ItemReference& reference : readItemReferences(source)) {
        found = found || (reference.kind == ItemReference::Kind::ItemId && reference.value == digits);
    }
    require(found, "an appended item address is read");
}

std::string plainlyUnescaped(std::string text) {
    for (std::size_t at = text.find("&amp;"); at != std::string::npos; at = text.find("&amp;")) {
        text.replace(at, 5, "&");
    }
    return text;
}

void checkHandOff(std::string_view text) {
    const std::string handOff = handOffAddress(text);
    require(handOff.find("&amp;") == std::string::npos, "no escape is left in a hand-off");
    if (text.size() <= kPlainUnescapeLimit) {
        require(withoutAmpEscapes(text) == plainlyUnescaped(std::string(text)), "one pass undoes every level");
    }
    holdsTaoToken(text);
}

// A text the lookup would fetch names a host the engine can go to, and nothing else.
void checkPageAddress(std::string_view text) {
    if (!isPageAddress(text)) {
        return;
    }
    const std::string host = urlHost(text);
    require(!host.empty(), "a page address has a host");
    for (char c : host) {
        require(c != '@' && c != ' ' && static_cast<unsigned char>(c) >= 0x20, "the host is a plain name");
    }
    require(text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos,
            "a page address holds no line break or zero byte");
}

}  // namespace
}  // namespace quillane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillane::fuzz;
    const std::string_view input = asText(data, size);
    checkReferences(input);
    checkSpans(input);
    checkHandOff(input);
    checkPageAddress(input);
    const auto fields = splitFields(input, 2);
    checkAppendedItem(fields[0], fields[1]);
    return 0;
}
