// The walk over an accessible tree, here in this process (the stand-in browser's own tree,
// without the round trips), so that its bounds are reached in milliseconds.
#include "workflow/capture/accessible_walk.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "sim/browser_view/accessible_tree.h"
#include "util/owners.h"

namespace {

using quillane::AccessibleFindings;
using quillane::AccessibleWalkBounds;
using quillane::ComPtr;
using quillane::browserview::ElementKind;
using quillane::browserview::TreeState;

constexpr wchar_t kAddress[] = L"http://item.taobao.com/item.htm?id=12345678901";

struct WalkCase {
    const char* label;
    TreeState tree;
    ULONGLONG timeLeftMs;
    std::optional<std::string> documentAddress;
    std::optional<std::string> addressBarAddress;
    bool otherDocument;
    int maxElements;  // the walk visits at most this many
};

TreeState tree(bool filled, long extraElements = 0, const wchar_t* address = kAddress, bool silent = false) {
    TreeState state;
    state.address = address;
    state.barName = L"Address and search bar";
    state.pageFilled = filled;
    state.extraElements = extraElements;
    state.silent = silent;
    return state;
}

TEST(AccessibleWalk, FindsTheDocumentOrTheAddressBarWithinItsBounds) {
    const std::string page = "http://item.taobao.com/item.htm?id=12345678901";
    const std::string bar = "https://item.taobao.com/item.htm?id=12345678901";
    const WalkCase cases[] = {
        {"the page's document", tree(true), 3000, page, std::nullopt, false, 8},
        {"no document yet: the address bar", tree(false), 3000, std::nullopt, bar, false, 8},
        {"a list of 100 000 ahead: the document still comes first", tree(true, 100000), 3000, page, std::nullopt,
         false, 64},
        {"a list of 100 000 and no document: 3000 elements at most", tree(false, 100000), 3000, std::nullopt, bar,
         false, 3001},
        {"the browser's own page", tree(true, 0, L"about:blank"), 3000, std::nullopt, std::nullopt, true, 8},
        {"nothing below the root", tree(true, 0, kAddress, true), 3000, std::nullopt, std::nullopt, false, 1},
        {"no time left", tree(true), 0, std::nullopt, std::nullopt, false, 0},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.label);
        auto state = std::make_shared<TreeState>(c.tree);
        const ComPtr<IAccessible> root(quillane::browserview::newElement(ElementKind::Client, state));
        ASSERT_TRUE(root);
        AccessibleWalkBounds bounds;
        bounds.deadline = GetTickCount64() + c.timeLeftMs;
        quillane::RetiredElements retired;
        const AccessibleFindings found = quillane::walkAccessibleTree(root.get(), bounds, retired);
        EXPECT_EQ(found.documentAddress, c.documentAddress);
        EXPECT_EQ(found.addressBarAddress, c.addressBarAddress);
        EXPECT_EQ(found.otherDocument, c.otherDocument);
        EXPECT_LE(found.elements, c.maxElements);
        if (c.documentAddress) {
            // Read the role and the value of the document, never its content's.
            EXPECT_LE(state->callsServed, 6 * found.elements);
        }
    }
}

}  // namespace
