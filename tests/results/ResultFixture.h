#pragma once

#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "exchange/ReportSettings.h"
#include "results/ResultLayout.h"
#include "results/ResultSession.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace fc::test {

inline std::string u8(std::string_view cp1251) { return cp1251::toUtf8(cp1251); }

// A result sheet written as lines, one a row, UTF-8: the cells of columns 2, 3, ... separated
// by "|"; a last cell "@N" puts totals level N into the row's action text; a line ending in
// "+" continues its record in the next row, every other row has a border below it. Numbers
// are stored as numbers. The first `headings` lines are heading rows.
struct ResultFixture : ::testing::Test {
    Workbook book;
    ReportSettings settings;
    ScriptedPrompter prompter;
    KeptStatus status;
    ResultSession session{book, settings, prompter, status};
    Sheet& s = book.sheet(1);

    void build(int headings, const std::vector<std::string>& lines) {
        int maxCol = 2;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const int r = static_cast<int>(i) + 1;
            std::string line = lines[i];
            const bool continues = !line.empty() && line.back() == '+';
            if (continues) {
                line.pop_back();
            }
            std::vector<std::string> cells;
            std::size_t p = 0;
            for (std::size_t bar = line.find('|'); bar != std::string::npos;
                 bar = line.find('|', p)) {
                cells.push_back(line.substr(p, bar - p));
                p = bar + 1;
            }
            cells.push_back(line.substr(p));
            if (cells.size() > 1 && cells.back().size() > 1 && cells.back()[0] == '@') {
                s.setText(r, result::kActionCol, "{2}" + cells.back().substr(1) + "|");
                cells.pop_back();
            }
            for (std::size_t c = 0; c < cells.size(); ++c) {
                put(r, static_cast<int>(c) + 2, cells[c]);
            }
            maxCol = std::max(maxCol, static_cast<int>(cells.size()) + 1);
            if (!continues) {
                s.editStyle({r, 2, r, 12}, [](Style& st) {
                    st.border(BorderSide::Bottom).style = BorderStyle::Thin;
                });
            }
        }
        s.setMaxRow(static_cast<int>(lines.size()));
        s.setMaxCol(maxCol);
        s.setFixedRows(1, headings);
        s.setActiveCell(headings + 1, 2);
    }

    void put(int r, int c, const std::string& text) {
        if (text.empty()) {
            return;
        }
        char* end = nullptr;
        const double d = std::strtod(text.c_str(), &end);
        if (end && *end == '\0') {
            s.setNumber(r, c, d);
        } else {
            s.setText(r, c, w(text));
        }
    }

    // The data rows shown, "3 4 7".
    std::string shown() const {
        std::string out;
        for (int r = result::firstDataRow(s); r <= s.maxRow(); ++r) {
            if (!s.rowHidden(r)) {
                out += (out.empty() ? "" : " ") + std::to_string(r);
            }
        }
        return out;
    }
    std::string statusText() const { return u8(status.statusText()); }
    // Columns c1..c2 of every data row selected, as a drag over them does.
    void selectColumns(int c1, int c2) {
        s.setSelection({result::firstDataRow(s), c1, s.maxRow(), c2});
    }
};

} // namespace fc::test
