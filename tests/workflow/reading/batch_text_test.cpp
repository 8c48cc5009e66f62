// A whole message with its item references replaced by links: the references are read from
// the message as the box holds it (UTF-16), and every unit around them is kept.
#include <gtest/gtest.h>

#include <map>

#include "workflow/reading/batch_text.h"

namespace quillane {
namespace {

// The message with each reference whose value has an entry in links replaced by that link.
std::wstring converted(const std::wstring& text, const std::map<std::string, std::wstring>& links) {
    const ReferencesInText found = readItemReferenceSpans(readingCopy(text));
    std::vector<std::wstring> linkOfReference;
    for (const ItemReference& reference : found.references) {
        const auto link = links.find(reference.value);
        linkOfReference.push_back(link == links.end() ? std::wstring() : link->second);
    }
    return withLinks(text, found.spans, linkOfReference);
}

struct BatchTextCase {
    const char* label;
    std::wstring text;
    std::map<std::string, std::wstring> links;
    std::wstring expected;
};

// The end-to-end tests convert messages with Chinese text, emoji and line breaks around the
// links; these are the shapes they do not reach.
TEST(BatchText, EveryReferenceIsReplacedWhereItStandsAndNothingElse) {
    const BatchTextCase cases[] = {
        {"an address nested in another's query is part of it",
         L"\u3010http://s.example/t?u=http://a.example/item.htm?id=12345678901\u3011",
         {{"http://s.example/t?u=http://a.example/item.htm?id=12345678901", L"L3"}},
         L"\u3010L3\u3011"},
        {"a whole text that is an address without its scheme",
         L"item.taobao.com/item.htm?id=34567890123",
         {{"34567890123", L"L4"}},
         L"L4"},
    };
    for (const BatchTextCase& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(converted(c.text, c.links), c.expected);
    }
}

TEST(BatchText, ANonAsciiUnitIsNeverPartOfAnAddress) {
    // A unit whose low byte is 'h' (U+0168) must not start "http://" nor an address end at it.
    const std::string copy = readingCopy(L"\u0168ttp://a.example/item.htm?id=12345678901\u0168x");
    EXPECT_EQ(copy.size(), 42u);
    const ReferencesInText found = readItemReferenceSpans(copy);
    EXPECT_TRUE(found.references.empty());
}

}  // namespace
}  // namespace quillane
