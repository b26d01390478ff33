#include "results/ViewBlock.h"

#include "components/model/Sheet.h"
#include "components/text/TextOps.h"
#include "results/ResultLayout.h"
#include "results/ResultSession.h"

#include <algorithm>

namespace fc {

namespace {

enum Row {
    kMatches = 20, // "-": no filter in force; else the number of matching blocks
    kTexts = 23,   // Edit1 to Edit8, TAB between them
    kChoices = 25, // RadioGroup1, RadioGroup2, RadioGroup3, amounts and dates enabled: 4 digits
    kList = 29,    // Ncol TAB Edit9 TAB "1" when a value is chosen TAB the chosen value
    kItems = 31,   // Label11, then ComboBox1's items, LF after each but the last; "": no list
    kColumns = 32, // the filter columns, "|" before each
};
constexpr int kFilterColumnsRow = 7; // below MaxRow: 1 for a filter column, else 0
constexpr int kSortRow = 8; // below MaxRow: 1 the chosen sort column, 2 sorted up, 3 sorted down

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::size_t i = 0;
    for (std::size_t e = s.find(sep); e != std::string::npos; e = s.find(sep, i)) {
        out.push_back(s.substr(i, e - i));
        i = e + 1;
    }
    out.push_back(s.substr(i));
    return out;
}

int digit(const std::string& s, std::size_t i, int fallback) {
    return i < s.size() && s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : fallback;
}

int number(const std::string& s) {
    long long v = 0;
    return text::parseInt(s, &v) && v >= 0 && v <= kMaxRows ? static_cast<int>(v) : 0;
}

void put(Sheet& sh, int row, int col, const std::string& text) {
    if (validCell(row, col) && sh.text(row, col) != text) {
        sh.setText(row, col, text);
    }
}

} // namespace

void writeViewBlock(ResultSession& s) {
    Sheet& sh = s.sheet();
    const FilterState& st = s.view.filter;
    const FilterForm& f = st.form;
    const int col = result::kStateCol;
    put(sh, kMatches, col, st.inForce ? std::to_string(st.matches) : "-");
    std::string texts;
    for (const std::string* t :
         {&f.s1, &f.s2, &f.amount, &f.amountFrom, &f.amountTo, &f.date, &f.dateFrom, &f.dateTo}) {
        texts += (texts.empty() && t == &f.s1 ? "" : "\t") + *t;
    }
    put(sh, kTexts, col, texts);
    put(sh, kChoices, col,
        std::to_string(f.orMode ? 1 : 0) + std::to_string(f.amountOp) + std::to_string(f.dateOp) +
            (f.rangesEnabled ? "1" : "0"));
    put(sh, kList, col,
        f.ncol + "\t" + f.listColumn + "\t" + (f.chosen ? "1\t" + *f.chosen : std::string("\t")));
    std::string items;
    if (f.listShown) {
        items = f.listCaption;
        for (const std::string& item : f.listItems) {
            items += "\n" + item;
        }
    }
    put(sh, kItems, col, items);
    std::string columns;
    for (int c : st.columns) {
        columns += "|" + std::to_string(c);
    }
    put(sh, kColumns, col, columns);

    // The column state lies below the data in the data's own columns: written only while
    // there is something to keep, so that a sheet saved or exported without a filter or a
    // sort carries no such rows.
    const int below = sh.maxRow();
    const int lastCol = std::min(sh.maxCol(), result::kMaxDataCol);
    const SortState& sort = s.view.sort;
    const bool keep = st.inForce || sort.column != 0;
    for (int c = 1; c <= lastCol; ++c) {
        const bool filtered =
            std::find(st.columns.begin(), st.columns.end(), c) != st.columns.end();
        const int sorted = sort.column != c ? 0 : 1 + sort.order;
        put(sh, below + kFilterColumnsRow, c, !keep ? "" : filtered ? "1" : "0");
        put(sh, below + kSortRow, c, keep ? std::to_string(sorted) : "");
    }
}

bool readViewBlock(ResultSession& s) {
    const Sheet& sh = s.sheet();
    const int col = result::kStateCol;
    const std::string matches = sh.text(kMatches, col);
    if (matches.empty()) {
        return false;
    }
    FilterState& st = s.view.filter;
    FilterForm& f = st.form;
    st.inForce = matches != "-";
    st.matches = st.inForce ? number(matches) : 0;
    const std::vector<std::string> texts = split(sh.text(kTexts, col), '\t');
    std::string* fields[] = {&f.s1,       &f.s2,   &f.amount,   &f.amountFrom,
                             &f.amountTo, &f.date, &f.dateFrom, &f.dateTo};
    for (std::size_t i = 0; i < std::size(fields); ++i) {
        *fields[i] = i < texts.size() ? texts[i] : std::string();
    }
    const std::string choices = sh.text(kChoices, col);
    f.orMode = digit(choices, 0, 0) == 1;
    f.amountOp = std::clamp(digit(choices, 1, FilterForm::Equal), 0, 2);
    f.dateOp = std::clamp(digit(choices, 2, FilterForm::Equal), 0, 2);
    f.rangesEnabled = digit(choices, 3, 1) == 1;
    const std::vector<std::string> list = split(sh.text(kList, col), '\t');
    f.ncol = !list.empty() ? list[0] : std::string();
    f.listColumn = list.size() > 1 ? list[1] : std::string();
    if (list.size() > 3 && list[2] == "1") {
        // A chosen value may itself hold TABs: all that follows is the value.
        std::string value = list[3];
        for (std::size_t i = 4; i < list.size(); ++i) {
            value += "\t" + list[i];
        }
        f.chosen = value;
    } else {
        f.chosen.reset();
    }
    const std::string items = sh.text(kItems, col);
    f.listShown = !items.empty();
    f.listItems.clear();
    f.listCaption.clear();
    if (f.listShown) {
        std::vector<std::string> lines = split(items, '\n');
        f.listCaption = lines.front();
        f.listItems.assign(lines.begin() + 1, lines.end());
    }
    st.columns.clear();
    for (const std::string& c : split(sh.text(kColumns, col), '|')) {
        if (const int n = number(c); n >= 1) {
            st.columns.push_back(n);
        }
    }
    const int below = sh.maxRow();
    SortState& sort = s.view.sort;
    sort = SortState{};
    for (int c = 1; c <= std::min(sh.maxCol(), result::kMaxDataCol); ++c) {
        const int state = number(sh.text(below + kSortRow, c));
        if (state >= 1 && state <= 3) {
            sort.column = c;
            sort.order = state - 1;
            sort.heading = result::columnHeading(sh, c);
        }
    }
    return true;
}

} // namespace fc
