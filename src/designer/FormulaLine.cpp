#include "designer/FormulaLine.h"

#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"
#include "designer/DesignerSheet.h"
#include "designer/StatementColour.h"
#include "designer/TemplateText.h"

#include <algorithm>
#include <cstdlib>

namespace fc::formulaline {

using designer::kFirstFormCol;
using designer::kStatementCol;

bool formCellsBlank(const Sheet& s, int row) {
    for (int c = kFirstFormCol; c <= s.maxCol(); ++c) {
        if (!tpl::isBlank(s.entry(row, c))) {
            return false;
        }
    }
    return true;
}

Target target(const Sheet& s, int row, int col, bool turbo) {
    Target t{row, col, false};
    if (!turbo && designer::isStatementRow(s, row)) {
        t.col = kStatementCol;
        t.statement = true;
    }
    return t;
}

bool spansSheet(const Sheet& s, int row, int col, bool turbo, std::string_view editorText) {
    if (turbo || col != kStatementCol) {
        return false;
    }
    return designer::isStatementRow(s, row) || !tpl::isBlank(editorText);
}

std::string editorFontName(std::string_view cellFont) {
    const std::string up = cp1251::upper(cellFont);
    if (up == "FIXEDSYS" || up == "MS SANS SERIF" || up == "SYSTEM") {
        return std::string(cellFont);
    }
    if (up == "ARIAL" || up == "COURIER NEW") {
        return std::string(cellFont) + " Cyr";
    }
    return "Times New Roman Cyr";
}

std::string cellText(const Sheet& s, int row, int col) {
    return col == kStatementCol ? designer::statementText(s, row) : s.entry(row, col);
}

void recolour(Sheet& s, int row, StatementColourer& colourer) {
    const std::string line = std::string(tpl::trimmed(designer::statementText(s, row)));
    const LineClass cls = colourer.classify(line);
    const Color plain = s.workbook().defaultFont().color;
    s.editStyle(CellRange::cell(row, kStatementCol), [&](Style& st) {
        Font& f = st.font;
        if (f.color == kStatementRed || f.color == kStatementGray) {
            f.color = plain;
            f.strikeout = false;
        }
        StatementColourer::apply(f, cls);
    });
}

void store(Sheet& s, int row, int col, std::string_view text, StatementColourer& colourer) {
    if (tpl::isBlank(text)) {
        s.clear(CellRange::cell(row, col), ClearWhat::Values);
    } else if (col == kStatementCol) {
        s.setText(row, col, text);
    } else {
        s.setEntry(row, col, text);
    }
    if (col == kStatementCol) {
        recolour(s, row, colourer);
    }
}

int split(Sheet& s, int row, int col, std::string_view text, StatementColourer& colourer) {
    if (s.maxRow() >= kMaxRows) {
        store(s, row, col, text, colourer); // a new row would push the last one out
        return row;
    }
    const std::size_t br = text.find_first_of("\r\n");
    std::string_view head = text.substr(0, br);
    std::string_view rest;
    if (br != std::string_view::npos) {
        std::size_t after = br + 1;
        if (text[br] == '\r' && after < text.size() && text[after] == '\n') {
            ++after;
        }
        rest = text.substr(after);
    }
    store(s, row, col, head, colourer);
    s.insertRows(row + 1, 1);
    s.setMaxRow(s.maxRow() + 1);
    if (!rest.empty()) {
        store(s, row + 1, col, rest, colourer);
    }
    return row + 1;
}

std::optional<std::string> joinNext(Sheet& s, int row, std::string_view text) {
    const int next = row + 1;
    if (next > s.maxRow() || !formCellsBlank(s, next)) {
        return std::nullopt;
    }
    std::string joined(text);
    joined += ' ';
    joined += designer::statementText(s, next);
    if (static_cast<int>(joined.size()) >
        std::max<int>(kMaxLength, static_cast<int>(text.size()))) {
        return std::nullopt; // the editor could not hold it: the next line would be cut off
    }
    s.deleteRows(next, 1);
    s.setMaxRow(s.maxRow() - 1);
    return joined;
}

void deleteRow(Sheet& s, int row) {
    s.deleteRows(row, 1);
    s.setMaxRow(s.maxRow() - 1);
}

int rowForFileLine(const Sheet& s, int line) {
    int found = 1;
    for (int r = 1; r <= s.maxRow(); ++r) {
        const std::string& h = s.rowHeading(r);
        if (h.empty()) {
            continue;
        }
        char* end = nullptr;
        const long n = std::strtol(h.c_str(), &end, 10);
        if (end == h.c_str() || n > line) {
            continue;
        }
        found = r;
    }
    return found;
}

int appendLineDigit(int number, int digit) {
    constexpr int kLimit = 99999999;
    const long long next = static_cast<long long>(std::max(number, 0)) * 10 + digit;
    return static_cast<int>(std::min<long long>(next, kLimit));
}

std::optional<Place> move(Move key, int row, int col, int caret, int length, int maxRow, int maxCol,
                          int pageRows) {
    pageRows = std::max(pageRows, 1);
    switch (key) {
    case Move::Down:
        if (row >= maxRow) {
            return std::nullopt;
        }
        return Place{row + 1, col, caret};
    case Move::Up:
        if (row <= 1) {
            return std::nullopt;
        }
        return Place{row - 1, col, caret};
    case Move::PageDown:
        if (row >= maxRow) {
            return std::nullopt;
        }
        return Place{std::min(row + pageRows, maxRow), col, caret};
    case Move::PageUp:
        if (row <= 1) {
            return std::nullopt;
        }
        return Place{std::max(row - pageRows, 1), col, caret};
    case Move::Right:
        if (caret < length || col >= maxCol) {
            return std::nullopt;
        }
        return Place{row, col + 1, 0};
    case Move::Left:
        if (caret > 0 || col <= 1) {
            return std::nullopt;
        }
        return Place{row, col - 1, -1};
    case Move::CtrlHome: return Place{1, 1, 0};
    case Move::CtrlEnd: return Place{std::max(maxRow, 1), 1, 0};
    }
    return std::nullopt;
}

} // namespace fc::formulaline
