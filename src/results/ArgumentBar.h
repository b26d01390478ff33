#pragma once

#include "results/ArgumentFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace fc {

class Sheet;

// Where the argument bar puts its buttons: a flow from (4, 4), 4 pixels apart, wrapping to a
// new line at left 4 whenever a button would pass the bar's right edge. Pixels; font sizes in
// points, as the bar's font has them.
namespace args {

struct ButtonBox {
    int left = 0, top = 0, width = 0, height = 0;
    bool shown = false;
};
struct BarLayout {
    int height = 0; // the bar's height: one line of buttons plus 7, each further line + h + 3
    std::vector<ButtonBox> buttons; // one per argument line, in line order
};

// A button's height for the bar's font size: the size × 2.2, rounded.
int buttonHeight(int fontSize);
// A button's width: (caption length + 1) × the font size; 0 for an empty caption.
int buttonWidth(std::string_view caption, int fontSize);
// The flow of the bar. A button is shown unless its caption begins with "--" (it keeps its
// shortcut) or, in tree mode, it is not a toggle (the tree shows those); hidden buttons and
// buttons of width 0 take no room.
BarLayout layoutBar(const std::vector<ArgumentLine>& lines, int fontSize, int barWidth,
                    bool treeMode);

// The children of the current argument's tree node: the trimmed texts of `column` in the sheet
// rows 1 to MaxRow that are not group headings (column 2 beginning with two blanks); empty
// texts give no node.
std::vector<std::string> treeChildren(const Sheet& sheet, int column);
// The row a child node leads to: the first from FixedRows + 1 to MaxRow whose trimmed text in
// `column` equals `text`; 0 when there is none.
int treeRow(const Sheet& sheet, int column, std::string_view text);

} // namespace args
} // namespace fc
