#include "workflow/reading/batch_text.h"

namespace quillane {

std::string readingCopy(std::wstring_view text) {
    std::string copy;
    copy.reserve(text.size());
    for (const wchar_t unit : text) {
        copy.push_back(static_cast<unsigned>(unit) < 0x80 ? static_cast<char>(unit) : '\x80');
    }
    return copy;
}

std::wstring withLinks(std::wstring_view text, const std::vector<ReferenceSpan>& spans,
                       const std::vector<std::wstring>& links) {
    std::wstring result;
    result.reserve(text.size());
    std::size_t kept = 0;
    for (const ReferenceSpan& span : spans) {
        const bool replaced = span.reference < links.size() && !links[span.reference].empty();
        if (!replaced || span.offset < kept || span.offset + span.size > text.size()) {
            continue;
        }
        result.append(text.substr(kept, span.offset - kept));
        result.append(links[span.reference]);
        kept = span.offset + span.size;
    }
    result.append(text.substr(kept));
    return result;
}

}  // namespace quillane
