// The member's click into the item box after a visit to another program, with the real
// quillane.exe against the simulated platform: however the system hands the click over, the
// box empties, the paste lands in it and is looked up, and nothing is converted behind the
// member's back (which would overwrite the text the member has just copied).
#include <gtest/gtest.h>

#include "tests/support/harvested_session.h"

namespace quillane::test {
namespace {

// How the click reaches the box.
enum class Arrival {
    // As a press: away from the spot of the double-click before, so the system cannot pair them.
    Press,
    // On the spot of the double-click's last press, soon enough for the system to pair the two:
    // the window under the mouse is activated, then the box receives WM_LBUTTONDBLCLK in place
    // of the press (Wine does so even though another program was clicked in between).
    PressPairedWithTheDoubleClick,
};

class ItemBoxClickTest : public HarvestedSessionTest {
protected:
    HWND box() { return session_->app().control(MainWindow::kItemEditId); }
    std::string itemAddress(const std::string& itemId) { return sim().itemPage(itemId); }

    void clickIntoTheBox(Arrival arrival) {
        const POINT centre = session_->app().controlCentre(MainWindow::kItemEditId);
        if (arrival == Arrival::Press) {
            clickAt(centre.x - GetSystemMetrics(SM_CXDOUBLECLK), centre.y);
            return;
        }
        // The press activates the main window first, as the system does before it delivers the
        // press; the timing of real presses is not the test's to choose, so the paired press
        // itself is the message the system delivers for it.
        const POINT label = overMainWindow();
        clickAt(label.x, label.y);
        ASSERT_TRUE(waitUntil([&] { return focusInThreadOf(box()) == session_->app().mainWindow(); }));
        RECT client{};
        GetClientRect(box(), &client);
        const LPARAM spot = MAKELPARAM(client.right / 2, client.bottom / 2);
        PostMessageW(box(), WM_LBUTTONDBLCLK, MK_LBUTTON, spot);
        PostMessageW(box(), WM_LBUTTONUP, 0, spot);
    }
};

TEST_F(ItemBoxClickTest, AClickIntoTheBoxAfterAnotherProgramEmptiesItAndTakesThePaste) {
    const struct {
        const char* label;
        Arrival arrival;
        const char* itemId;
    } cases[] = {
        {"a press", Arrival::Press, "22222222222"},
        {"a press paired with the double-click before", Arrival::PressPairedWithTheDoubleClick, "33333333333"},
    };
    // Another program's window that takes a click (a static window would let it through).
    const PlainWindow otherProgram(true, L"EDIT", L"another program");
    ASSERT_TRUE(session_->focusItemBox());
    session_->pasteItemText(itemAddress("11111111111"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        // The member's link to the item in the box, then a visit to another program, where the
        // member copies the next item.
        ASSERT_TRUE(session_->doubleClickItemBox());
        const POINT elsewhere = centreOf(windowRect(otherProgram.handle()));
        clickAt(elsewhere.x, elsewhere.y);
        ASSERT_TRUE(waitUntil([&] {
            return GetForegroundWindow() == otherProgram.handle() && focusInThreadOf(box()) == nullptr;
        }));
        const std::string copied = itemAddress(c.itemId);
        replaceClipboardWith(copied);
        const std::size_t linkRequests = sim().requestsTo(kLinkPath).size();

        clickIntoTheBox(c.arrival);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_TRUE(waitUntil([&] { return windowText(box()).empty(); })) << "the click left: " << windowText(box());
        pressKeys(L"ctrl+v");
        EXPECT_TRUE(waitUntil([&] { return session_->lastSearchedId() == c.itemId; }))
            << "last search: " << session_->lastSearchedId();
        EXPECT_TRUE(session_->waitUntilIdle());
        EXPECT_EQ(windowText(box()), copied);
        // The pasted item's link is asked for ahead of a double-click; none for the old text.
        const std::vector<SimRequest> links = sim().requestsTo(kLinkPath);
        for (std::size_t link = linkRequests; link < links.size(); ++link) {
            EXPECT_EQ(links[link].queryValue("auctionid"), c.itemId) << "the click asked for a link";
        }
        EXPECT_EQ(clipboardText(), copied) << "the member's copied text was overwritten";
    }
}

}  // namespace
}  // namespace quillane::test
