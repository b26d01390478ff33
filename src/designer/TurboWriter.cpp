#include "designer/TurboWriter.h"

#include "components/model/Workbook.h"
#include "components/text/CodePage.h"
#include "designer/DesignerSheet.h"
#include "designer/Printstr.h"
#include "designer/TemplateText.h"

#include <QDateTime>

#include <cmath>
#include <cstdio>
#include <map>
#include <unordered_map>
#include <vector>

namespace fc {

namespace {

constexpr const char* kEol = "\r\n";
constexpr char kContinued = static_cast<char>(250); // the middle dot of code page 866

// Tabs and line ends inside a cell would cut its row apart.
std::string oneField(std::string s) {
    for (char& ch : s) {
        if (ch == '\t' || ch == '\r' || ch == '\n') {
            ch = ' ';
        }
    }
    return s;
}

// An ext line longer than the limit is cut after its last tab within the limit; the part
// ends with the middle dot, and the rest continues on the next line.
void appendSplit(std::string line, std::string& out) {
    while (line.size() > TurboWriter::kMaxLine) {
        const std::size_t tab = line.rfind('\t', TurboWriter::kMaxLine - 1);
        if (tab == std::string::npos || tab == 0) {
            break;
        }
        out.append(line, 0, tab + 1);
        out += kContinued;
        out += kEol;
        line.erase(0, tab + 1);
    }
    out += line;
    out += kEol;
}

} // namespace

std::string TurboWriter::turboRowNumber(int n, std::string_view statement) {
    std::string number = std::to_string(n);
    // Three characters, as answers are read; a longer number, or one whose digits would run
    // into a statement beginning with a digit, is ended by a blank.
    if (number.size() < 3) {
        return tpl::padRight(number, 3);
    }
    const bool digitFollows = !statement.empty() && statement[0] >= '0' && statement[0] <= '9';
    return number.size() > 3 || digitFollows ? number + " " : number;
}

double TurboWriter::stampNow() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate epoch(1899, 12, 30);
    const double days = static_cast<double>(epoch.daysTo(now.date())) +
                        now.time().msecsSinceStartOfDay() / 86400000.0;
    return std::stod(formatStamp(days));
}

std::string TurboWriter::formatStamp(double stamp) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.11g", stamp);
    return buf;
}

bool TurboWriter::isFormRow(int row) const {
    const Sheet& s = book_.sheet(1);
    if (!designer::isStatementRow(s, row)) {
        return true;
    }
    if (!turbo_) {
        return false;
    }
    // The turbo variant keeps a statement in the first field of a row that has a form too;
    // a row carrying objects is one as well, or its records would be lost.
    if (records_.count(row)) {
        return true;
    }
    const int maxCol = std::min(s.maxCol(), designer::kMaxFormCol);
    if (row > s.storedRows()) {
        return false;
    }
    for (const Cell& c : s.rows()[static_cast<std::size_t>(row - 1)].cells) {
        if (c.col < designer::kFirstFormCol || c.col > maxCol) {
            continue;
        }
        if (!s.text(row, c.col).empty()) {
            return true;
        }
        const Style& st = book_.styles().get(c.style);
        for (const Border& b : st.borders) {
            if (b.style != BorderStyle::None) {
                return true;
            }
        }
        if (st.fill.pattern != 0) {
            return true;
        }
    }
    return false;
}

std::string TurboWriter::fields(int row) const {
    const Sheet& s = book_.sheet(1);
    const int maxCol = std::min(s.maxCol(), designer::kMaxFormCol);
    std::string out;
    for (int c = designer::kFirstFormCol; c <= maxCol; ++c) {
        if (c > designer::kFirstFormCol) {
            out += '\t';
        }
        out += oneField(s.text(row, c));
    }
    auto rec = records_.find(row);
    const double h = designer::fixedHeight(s, row);
    if (rec != records_.end()) {
        out += "\tOBJ=" + rec->second;
    }
    if (h != 0) {
        // The height lands two columns right of the form, records or not.
        out += rec != records_.end() ? "\tH=" : "\t\tH=";
        out += std::to_string(std::llround(h));
    }
    return out;
}

bool TurboWriter::write(std::string& text, Workbook& companion, int* badRow) const {
    const Sheet& s = book_.sheet(1);
    const int maxCol = std::min(s.maxCol(), designer::kMaxFormCol);
    int firstRow = 1;
    text.clear();
    const std::string head = designer::statementText(s, 1);
    if (!head.empty() && head[0] == '*') {
        text += codepage::toDos(oneField(std::string(tpl::trimmed(head)))) + kEol;
        firstRow = 2;
    }
    if (turbo_) {
        for (const CellRange& m : s.merges()) {
            if (m.rows() > 1 && m.c2 >= designer::kFirstFormCol && m.c1 <= maxCol &&
                m.r1 <= s.maxRow()) {
                if (badRow) {
                    *badRow = m.r1;
                }
                return false;
            }
        }
    }
    text += ";table ;ext=" + companionName_ + (turbo_ ? " ;turbo" : "") +
            " ;ver=" + formatStamp(stamp_) + kEol;
    bool fixed = false;
    for (int r = firstRow; r <= s.maxRow() && !fixed; ++r) {
        fixed = designer::fixedHeight(s, r) != 0;
    }
    if (!records_.empty() || !companion.sheet(1).objects().empty()) {
        text += ";OBJECT";
        text += kEol;
    }
    if (fixed) {
        text += ";ROW_HEIGHT_FIX";
        text += kEol;
    }

    Sheet& out = companion.sheet(1);
    out.setMaxCol(maxCol);
    for (int c = 1; c <= maxCol; ++c) {
        out.setColWidth(c, s.colWidth(c));
    }
    out.print() = s.print();
    out.setName(s.name()); // the layout line has no room for it
    companion.setDefaultFont(book_.defaultFont().name, book_.defaultFont().size);
    std::unordered_map<StyleId, StyleId> styles;
    int n = 0;
    for (int r = firstRow; r <= s.maxRow(); ++r) {
        if (!isFormRow(r)) {
            text += codepage::toDos(oneField(designer::statementText(s, r))) + kEol;
            continue;
        }
        ++n;
        if (turbo_) {
            std::string stmt(tpl::trimmed(oneField(designer::statementText(s, r))));
            if (stmt.empty()) {
                stmt = "*";
            }
            const std::string row =
                codepage::toDos(turboRowNumber(n, stmt) + stmt + "\t" + fields(r));
            std::size_t start = 0;
            while (true) {
                const std::size_t tab = row.find('\t', start);
                for (const std::string& line : printstr::compileField(std::string_view(row).substr(
                         start, tab == std::string::npos ? tab : tab - start))) {
                    text += line + kEol;
                }
                if (tab == std::string::npos) {
                    break;
                }
                start = tab + 1;
            }
            text += printstr::kRowEnd;
            text += kEol;
        } else {
            appendSplit(std::to_string(n) + "|" + codepage::toDos(fields(r)), text);
        }
        // The companion row keeps the formats of the form row.
        if (r <= s.storedRows()) {
            for (const Cell& c : s.rows()[static_cast<std::size_t>(r - 1)].cells) {
                if (c.col < designer::kFirstFormCol || c.col > maxCol || c.style == 0) {
                    continue;
                }
                auto it = styles.find(c.style);
                if (it == styles.end()) {
                    it = styles
                             .emplace(c.style,
                                      companion.styles().intern(book_.styles().get(c.style)))
                             .first;
                }
                out.setStyleId(n, c.col, it->second);
            }
        }
    }
    std::map<int, std::vector<CellRange>> startingIn;
    for (const CellRange& m : s.merges()) {
        if (m.c1 >= designer::kFirstFormCol && m.c1 <= maxCol) {
            startingIn[m.r1].push_back(m);
        }
    }
    std::vector<CellRange> merges;
    int k = 0;
    for (int r = firstRow; r <= s.maxRow() && !startingIn.empty(); ++r) {
        if (!isFormRow(r)) {
            continue;
        }
        ++k;
        auto it = startingIn.find(r);
        if (it == startingIn.end()) {
            continue;
        }
        for (const CellRange& m : it->second) {
            merges.push_back({k, m.c1, k + m.rows() - 1, std::min(m.c2, maxCol)});
        }
    }
    out.setMergesForLoad(merges);
    out.setMaxRow(std::max(n, 1));
    out.setNumber(1, 1, stamp_);
    return true;
}

} // namespace fc
