#pragma once
// The main window's status label as the flows share it: each result sets its text, and while
// the member waits for a request longer than a moment it says "正在查询…", then gives the label
// back its text when the wait ends without a result that set one.
#include <optional>
#include <string>

namespace quillane {

class MainWindow;

class StatusLine {
public:
    explicit StatusLine(MainWindow& window) : window_(window) {}

    // A result's text: it stays when a wait ends.
    void set(const std::string& text);
    // A batch's progress, which the progress text does not cover; while a batch runs it keeps
    // the label to itself.
    void showBatchProgress(const std::string& text);
    void setBatchRunning(bool running) { batchRunning_ = running; }

    // The member waits for something while at least one wait is begun: the progress timer runs.
    void beginMemberWait();
    void endMemberWait();
    // The main window's progress timer is due.
    void onProgressDue();

private:
    MainWindow& window_;
    int memberWaits_ = 0;
    bool batchRunning_ = false;
    std::optional<std::string> textBeforeProgress_;
};

}  // namespace quillane
