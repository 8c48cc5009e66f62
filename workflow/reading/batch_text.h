#pragma once
// A whole pasted message with each item reference replaced by the member's own link.
//
// The message is handled as the box holds it, in UTF-16, so that whatever the member pasted
// around the links (Chinese text, 淘口令, emoji, which GBK cannot hold) goes back to the
// clipboard unchanged. Item references are ASCII addresses, so they are read from a copy with
// one byte for each UTF-16 unit: the offsets of the copy are the offsets of the message.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "workflow/reading/item_reference.h"

namespace quillane {

// References converted in one batch at most; those after them stay as they are.
inline constexpr std::size_t kMaxBatchReferences = 50;

// One byte for each UTF-16 unit: ASCII stays, anything else becomes 0x80, which no address
// holds and which is no GBK lead byte, so the reader walks it as one character.
std::string readingCopy(std::wstring_view text);

// The text with every span whose reference has a link (links[span.reference] not empty)
// replaced by that link; everything else is kept unit for unit. Spans are in the order of
// the text and do not overlap, as readItemReferenceSpans gives them.
std::wstring withLinks(std::wstring_view text, const std::vector<ReferenceSpan>& spans,
                       const std::vector<std::wstring>& links);

}  // namespace quillane
