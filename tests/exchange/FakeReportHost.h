#pragma once

#include "exchange/ReportHost.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace fc::test {

// Records what a report run asks of its window.
class FakeReportHost : public ReportHost {
public:
    long long handle() const override { return ownHandle; }
    std::string caption() const override { return captionText; }
    void setCaption(const std::string& text) override { captionText = text; }
    void setBusy(bool b) override { busy = b; }
    void closeWindow() override { closed = true; }
    void setTimer(ReportTimer t, bool on, int ms) override {
        timers[t] = on;
        intervals[t] = ms;
    }
    void answerArrived(std::string buffer) override { answers.push_back(std::move(buffer)); }
    void saveData(const std::string& command) override { saves.push_back(command); }
    bool collectQuestionPanel() override { return questionPanelFields; }
    std::string statusText() const override { return status; }
    void setStatusText(const std::string& text) override { status = text; }
    bool applicationActive() const override { return appActive; }
    bool isActiveChild() const override { return activeChild; }
    long long openReport(bool popup) override {
        opened.push_back(popup);
        return nextHandle;
    }
    bool activateWindow(long long h) override {
        if (std::find(gone.begin(), gone.end(), h) != gone.end()) {
            return false;
        }
        activatedWindows.push_back(h);
        return true;
    }

    void returnTo(long long h, bool popupClosed, bool rerun) override {
        returns.push_back({h, popupClosed, rerun});
    }

    struct Return {
        long long handle;
        bool popupClosed;
        bool rerun;
    };
    long long ownHandle = 7;
    long long nextHandle = 501;
    std::string captionText;
    bool busy = false;
    bool closed = false;
    bool appActive = true;
    bool activeChild = true;
    bool questionPanelFields = false;
    std::string status;
    std::map<ReportTimer, bool> timers;
    std::map<ReportTimer, int> intervals;
    std::vector<std::string> answers;
    std::vector<std::string> saves;
    std::vector<bool> opened;
    std::vector<long long> activatedWindows;
    std::vector<long long> gone; // handles of windows closed meanwhile
    std::vector<Return> returns;
};

} // namespace fc::test
