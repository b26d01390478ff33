#include "results/Filter.h"

#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/Progress.h"
#include "exchange/ReportSettings.h"
#include "results/FilterForm.h"
#include "results/Marks.h"
#include "results/ResultLayout.h"
#include "results/ResultSession.h"
#include "results/Totals.h"

#include <QDate>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace fc {

namespace {

constexpr char kDot = static_cast<char>(0xB7);
constexpr int kProgressStep = 100; // blocks between two updates of the progress display

std::optional<int> number(std::string_view s) {
    long long v = 0;
    if (!text::parseInt(s, &v) || v < -1000000 || v > 1000000) {
        return std::nullopt;
    }
    return static_cast<int>(v);
}

// A comparison of the amount or date group: both bounds, or one value and "<", "=", ">".
struct Test {
    bool on = false;
    bool bounds = false;
    double lo = 0, hi = 0, one = 0;
    int op = FilterForm::Equal;

    bool passes(double v) const {
        if (bounds) {
            return lo <= v && v <= hi;
        }
        const double d = v - one;
        switch (op) {
        case FilterForm::Less: return d < 0;
        case FilterForm::Greater: return d > 0;
        // Deliberately lopsided: a cent below, a tenth above.
        default: return -0.009999 < d && d < 0.099999;
        }
    }
};

template <typename Read>
Test makeTest(const std::string& one, const std::string& from, const std::string& to, int op,
              Read read) {
    Test t;
    t.op = op;
    if (!text::trimView(from).empty() && !text::trimView(to).empty()) {
        t.on = t.bounds = true;
        t.lo = read(from).value_or(0);
        t.hi = read(to).value_or(0);
    } else if (!text::trimView(one).empty()) {
        t.on = true;
        t.one = read(one).value_or(0);
    }
    return t;
}

// The chosen value of the list: the text after its first "·", trimmed; after a second "·" the
// character position where it must stand.
struct ListTest {
    bool on = false;
    std::string value;
    int position = 0; // 1-based; 0: the whole value must be equal
};

ListTest listTest(const FilterForm& f) {
    ListTest t;
    if (!f.chosen) {
        return t;
    }
    t.on = true;
    std::string item = *f.chosen;
    const std::size_t dot = item.find(kDot);
    if (dot != std::string::npos) {
        item.erase(0, dot + 1);
    }
    const std::size_t second = item.find(kDot);
    if (second != std::string::npos) {
        t.position = number(item.substr(second + 1)).value_or(0);
        item.erase(second);
    }
    // The block's value is compared upper-cased; so is the chosen one, whatever case the
    // answer's list was sent in.
    t.value = cp1251::upper(text::trim(item));
    return t;
}

// A cell's amount: its number, or a text that reads as one; none for empty and other cells.
std::optional<double> cellAmount(const Sheet& sh, int r, int c) {
    const Cell* x = sh.cell(r, c);
    if (!x) {
        return std::nullopt;
    }
    if (x->kind == ValueKind::Number) {
        return x->number;
    }
    return x->kind == ValueKind::Text ? readAmount(x->text) : std::nullopt;
}

std::optional<double> cellDate(const Sheet& sh, int r, int c, const FilterLocale& locale) {
    const Cell* x = sh.cell(r, c);
    if (!x) {
        return std::nullopt;
    }
    if (x->kind == ValueKind::Number) {
        return x->number;
    }
    return x->kind == ValueKind::Text ? readDate(x->text, locale) : std::nullopt;
}

// Repaint, selection-change events and recalculation stay off for the pass and come back as
// they were; the row texts are not forgotten for the filter's own changes.
class Quiet {
public:
    Quiet(Workbook& book, RowTexts& texts)
        : book_(book), hold_(texts), repaint_(book.repaint()),
          selChange_(book.events().doSelChange), recalc_(book.autoRecalc()) {
        book_.setRepaint(false);
        book_.events().doSelChange = false;
        book_.setAutoRecalc(false);
    }
    ~Quiet() {
        book_.setAutoRecalc(recalc_);
        book_.events().doSelChange = selChange_;
        book_.setRepaint(repaint_);
    }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

private:
    Workbook& book_;
    RowTexts::Hold hold_;
    bool repaint_, selChange_, recalc_;
};

// The active cell the window keeps: the position the answer asked for, else the first data
// row and the column after the fixed ones; a hidden row gives way to the next shown one.
void restoreActiveCell(ResultSession& s) {
    Sheet& sh = s.sheet();
    const ReportSettings& st = s.settings();
    const int first = result::firstDataRow(sh);
    int row = st.positionSet && st.positionRow > 0 ? st.positionRow : first;
    int col = st.positionSet && st.positionCol > 0 ? st.positionCol : sh.fixedCols() + 1;
    row = std::clamp(row, 1, std::max(1, sh.maxRow()));
    while (row < sh.maxRow() && row >= first && sh.rowHidden(row)) {
        ++row;
    }
    sh.setActiveCell(row, std::clamp(col, 1, kMaxCols));
    if (row < sh.topRow()) {
        sh.setTopLeft(row, sh.leftCol());
    }
}

// The block's cells of columns c1..c2 as clipboard text: TAB between cells, CR LF between rows.
void blockText(ResultSession& s, const result::Block& b, int c1, int c2, std::string& out) {
    out.clear();
    for (int r = b.first; r <= b.last; ++r) {
        if (r > b.first) {
            out += "\r\n";
        }
        s.view.filter.texts.append(s.sheet(), r, c1, c2, out);
    }
}

std::string listValue(ResultSession& s, const result::Block& b, int col) {
    std::string out;
    const Sheet& sh = s.sheet();
    if (col >= 2 && col <= sh.maxCol()) {
        blockText(s, b, col, col, out);
        return text::trim(out);
    }
    for (int r = b.first; r <= b.last; ++r) {
        out += (r > b.first ? "\r\n" : "") + sh.text(r, col);
    }
    return cp1251::upper(text::trim(out));
}

void finishPass(ResultSession& s) {
    if (onlyMarkedRows(s)) {
        hideUnmarkedRows(s);
    }
    total_(s);
    std::string status = filterStatus(s);
    if (onlyMarkedRows(s)) {
        status += w("   Только выделенные стpоки");
    }
    s.status().setStatusText(status);
    restoreActiveCell(s);
    if (s.view.progress) {
        s.view.progress->ShowProgress(0);
    }
}

} // namespace

// ---- typed values

FilterLocale FilterLocale::system() {
    FilterLocale l;
    const QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    std::string order;
    for (QChar ch : format) {
        const char c = static_cast<char>(ch.toLower().toLatin1());
        if ((c == 'd' || c == 'm' || c == 'y') && order.find(c) == std::string::npos) {
            order += c;
        } else if (!ch.isLetter() && l.dateSeparator == '.' && !order.empty() && order.size() < 3 &&
                   ch.unicode() < 128 && ch != QLatin1Char(' ')) {
            l.dateSeparator = static_cast<char>(ch.toLatin1());
        }
    }
    if (order.size() == 3) {
        l.dateOrder = order;
    }
    return l;
}

std::string FilterLocale::dateHint() const {
    std::string hint = "(";
    for (char c : dateOrder) {
        if (hint.size() > 1) {
            hint += dateSeparator;
        }
        hint += c == 'd' ? w("дд") : c == 'm' ? w("мм") : w("гггг");
    }
    return hint + ")";
}

std::optional<double> readAmount(std::string_view t) {
    std::string s;
    for (char c : text::trimView(t)) {
        if (c == ' ') {
            continue; // thousands as they are shown
        }
        s += c == ',' ? '.' : c;
    }
    if (s.empty() || s.find_first_not_of("+-.0123456789eE") != std::string::npos) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double d = std::strtod(s.c_str(), &end);
    if (!end || *end != '\0' || !std::isfinite(d)) {
        return std::nullopt;
    }
    return d;
}

std::optional<double> readDate(std::string_view t, const FilterLocale& locale) {
    const std::string s = text::trim(t);
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int i = 0;
    for (char c : s) {
        if (c >= '0' && c <= '9') {
            if (digits[i] >= 4) {
                return std::nullopt;
            }
            parts[i] = parts[i] * 10 + (c - '0');
            ++digits[i];
        } else if ((c == locale.dateSeparator || c == '.' || c == '/') && i < 2 && digits[i]) {
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (i != 2 || !digits[2]) {
        return std::nullopt;
    }
    int day = 0, month = 0, year = 0, yearDigits = 0;
    for (int k = 0; k < 3; ++k) {
        switch (locale.dateOrder[static_cast<std::size_t>(k)]) {
        case 'd': day = parts[k]; break;
        case 'm': month = parts[k]; break;
        default: year = parts[k]; yearDigits = digits[k];
        }
    }
    if (yearDigits <= 2) {
        year += year < 30 ? 2000 : 1900;
    } else if (yearDigits != 4) {
        return std::nullopt;
    }
    const QDate date(year, month, day);
    if (!date.isValid()) {
        return std::nullopt;
    }
    return static_cast<double>(QDate(1899, 12, 30).daysTo(date));
}

// ---- the dialog

CellRange filterSelection(const Sheet& sh) {
    return (sh.selectionCount() == 1 ? sh.selectionRange(0) : sh.selectionRange(1)).normalized();
}

void prepareFilter(ResultSession& s) {
    Sheet& sh = s.sheet();
    FilterForm& f = s.view.filter.form;
    const CellRange sel = filterSelection(sh);
    f.rangesEnabled =
        !(sel.rows() == 1 && text::trimView(f.ncol).empty() && sh.selectionCount() < 2);
    // Without further ranges there is nothing to list: the answer's list, or the last one,
    // stays as it is.
    if (f.chosen || sh.selectionCount() < 2) {
        return;
    }
    f.listCaption = w("Фильтp по \"") + s.view.sort.heading + "\"";
    std::vector<std::string> values;
    for (int i = 1; i < sh.selectionCount(); ++i) {
        const CellRange g = sh.selectionRange(i).normalized();
        const int lastRow = std::min(g.r2, sh.maxRow());
        for (int r = g.r1; r <= lastRow; ++r) {
            for (int c = g.c1; c <= g.c2; ++c) {
                std::string v = cp1251::upper(text::trim(sh.text(r, c)));
                if (!v.empty()) {
                    values.push_back(std::move(v));
                }
            }
        }
    }
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    f.listItems.assign(1, std::string());
    f.listItems.insert(f.listItems.end(), values.begin(), values.end());
    f.listColumn = std::to_string(sel.c1);
    f.listShown = true;
}

std::optional<FormProblem> checkForm(const FilterForm& f, const FilterLocale& locale) {
    auto given = [](const std::string& t) { return !text::trimView(t).empty(); };
    if (f.rangesEnabled) {
        if (given(f.amountFrom) && !given(f.amountTo)) {
            return FormProblem{w("Укажите веpхний диапазон сумм!"), 5};
        }
        if (given(f.amountTo) && !given(f.amountFrom)) {
            return FormProblem{w("Укажите нижний диапазон сумм!"), 4};
        }
        if (given(f.dateFrom) && !given(f.dateTo)) {
            return FormProblem{w("Укажите веpхний диапазон дат!"), 8};
        }
        if (given(f.dateTo) && !given(f.dateFrom)) {
            return FormProblem{w("Укажите нижний диапазон дат!"), 7};
        }
        const std::pair<const std::string*, int> amounts[] = {
            {&f.amount, 3}, {&f.amountFrom, 4}, {&f.amountTo, 5}};
        for (auto [t, field] : amounts) {
            if (given(*t) && !readAmount(*t)) {
                return FormProblem{w("Сумма указана неверно: ") + text::trim(*t), field};
            }
        }
        const std::pair<const std::string*, int> dates[] = {
            {&f.date, 6}, {&f.dateFrom, 7}, {&f.dateTo, 8}};
        for (auto [t, field] : dates) {
            if (given(*t) && !readDate(*t, locale)) {
                return FormProblem{
                    w("Дата указана неверно: ") + text::trim(*t) + " " + locale.dateHint(), field};
            }
        }
    }
    return std::nullopt;
}

// ---- the sheet filter

bool Filtr(ResultSession& s, bool keptColumns, const FilterLocale& locale) {
    FilterState& st = s.view.filter;
    FilterForm& f = st.form;
    if (std::optional<FormProblem> p = checkForm(f, locale)) {
        s.prompter().warning(p->message);
        return false;
    }
    Sheet& sh = s.sheet();
    const Quiet quiet(s.book(), st.texts);
    st.matches = 0;
    const int first = result::firstDataRow(sh);
    const int last = sh.maxRow();

    const std::string s1 = cp1251::upper(text::trim(f.s1));
    const std::string s2 = cp1251::upper(text::trim(f.s2));
    Test amount, date;
    if (f.rangesEnabled) {
        amount = makeTest(f.amount, f.amountFrom, f.amountTo, f.amountOp, readAmount);
        date = makeTest(f.date, f.dateFrom, f.dateTo, f.dateOp,
                        [&](std::string_view t) { return readDate(t, locale); });
    }
    const ListTest list = listTest(f);
    s.settings().filterActive = !f.blank();
    if (s1.empty() && s2.empty() && !amount.on && !date.on && !list.on) {
        for (int r = first; r <= last; ++r) {
            sh.setRowHidden(r, false);
        }
        st.inForce = false;
        st.columns.clear();
        finishPass(s);
        return true;
    }

    // The columns to search.
    const CellRange sel = filterSelection(sh);
    int c1 = 2, c2 = sh.maxCol();
    if (keptColumns && !st.columns.empty()) {
        c1 = st.columns.front();
        c2 = st.columns.back();
    } else if (sel.rows() == 1 && sh.selectionCount() == 1) {
        if (std::optional<int> n = number(f.ncol)) {
            c1 = c2 = *n;
        }
    } else {
        c1 = sel.c1;
        c2 = sel.c2;
        f.ncol = std::to_string(c1);
    }
    c1 = std::max(c1, 2);
    c2 = std::min(c2, sh.maxCol());
    if (c1 > c2) {
        c1 = 2;
        c2 = sh.maxCol();
    }
    st.columns.clear();
    for (int c = c1; c <= c2; ++c) {
        st.columns.push_back(c);
    }
    st.inForce = true;
    const int listCol = std::clamp(number(f.listColumn).value_or(1), 1, kMaxCols);

    const std::vector<result::Block> blocks = result::blocks(sh, c1, c2);
    const std::string totalsMark = w("ИТОГО:");
    std::string filterText, fullText;
    bool matchedSinceTotals = false;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const result::Block& b = blocks[i];
        if (s.view.progress && i % kProgressStep == 0) {
            s.view.progress->showShare(b.first, last, Progress::Colour::Plain);
        }
        auto show = [&](bool on) {
            for (int r = b.first; r <= b.last; ++r) {
                sh.setRowHidden(r, !on);
            }
        };
        blockText(s, b, 2, sh.maxCol(), fullText);
        // A totals block follows the blocks above it, never a test of its own: its figures
        // and its "ИТОГО:" would otherwise pass for a match.
        if (fullText.find(totalsMark) != std::string::npos) {
            if (matchedSinceTotals) {
                show(true);
                matchedSinceTotals = false;
            } else if (i + 1 < blocks.size()) {
                show(false);
            }
            continue;
        }
        bool pass = true;
        if (!s1.empty() || !s2.empty()) {
            const std::string* t = &fullText;
            if (!amount.on && (c1 != 2 || c2 != sh.maxCol())) {
                blockText(s, b, c1, c2, filterText);
                t = &filterText;
            }
            const bool one = s1.empty() || t->find(s1) != std::string::npos;
            const bool two = s2.empty() || t->find(s2) != std::string::npos;
            pass = f.orMode && !s2.empty() ? one || two : one && two;
        }
        auto anyCell = [&](const Test& test, auto value) {
            for (int r = b.first; r <= b.last; ++r) {
                for (int c = c1; c <= c2; ++c) {
                    if (std::optional<double> v = value(r, c); v && test.passes(*v)) {
                        return true;
                    }
                }
            }
            return false;
        };
        if (pass && amount.on) {
            pass = anyCell(amount, [&](int r, int c) { return cellAmount(sh, r, c); });
        }
        if (pass && date.on) {
            pass = anyCell(date, [&](int r, int c) { return cellDate(sh, r, c, locale); });
        }
        if (pass && list.on) {
            const std::string v = listValue(s, b, listCol);
            if (list.position > 0) {
                pass = v.find(list.value) == static_cast<std::size_t>(list.position - 1);
            } else {
                pass = v == list.value || (list.value.empty() && (v == "0" || v == "0.00"));
            }
        }

        if (pass) {
            show(true);
            ++st.matches;
            matchedSinceTotals = true;
            for (int r = b.first - 1; r >= first && sh.rowHidden(r); --r) {
                if (result::isGroupHeading(sh, r)) {
                    sh.setRowHidden(r, false);
                    break;
                }
            }
        } else {
            show(false);
        }
    }
    finishPass(s);
    return true;
}

void clearFilter(ResultSession& s) {
    s.view.filter.form.clear();
    Filtr(s);
}

void takeFilterList(ResultSession& s) {
    FilterForm& f = s.view.filter.form;
    const auto& list = s.settings().filterList;
    if (!list || f.chosen) {
        return;
    }
    f.listCaption = list->caption;
    f.listColumn = text::trim(list->column);
    f.listItems.assign(1, std::string());
    for (const std::string& v : list->values) {
        if (!text::trimView(v).empty()) {
            f.listItems.push_back(v);
        }
    }
    std::stable_sort(f.listItems.begin() + 1, f.listItems.end(),
                     [](const std::string& a, const std::string& b) {
                         return FilterForm::display(a) < FilterForm::display(b);
                     });
    f.listItems.erase(std::unique(f.listItems.begin(), f.listItems.end()), f.listItems.end());
    f.listShown = true;
}

void filterAfterAnswer(ResultSession& s, bool always) {
    // A new answer is a new sheet: the texts of the last one are no use.
    s.view.filter.texts.forget();
    if (always || s.view.filter.inForce) {
        Filtr(s, true);
    }
}

std::string filterStatus(const ResultSession& s) {
    const FilterState& st = s.view.filter;
    if (!st.inForce) {
        return {};
    }
    std::string t = w("Фильтp включен [") + std::to_string(st.matches) + "] ";
    if (std::optional<int> n = number(st.form.ncol); n && *n >= 1 && *n <= kMaxCols) {
        const std::string caption = result::columnHeading(s.sheet(), *n);
        if (!caption.empty()) {
            t += w("по \"") + caption + "\"";
        }
    }
    return text::trim(t);
}

} // namespace fc
