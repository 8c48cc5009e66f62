#include "workflow/capture/accessible_walk.h"

#include <algorithm>
#include <array>
#include <deque>

#include "http/parsing/url.h"
#include "util/owners.h"
#include "util/wide_text.h"
#include "workflow/reading/address_bar_text.h"

namespace quillane {

namespace {

// Children are fetched a few at a time, so that a container of 100 000 children costs one
// batch at a time, with the bounds looked at in between, and its later batches queue behind
// the elements already found: a huge list does not starve the rest of the tree.
constexpr LONG kChildBatch = 16;
// Longer values are no address: an element's text is the other program's to make as long as
// it likes, and is not converted beyond this.
constexpr UINT kMaxValueLength = 8192;

// One element: an object of its own (childId CHILDID_SELF), or a simple child that its
// parent object answers for. Or, with count > 0, the children of object still to fetch.
struct Pending {
    ComPtr<IAccessible> object;
    LONG childId = CHILDID_SELF;
    int depth = 0;
    bool inToolbar = false;
    LONG nextChild = 0;  // for children still to fetch: the index of the next one
    LONG childCount = 0;
};

// Elements whose children never hold the page or the address bar: buttons, tabs, links,
// pictures, menus. Not asking for their children saves a call each, and the tool bars of a
// browser are full of them.
bool isSearchedForChildren(LONG role) {
    switch (role) {
    case ROLE_SYSTEM_PUSHBUTTON:
    case ROLE_SYSTEM_BUTTONMENU:
    case ROLE_SYSTEM_BUTTONDROPDOWN:
    case ROLE_SYSTEM_PAGETAB:
    case ROLE_SYSTEM_LINK:
    case ROLE_SYSTEM_GRAPHIC:
    case ROLE_SYSTEM_STATICTEXT:
    case ROLE_SYSTEM_SEPARATOR:
    case ROLE_SYSTEM_CHECKBUTTON:
    case ROLE_SYSTEM_RADIOBUTTON:
    case ROLE_SYSTEM_MENUITEM:
    case ROLE_SYSTEM_MENUBAR:
    case ROLE_SYSTEM_TITLEBAR:
    case ROLE_SYSTEM_SCROLLBAR:
        return false;
    default:
        return true;
    }
}

VARIANT childVariant(LONG childId) {
    VARIANT child;
    VariantInit(&child);
    V_VT(&child) = VT_I4;
    V_I4(&child) = childId;
    return child;
}

LONG roleOf(IAccessible* object, LONG childId) {
    Variant role;
    if (FAILED(object->get_accRole(childVariant(childId), role.get())) || V_VT(role.get()) != VT_I4) {
        return 0;
    }
    return V_I4(role.get());
}

std::string valueOf(IAccessible* object, LONG childId) {
    Variant value;  // owns the text however this ends
    BSTR text = nullptr;
    if (FAILED(object->get_accValue(childVariant(childId), &text))) {
        SysFreeString(text);
        return {};
    }
    V_VT(value.get()) = VT_BSTR;
    V_BSTR(value.get()) = text;
    const UINT length = SysStringLen(text);
    if (text == nullptr || length == 0 || length > kMaxValueLength) {
        return {};
    }
    return wideToGbk(std::wstring_view(text, length));
}

class TreeWalk {
public:
    TreeWalk(const AccessibleWalkBounds& bounds, RetiredElements& retired) : bounds_(bounds), retired_(retired) {}

    AccessibleFindings run(IAccessible* root) {
        queue_.push_back(Pending{ComPtr<IAccessible>::share(root)});
        fetched_ = 1;
        while (!queue_.empty() && !findings_.documentAddress && GetTickCount64() < bounds_.deadline) {
            Pending next = std::move(queue_.front());
            queue_.pop_front();
            if (next.childCount > 0) {
                fetchChildren(next);
            } else {
                visit(next);
            }
            retire(next);
        }
        // The address bar is read only when no document gave the address: one call saved in
        // the usual case.
        if (!findings_.documentAddress && addressBar_.object) {
            findings_.addressBarAddress = addressFromAddressBar(valueOf(addressBar_.object.get(), addressBar_.childId));
        }
        retire(addressBar_);
        for (Pending& left : queue_) {
            retire(left);
        }
        return std::move(findings_);
    }

private:
    void retire(Pending& element) { quillane::retire(retired_, element.object); }

    void visit(Pending& element) {
        ++findings_.elements;
        IAccessible* object = element.object.get();
        const LONG role = roleOf(object, element.childId);
        if (role == ROLE_SYSTEM_DOCUMENT) {
            const std::string value = valueOf(object, element.childId);
            if (isWebAddress(value)) {
                findings_.documentAddress = value;
            } else if (!value.empty()) {
                findings_.otherDocument = true;
            }
            return;
        }
        if (role == ROLE_SYSTEM_TEXT) {
            if (element.inToolbar && !addressBar_.object) {
                addressBar_.object = ComPtr<IAccessible>::share(object);
                addressBar_.childId = element.childId;
            }
            return;  // a text's children are its own words
        }
        if (element.childId != CHILDID_SELF || element.depth >= bounds_.maxDepth || !isSearchedForChildren(role)) {
            return;  // a simple child has no children of its own
        }
        LONG count = 0;
        if (FAILED(object->get_accChildCount(&count)) || count <= 0) {
            return;
        }
        Pending children;
        children.object = ComPtr<IAccessible>::share(object);
        children.depth = element.depth;
        children.inToolbar = element.inToolbar || role == ROLE_SYSTEM_TOOLBAR;
        children.childCount = count;
        queue_.push_back(std::move(children));
    }

    void fetchChildren(Pending& parent) {
        const LONG wanted = std::min<LONG>({kChildBatch, parent.childCount - parent.nextChild,
                                            static_cast<LONG>(bounds_.maxElements - fetched_)});
        if (wanted <= 0) {
            return;
        }
        std::array<VARIANT, kChildBatch> raw;
        LONG obtained = 0;
        const HRESULT outcome =
            AccessibleChildren(parent.object.get(), parent.nextChild, wanted, raw.data(), &obtained);
        if (FAILED(outcome)) {
            return;  // on failure AccessibleChildren hands out nothing
        }
        obtained = std::clamp<LONG>(obtained, 0, wanted);
        // Every child handed out is owned at once, the ones not used included.
        std::array<Variant, kChildBatch> children;
        for (LONG index = 0; index < obtained; ++index) {
            *children[index].get() = raw[index];
        }
        fetched_ += obtained;
        for (LONG index = 0; index < obtained; ++index) {
            VARIANT* child = children[index].get();
            Pending element;
            element.depth = parent.depth + 1;
            element.inToolbar = parent.inToolbar;
            if (V_VT(child) == VT_DISPATCH && V_DISPATCH(child) != nullptr) {
                const HRESULT asked = V_DISPATCH(child)->QueryInterface(kAccessibleInterface, element.object.put());
                // The reference handed out is kept with the others, to be let go of later.
                ComPtr<IDispatch> handedOut(V_DISPATCH(child));
                V_VT(child) = VT_EMPTY;
                quillane::retire(retired_, handedOut);
                if (FAILED(asked)) {
                    continue;
                }
            } else if (V_VT(child) == VT_I4) {
                element.object = ComPtr<IAccessible>::share(parent.object.get());
                element.childId = V_I4(child);
            } else {
                continue;
            }
            queue_.push_back(std::move(element));
        }
        if (outcome == S_OK && obtained == wanted && parent.nextChild + wanted < parent.childCount) {
            Pending rest;
            rest.object = ComPtr<IAccessible>::share(parent.object.get());
            rest.depth = parent.depth;
            rest.inToolbar = parent.inToolbar;
            rest.nextChild = parent.nextChild + wanted;
            rest.childCount = parent.childCount;
            queue_.push_back(std::move(rest));
        }
    }

    AccessibleWalkBounds bounds_;
    RetiredElements& retired_;
    AccessibleFindings findings_;
    std::deque<Pending> queue_;
    Pending addressBar_;  // the first editable text in a toolbar
    int fetched_ = 0;
};

}  // namespace

AccessibleFindings walkAccessibleTree(IAccessible* root, const AccessibleWalkBounds& bounds,
                                      RetiredElements& retired) {
    if (root == nullptr) {
        return {};
    }
    return TreeWalk(bounds, retired).run(root);
}

}  // namespace quillane
