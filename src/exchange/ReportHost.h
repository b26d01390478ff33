#pragma once

#include <string>

namespace fc {

enum class ReportTimer { Answer, AutoRefresh, Offline };

// What a report run needs from its window, the main window and the other report windows. The
// report window implements it; window handles are the numbers kept in the hidden state block
// (0: none).
class ReportHost {
public:
    virtual ~ReportHost() = default;

    // ---- this window
    virtual long long handle() const = 0;
    virtual std::string caption() const = 0;
    // The caption without what an answer put in front of it (";SP="): the template path the
    // window runs, which activation makes the current file name.
    virtual std::string fileCaption() const {
        const std::string c = caption();
        return c.substr(0, c.find(": "));
    }
    virtual void setCaption(const std::string& text) = 0;
    virtual void setBusy(bool busy) = 0; // hourglass cursor
    // Closes the window once the current event is over.
    virtual void closeWindow() = 0;
    // Start (with the interval) or stop one of the window's timers; the timer calls the run's
    // tick method.
    virtual void setTimer(ReportTimer timer, bool on, int intervalMs) = 0;
    // The answer reader: `buffer` holds the answer bytes, NUL-terminated as the server frames it.
    virtual void answerArrived(std::string buffer) = 0;

    // Hooks of the question panel, arguments and data saving (defaults do nothing).
    virtual void requestStarting(bool automatic) {}
    virtual void endEdit() {}
    // "Сохpанить данные" (empty command) or the command of a ";save" action.
    virtual void saveData(const std::string& command) {}
    virtual void prepareRestart() {}
    // True when the question panel showed fields and collected them instead of a restart.
    virtual bool collectQuestionPanel() { return false; }
    virtual void hideQuestionControls() {}
    virtual void lookupDefaultArgument(const std::string& reportName) {}
    // True when the answer for `line` was taken from the answer cache.
    virtual bool takeFromCache(const std::string& line) { return false; }
    // Menu update, period lock, filter dialog and argument bar of an activated window.
    virtual void activated() {}
    // The window's own rows of the hidden state block (the filter's), written with the run's.
    virtual void writeOwnState() {}
    virtual void closingCleanup() {}

    // ---- the main window
    virtual std::string statusText() const = 0; // status panel 1
    virtual void setStatusText(const std::string& text) = 0;
    virtual bool applicationActive() const { return true; }
    virtual bool isActiveChild() const { return true; }
    virtual void setTimeLabelsEnabled(bool on) {}

    // ---- other report windows
    // Creates a report window for AppSettings::nextReport (a pop-up owned by this window when
    // `popup`); its handle, or 0 when none was made.
    virtual long long openReport(bool popup) = 0;
    // Activates the window; false when there is no such window.
    virtual bool activateWindow(long long handle) = 0;
    // On closing: activate `handle`; `popupClosed` tells it that its pop-up is gone; `rerun`
    // makes it run again (the private key 0x82).
    virtual void returnTo(long long handle, bool popupClosed, bool rerun) = 0;
};

} // namespace fc
