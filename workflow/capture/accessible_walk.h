#pragma once
// One walk over a browser's accessible tree (what it offers to screen readers), looking for
// the page's address. Every call on an element of another process costs a round trip (about
// 3 ms under Wine), so the walk reads as little as it can and stops at its bounds.
#include <windows.h>
#include <oleacc.h>

#include <optional>
#include <string>
#include <vector>

#include "util/owners.h"

namespace quillane {

// IAccessible, spelled out: MinGW's IID_IAccessible from liboleacc.a is an import thunk, not
// the identifier, and asking with it finds no interface.
inline constexpr GUID kAccessibleInterface = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct AccessibleWalkBounds {
    int maxElements = 3000;
    int maxDepth = 25;          // levels below the root
    ULONGLONG deadline = 0;     // GetTickCount64() value at which the walk stops
};

struct AccessibleFindings {
    // The value of the first page document (breadth first) that is a web address, GBK.
    std::optional<std::string> documentAddress;
    // Without a document address: what the first editable text in a toolbar shows, when it
    // reads as an address (scheme put in front when it had none), GBK.
    std::optional<std::string> addressBarAddress;
    // A document showed something that is no web address (the browser's own pages): the page
    // is there, waiting for it longer will not make it a web page.
    bool otherDocument = false;
    int elements = 0;  // elements whose role was read
};

// Every element the walk took from the other process. Letting go of one is a call to that
// process too: the caller keeps them until the address has gone on its way.
using RetiredElements = std::vector<ComPtr<IUnknown>>;

template <typename Interface>
void retire(RetiredElements& retired, ComPtr<Interface>& element) {
    if (element) {
        retired.push_back(ComPtr<IUnknown>(element.release()));
    }
}

// Breadth first from root: reads each element's role, the value only of documents and of
// editable texts inside a toolbar, and never descends into a document (its children are the
// page's content). Stops at the first document address or at a bound. The elements it took
// end up in retired.
AccessibleFindings walkAccessibleTree(IAccessible* root, const AccessibleWalkBounds& bounds,
                                      RetiredElements& retired);

}  // namespace quillane
