#include "exchange/ResultRows.h"

#include "components/model/Sheet.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "exchange/AnswerText.h"
#include "exchange/ReadState.h"
#include "exchange/ReportSettings.h"

#include <algorithm>

namespace fc::answers {

namespace {
bool digit(char c) { return c >= '0' && c <= '9'; }
} // namespace

std::string substituteRow(std::string_view f, int row) {
    std::string out;
    out.reserve(f.size() + 8);
    for (std::size_t i = 0; i < f.size();) {
        if (f.compare(i, 3, "\"R\"") == 0) {
            out += std::to_string(row);
            i += 3;
        } else if (f[i] == '{' && i + 4 < f.size() && digit(f[i + 1]) && digit(f[i + 2]) &&
                   digit(f[i + 3]) && f[i + 4] == '}') {
            out += std::to_string(row + (f[i + 1] - '0') * 100 + (f[i + 2] - '0') * 10 +
                                  (f[i + 3] - '0'));
            i += 5;
        } else {
            out += f[i++];
        }
    }
    return out;
}

std::string literalText(std::string_view text) {
    const std::size_t open = text.find("{*");
    if (open == std::string_view::npos) {
        return std::string(text);
    }
    const std::size_t close = text.find("*}", open + 2);
    return cp1251::upper(text.substr(
        open + 2, close == std::string_view::npos ? std::string_view::npos : close - open - 2));
}

void addKey(Sheet& sheet, int row, int col, std::string_view key) {
    if (!key.empty() && key[0] == '*') {
        key.remove_prefix(1);
        sheet.setText(row, kMarkCol, "X");
    }
    std::string action = sheet.value(row, kActionCol).text;
    action += "{" + std::to_string(col) + "}";
    action += key;
    action += "|";
    sheet.setText(row, kActionCol, action);
}

void enterCell(Sheet& sheet, int row, int col, std::string_view text) {
    enterCell(sheet, row, col, text, sheet.style(row, col).numberFormat == "@");
}

void enterCell(Sheet& sheet, int row, int col, std::string_view text, bool textFormat) {
    if (text.empty()) {
        return;
    }
    if (text.size() > 1 && text[0] == '=') {
        sheet.setFormula(row, col, text);
        return;
    }
    if (!textFormat) {
        if (std::optional<double> d = answer::parseNumber(text)) {
            sheet.setNumber(row, col, *d);
            return;
        }
    }
    sheet.setText(row, col, text);
}

std::string cutMessage(bool rows, int rowsShown, bool cols) {
    std::string text;
    if (rows) {
        text = w("Результат длиннее листа: показаны первые ") + std::to_string(rowsShown) +
               w(" строк, остальные строки ответа не прочитаны.");
    }
    if (cols) {
        text += (text.empty() ? "" : " ") + w("Результат шире листа: ячейки правее столбца ") +
                std::to_string(kMaxResultCols) + w(" не прочитаны.");
    }
    return text;
}

std::string cutNotice(bool rows, int rowsShown, bool cols) {
    const std::string shown = std::to_string(rowsShown);
    const std::string last = std::to_string(kMaxResultCols);
    if (rows && cols) {
        return w("Показаны ") + shown + w(" стр., ") + last + w(" стлб.");
    }
    return rows ? w("Показаны первые ") + shown + w(" строк") : w("Показаны столбцы 1-") + last;
}

void reportCut(const ReadState& st, ReportSettings& settings, Prompter& prompter) {
    if (!st.rowsCut && !st.colsCut) {
        return;
    }
    prompter.warning(cutMessage(st.rowsCut, st.rowsShown, st.colsCut));
    if (settings.statusMessage.empty()) {
        settings.statusMessage = cutNotice(st.rowsCut, st.rowsShown, st.colsCut);
    }
}

void finishSheet(Sheet& sheet, ReadState& st, ReportSettings& s, bool sort) {
    sheet.setMaxRow(std::max(st.row, 1));
    for (const CellRange& m : st.merges) {
        sheet.merge(m);
    }
    st.merges.clear();
    for (int c = 1; c <= kMaxCols; ++c) {
        if (st.widths[static_cast<std::size_t>(c)] >= 0) {
            sheet.setColWidth(c, st.widths[static_cast<std::size_t>(c)]);
        }
    }
    // A column's format goes to the whole column at once: every row of the result, each
    // cell that has no format of its own.
    const int lastRow = std::max(st.row, 1);
    for (const auto& [col, fmt] : s.columnFormats) {
        if (answer::trimmed(fmt).empty()) {
            continue;
        }
        sheet.editStyle(CellRange{1, col, lastRow, col}, [&fmt = fmt](Style& x) {
            if (x.numberFormat == "General") {
                x.numberFormat = fmt;
            }
        });
    }
    if (st.editAll) {
        for (int c = 2; c <= sheet.maxCol(); ++c) {
            if (std::find(s.editColumns.begin(), s.editColumns.end(), c) == s.editColumns.end()) {
                s.editColumns.push_back(c);
            }
        }
    }
    if (sort && s.sortKeys[0] != 0) {
        const int first = sheet.fixedRow() + sheet.fixedRows();
        std::vector<SortKey> keys;
        for (int k : s.sortKeys) {
            const int col = k == 0 ? sheet.maxCol() : std::abs(k);
            keys.push_back({col, k >= 0});
        }
        if (first <= st.row) {
            sheet.sortRows(CellRange{first, 1, st.row, kActionCol}, keys);
        }
    }
    // Looked for once the rows are in their final order.
    const std::string& key = !s.positionKeyWanted.empty() ? s.positionKeyWanted : s.positionKey;
    if (!key.empty() && s.cursorRow == 0) {
        const std::string_view want = answer::trimmed(key);
        for (int r = 1; r <= st.row; ++r) {
            if (answer::trimmed(sheet.text(r, 2)) == want) {
                s.cursorRow = r;
                break;
            }
        }
        if (s.positionSet && s.positionRow == 0) {
            s.positionRow = s.cursorRow;
        }
    }
}

CellRef cursorAfterLoading(const Sheet& sheet, const ReportSettings& s) {
    const int firstData = std::clamp(sheet.fixedRow() + sheet.fixedRows(), 1, kMaxRows);
    const int firstCol = std::clamp(sheet.fixedCols() + 1, 1, kMaxCols);
    auto column = [&](int c) { return c >= 1 && c <= kLastAnswerCol ? c : firstCol; };
    if (s.positionSet && s.positionRow >= 1 && s.positionRow <= kMaxRows) {
        return {s.positionRow, column(s.positionCol)};
    }
    if (!s.positionKey.empty() && s.cursorRow >= 1) {
        return {s.cursorRow, column(s.positionKeyCol)};
    }
    return {firstData, firstCol};
}

} // namespace fc::answers
