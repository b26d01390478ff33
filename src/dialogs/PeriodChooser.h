#pragma once

#include "exchange/AnswerWatch.h"
#include "exchange/RequestName.h"
#include "shell/AppSettings.h"

#include <array>
#include <string>
#include <vector>

namespace fc {

class Prompter;

// What the period logic needs from its dialog.
class PeriodView {
public:
    virtual ~PeriodView() = default;
    // Start or stop the year timer; while on it calls PeriodChooser::tick every kYearPoll ms.
    virtual void setYearTimer(bool on) = 0;
    virtual void focusMonthList() = 0;
    virtual void focusCalendar() = 0;
};

// The reporting period dialog without its widgets: the month list, the calendar's date, the
// second-click flag, the year asked from the server and the confirmation. Months and days are
// 1-based calendar numbers. The settings change only in confirm(); everything before works on
// a copy, so that cancelling changes nothing.
class PeriodChooser {
public:
    static constexpr int kYearPoll = 300;
    static constexpr std::size_t kNameWidth = 13;

    // How a month line is marked in the list.
    enum class Mark { None, Start, End, StartEnd, Between };
    // Which of the F4 / F5 labels is lit.
    enum class Key { None, Start, End };

    // `year` is the calendar's year until the server names one (0: the current year).
    PeriodChooser(AppSettings& settings, Prompter& prompter, PeriodView& view,
                  NameSource names = randomNames(), int year = 0);

    // The dialog is shown: asks for the year (unless the first command-line parameter begins
    // with ";") and shows the period of the report state string as if picked by the user.
    void activate();
    // A click (or keyboard move) on month line `month`.
    void monthClick(int month);
    // A double click on month line `month` (after its click).
    void monthDoubleClick(int month);
    // The user moved the calendar's selection to `day` of the shown month.
    void setCalendarDay(int day);
    // Double click or Enter on the calendar: the calendar's day becomes a start or end day.
    void dayPick();
    // F4 and F5.
    void startKey();
    void endKey();
    // "Подтвеpдить": false (after a message) when the period is inverted; true when the dialog
    // ends with OK. A "klf.opt" that cannot be written is reported and the period still holds.
    bool confirm();
    // The year timer: one look for the answer.
    void tick();

    // ---- what the dialog shows
    const Period& period() const { return period_; }
    bool secondClick() const { return second_; }
    // The month list's line for `month`, Windows-1251.
    const std::string& monthLine(int month) const { return lines_[index(month)]; }
    Mark mark(int month) const;
    // The list's current line.
    int selectedMonth() const { return selected_; }
    int calendarYear() const { return year_; }
    int calendarMonth() const { return selected_; }
    int calendarDay() const { return day_; }
    bool calendarEnabled() const { return calendarEnabled_; }
    // The text beside "Год:", Windows-1251; empty until the first answer.
    const std::string& yearText() const { return yearText_; }
    Key litKey() const { return key_; }
    bool waitingForYear() const { return polling_; }
    const std::string& yearRequestName() const { return yearName_; }

    // Days in `month` of `year`.
    static int daysInMonth(int year, int month);
    // The month name padded with blanks to kNameWidth.
    static std::string monthName(int month);

private:
    static std::size_t index(int month) { return static_cast<std::size_t>(month - 1); }
    void resetLines();
    void showDay(int day);
    void askYear();
    void dropLateAnswers();

    AppSettings& settings_;
    Prompter& prompter_;
    PeriodView& view_;
    NameSource names_;
    Period period_;
    bool second_ = false;
    std::array<std::string, 12> lines_;
    int selected_ = 1;
    int year_;
    int day_ = 1;
    bool calendarEnabled_ = true;
    std::string yearText_;
    Key key_ = Key::None;
    bool polling_ = false;
    std::string yearName_;
    AnswerWatch watch_;
    std::vector<std::string> dropped_; // requests whose late answers are to be removed
};

// Point size of the month list's "Courier New" on a screen of `dpi` pixels per inch: 10 at 96,
// else 96 / dpi × 10 rounded, so that the lines keep their width in pixels.
int monthListPointSize(double dpi);

} // namespace fc
