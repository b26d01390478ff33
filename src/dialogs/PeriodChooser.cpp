#include "dialogs/PeriodChooser.h"

#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/RequestWriter.h"
#include "exchange/Requests.h"
#include "shell/SettingsFiles.h"

#include <QDate>

#include <algorithm>
#include <cmath>

namespace fc {

namespace {

const char* const kMonthNames[12] = {"Янваpь ",   "Февpаль ", "Маpт ",   "Апpель ",
                                     "Май ",      "Июнь ",    "Июль ",   "Август ",
                                     "Сентябpь ", "Октябpь ", "Ноябpь ", "Декабpь "};

// A month number from the report state string: code - 64, where 0 (and anything out of range)
// means January.
int stateMonth(const std::string& state, std::size_t pos) {
    if (pos >= state.size()) {
        return 1;
    }
    const int m = static_cast<unsigned char>(state[pos]) - 64;
    return m >= 1 && m <= 12 ? m : 1;
}

} // namespace

PeriodChooser::PeriodChooser(AppSettings& settings, Prompter& prompter, PeriodView& view,
                             NameSource names, int year)
    : settings_(settings), prompter_(prompter), view_(view), names_(std::move(names)),
      period_(settings.period()), year_(year > 0 ? year : QDate::currentDate().year()) {
    resetLines();
}

int PeriodChooser::daysInMonth(int year, int month) { return QDate(year, month, 1).daysInMonth(); }

std::string PeriodChooser::monthName(int month) {
    return text::fit(w(kMonthNames[index(month)]), kNameWidth);
}

void PeriodChooser::resetLines() {
    for (int m = 1; m <= 12; ++m) {
        lines_[index(m)] = monthName(m);
    }
}

// The calendar shows only the selected month, so a day is always one of its days.
void PeriodChooser::showDay(int day) {
    day_ = std::max(1, std::min(day, daysInMonth(year_, selected_)));
}

void PeriodChooser::activate() {
    if (!text::startsWith(settings_.commandLineParam, ";")) {
        calendarEnabled_ = false;
        askYear();
    }
    view_.focusMonthList();
    second_ = false;
    key_ = Key::None;
    const std::string& state = settings_.reportState();
    const int startMonth = stateMonth(state, 3);
    const int endMonth = stateMonth(state, 5);
    const Period shown = settings_.period();
    period_ = shown;
    monthClick(startMonth);
    showDay(shown.startDay);
    dayPick();
    monthClick(endMonth);
    showDay(shown.endDay);
    dayPick();
}

void PeriodChooser::askYear() {
    RequestWriter writer(settings_, prompter_);
    if (polling_) {
        // The year asked for at an earlier showing is not needed any more. A request the
        // server has not taken yet is taken back; the answer to one it has is removed when it
        // comes, so that nothing is left in the server directory.
        if (!files::remove(writer.path(yearName_, ".in"))) {
            dropped_.push_back(yearName_);
        }
    }
    yearName_ = names_();
    watch_.reset();
    polling_ = writer.write(yearName_, request::yearRequest(settings_), w("ФАЙЛ-ЗАПРОС: "));
    view_.setYearTimer(polling_ || !dropped_.empty());
}

void PeriodChooser::dropLateAnswers() {
    const RequestWriter writer(settings_, prompter_);
    for (auto it = dropped_.begin(); it != dropped_.end();) {
        const std::string path = writer.path(*it, ".out");
        if (files::exists(path) && files::remove(path)) {
            it = dropped_.erase(it);
        } else {
            ++it;
        }
    }
}

void PeriodChooser::monthClick(int month) {
    if (month < 1 || month > 12) {
        return;
    }
    selected_ = month;
    showDay(1);
    if (!second_) {
        resetLines();
        period_.startMonth = period_.endMonth = month;
        return;
    }
    period_.endMonth = month;
    if (period_.endMonth < period_.startMonth) {
        resetLines();
        second_ = false;
        period_.startMonth = month;
    }
}

void PeriodChooser::monthDoubleClick(int month) {
    if (month < 1 || month > 12) {
        return;
    }
    selected_ = month;
    showDay(second_ ? daysInMonth(year_, month) : 1);
    dayPick();
}

void PeriodChooser::setCalendarDay(int day) { showDay(day); }

void PeriodChooser::dayPick() {
    second_ = !second_;
    if (period_.startMonth != period_.endMonth) {
        second_ = false;
    }
    std::string& line = lines_[index(selected_)];
    line = monthName(selected_);
    if (second_) {
        period_.startDay = day_;
        line += std::to_string(day_) + "..";
    } else {
        period_.endDay = day_;
        if (selected_ == period_.startMonth) {
            line += std::to_string(period_.startDay) + "..";
        }
        line += std::to_string(day_);
    }
    key_ = Key::None;
}

void PeriodChooser::startKey() {
    key_ = Key::Start;
    monthClick(selected_);
    view_.focusCalendar();
}

void PeriodChooser::endKey() {
    key_ = Key::End;
    monthClick(selected_);
    showDay(daysInMonth(year_, selected_));
    view_.focusCalendar();
}

PeriodChooser::Mark PeriodChooser::mark(int month) const {
    const bool start = month == period_.startMonth;
    const bool end = month == period_.endMonth;
    if (start && end) {
        return Mark::StartEnd;
    }
    if (start) {
        return Mark::Start;
    }
    if (end) {
        return Mark::End;
    }
    return month > period_.startMonth && month < period_.endMonth ? Mark::Between : Mark::None;
}

bool PeriodChooser::confirm() {
    const Period& p = period_;
    if (p.endMonth * 100 + p.endDay < p.startMonth * 100 + p.startDay) {
        prompter_.warning(w("Непpавильно задан пеpиод!"));
        return false;
    }
    settings_.setPeriod(p);
    if (!settings::rewriteKlf(settings_)) {
        prompter_.error(w("Не могу создать файл ") + settings::klfPath(settings_));
    }
    return true;
}

void PeriodChooser::tick() {
    dropLateAnswers();
    if (!polling_) {
        if (dropped_.empty()) {
            view_.setYearTimer(false);
        }
        return;
    }
    const std::string path = RequestWriter(settings_, prompter_).path(yearName_, ".out");
    if (watch_.look(path) != AnswerWatch::State::Whole) {
        return; // not there yet, or still being written
    }
    // An answer that cannot be read yet is tried again on the next tick.
    std::optional<std::string> head = files::readHead(path, 256);
    if (!head) {
        return;
    }
    polling_ = false;
    view_.setYearTimer(!dropped_.empty());
    files::remove(path);
    std::string text = text::trim(codepage::toWindows(*head));
    text = text.substr(0, text.find('.'));
    yearText_ = text;
    long long year = 0;
    if (text::parseInt(text, &year) && year >= 1 && year <= 9999) {
        year_ = static_cast<int>(year);
        showDay(day_);
    }
    calendarEnabled_ = true;
}

int monthListPointSize(double dpi) {
    if (dpi <= 0 || dpi == 96) {
        return 10;
    }
    return static_cast<int>(std::lround(96.0 / dpi * 10));
}

} // namespace fc
