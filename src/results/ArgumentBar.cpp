#include "results/ArgumentBar.h"

#include "components/model/Sheet.h"
#include "components/text/TextOps.h"
#include "results/ArgumentState.h"

#include <cmath>

namespace fc::args {

int buttonHeight(int fontSize) { return static_cast<int>(std::lround(fontSize * 2.2)); }

int buttonWidth(std::string_view caption, int fontSize) {
    return caption.empty() ? 0 : (static_cast<int>(caption.size()) + 1) * fontSize;
}

BarLayout layoutBar(const std::vector<ArgumentLine>& lines, int fontSize, int barWidth,
                    bool treeMode) {
    BarLayout out;
    const int h = buttonHeight(fontSize);
    out.height = h + 7;
    bool first = true;
    int left = 4, top = 4;
    for (const ArgumentLine& line : lines) {
        ButtonBox b;
        b.height = h;
        const bool toggle = splitKey(line.key).kind == KeyParts::Kind::Toggle;
        b.shown = !text::startsWith(line.caption, "--") && (!treeMode || toggle);
        b.width = b.shown ? buttonWidth(line.caption, fontSize) : 0;
        if (b.width == 0) {
            b.left = left;
            b.top = top;
            out.buttons.push_back(b);
            continue;
        }
        if (!first && left + b.width > barWidth) {
            left = 4;
            top += h + 3;
            out.height += h + 3;
        }
        b.left = left;
        b.top = top;
        left += b.width + 4;
        first = false;
        out.buttons.push_back(b);
    }
    return out;
}

std::vector<std::string> treeChildren(const Sheet& sheet, int column) {
    std::vector<std::string> out;
    if (column < 1 || column > kMaxCols) {
        return out;
    }
    for (int r = 1; r <= sheet.maxRow(); ++r) {
        if (text::startsWith(sheet.text(r, 2), "  ")) {
            continue;
        }
        std::string t = text::trim(sheet.text(r, column));
        if (!t.empty()) {
            out.push_back(std::move(t));
        }
    }
    return out;
}

int treeRow(const Sheet& sheet, int column, std::string_view text) {
    if (column < 1 || column > kMaxCols) {
        return 0;
    }
    for (int r = sheet.fixedRows() + 1; r <= sheet.maxRow(); ++r) {
        if (text::trimView(sheet.text(r, column)) == text) {
            return r;
        }
    }
    return 0;
}

} // namespace fc::args
