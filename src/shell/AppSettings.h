#pragma once

#include <string>
#include <string_view>

namespace fc {

// The reporting period: start day, start month, end day, end month (1-based calendar numbers).
struct Period {
    int startDay = 1;
    int startMonth = 1;
    int endDay = 31;
    int endMonth = 12;
    friend bool operator==(const Period& a, const Period& b) {
        return a.startDay == b.startDay && a.startMonth == b.startMonth && a.endDay == b.endDay &&
               a.endMonth == b.endMonth;
    }
};

// The application-wide settings and run state: one instance, owned by the main window and
// handed by reference to every window and dialog. Texts are Windows-1251, except the argument
// fields of the report state string (characters 9 on), which are in the DOS code page.
// The request prefix follows the user name, password and report state string: every setter of
// those rebuilds it.
class AppSettings {
public:
    static constexpr unsigned char kSeparator = 0xFA;

    AppSettings();

    // ---- directories and files
    std::string startDir;        // settings files live here
    std::string reportsDir;      // open dialog's first directory
    std::string lastOpenedDir;   // empty at start
    std::string currentFileName; // template or report being opened
    std::string serverDir;       // request and answer files pass through it

    // ---- the user and the period
    const std::string& userName() const { return userName_; }
    const std::string& password() const { return password_; }
    void setUserName(std::string_view name);
    void setPassword(std::string_view password);
    const Period& period() const { return period_; }
    // Characters 4, 6, 7 and 8 of the report state string follow the period; the others stay.
    void setPeriod(const Period& p);

    // "620", 64 + start month, "0", 64 + end month, 64 + start day, 64 + end day, then the
    // argument fields.
    const std::string& reportState() const { return reportState_; }
    void setReportState(std::string_view state);
    // User name, 0xFA, password, 0xFA, report state string, 0xFA.
    const std::string& requestPrefix() const { return requestPrefix_; }

    // The eight characters that a period gives on their own ("620A0LA_" for the defaults).
    static std::string stateFromPeriod(const Period& p);

    // ---- klf.opt lines carried along unread (1, 2) and the state head written as line 7
    std::string klfLine1 = " ";
    std::string klfLine2 = " ";

    // ---- flags
    bool decimalPointForced = false;
    bool debugMessages = false; // "Отладочные сообщения": show request and answer file names

    // ---- run state shared by the report windows
    std::string commandLineParam; // the program's first parameter: who of print logs
    std::string nextReport;       // request line of the report window about to be created
    std::string pendingGeometry;  // ";size=" geometry of that window, empty: an MDI child
    long long returnWindow = 0;   // handle of the report window to return to
    // A first parameter "@NAME" reads answers from the local CACHE folder.
    bool offline() const { return !commandLineParam.empty() && commandLineParam[0] == '@'; }

private:
    void rebuildPrefix();

    std::string userName_;
    std::string password_;
    Period period_;
    std::string reportState_;
    std::string requestPrefix_;
};

} // namespace fc
