#pragma once

#include "shell/ShellChild.h"

namespace fc {

enum class SortOrder { Ascending, Descending, Default };

// A report window as the shell sees it. The shell never acts on the window the user sees
// but on the root of its chain of pop-ups (see findRootReport).
class ReportChild : public ShellChild {
public:
    // Private key codes of the key-up messages the window receives from the main menu.
    static constexpr int kSaveKey = 0x81;
    static constexpr int kPrintKey = 0x82;
    static constexpr int kFilterKey = 0x83;
    static constexpr int kPdfKey = 0x84;

    ChildKind kind() const final { return ChildKind::Report; }

    // Row 37 of the hidden state block: the handle (ChildRegistry) of the pop-up opened from
    // this window, 100 while it is being created, 0 when there is none.
    virtual long long popupHandle() const = 0;

    virtual void reportKey(int code) = 0;
    // "Только выделенные стpоки": on shows the marked rows only, off runs the filter again.
    virtual void setOnlyMarkedRows(bool on) = 0;
    virtual void clearRowMarks() = 0;
    virtual void sortRows(SortOrder order) = 0;
    virtual void rerun() = 0;
    virtual void restart() = 0;
    virtual void sendMail() = 0;
    virtual void pageSetup() = 0;
    // The pages as key 130 would print them, with printing from the preview.
    virtual void printPreview() = 0;

    // The modified-row mark "X" below the sheet's last row, and the data save it asks for.
    virtual bool hasModifiedMark() const = 0;
    virtual void clearModifiedMark() = 0;
    virtual void startDataSave() = 0;
    virtual void showNormalWindow() = 0;
};

} // namespace fc
