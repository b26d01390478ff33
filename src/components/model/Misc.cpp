#include "components/model/DrawnObject.h"
#include "components/model/PrintSettings.h"
#include "components/model/TextMeasurer.h"
#include "components/model/Value.h"
#include "components/model/Workbook.h"

#include <cmath>
#include <cstring>

namespace fc {

const char* errorText(ErrorCode e) {
    switch (e) {
    case ErrorCode::None: return "";
    case ErrorCode::Null: return "#NULL!";
    case ErrorCode::Div0: return "#DIV/0!";
    case ErrorCode::Value: return "#VALUE!";
    case ErrorCode::Ref: return "#REF!";
    case ErrorCode::Name: return "#NAME?";
    case ErrorCode::Num: return "#NUM!";
    case ErrorCode::NA: return "#N/A";
    }
    return "";
}

ErrorCode errorFromText(const std::string& text) {
    for (ErrorCode e : {ErrorCode::Null, ErrorCode::Div0, ErrorCode::Value, ErrorCode::Ref,
                        ErrorCode::Name, ErrorCode::Num, ErrorCode::NA}) {
        if (text == errorText(e)) {
            return e;
        }
    }
    return ErrorCode::None;
}

bool validObjectKind(int kind) { return kind >= 1 && kind <= 11; }

bool operator==(const PrintSettings& a, const PrintSettings& b) {
    return a.area == b.area && a.titles == b.titles && a.header == b.header &&
           a.footer == b.footer && a.leftMargin == b.leftMargin && a.rightMargin == b.rightMargin &&
           a.topMargin == b.topMargin && a.bottomMargin == b.bottomMargin &&
           a.headerMargin == b.headerMargin && a.footerMargin == b.footerMargin &&
           a.landscape == b.landscape && a.noColor == b.noColor && a.gridLines == b.gridLines &&
           a.hCenter == b.hCenter && a.vCenter == b.vCenter &&
           a.rowColHeadings == b.rowColHeadings && a.fitToPage == b.fitToPage &&
           a.fitHPages == b.fitHPages && a.fitVPages == b.fitVPages && a.scale == b.scale &&
           a.paperSize == b.paperSize && a.copies == b.copies;
}

bool operator==(const ViewOptions& a, const ViewOptions& b) {
    return a.showGridLines == b.showGridLines && a.showRowHeading == b.showRowHeading &&
           a.showColHeading == b.showColHeading && a.showHScrollBar == b.showHScrollBar &&
           a.showVScrollBar == b.showVScrollBar && a.showTabs == b.showTabs &&
           a.showFormulas == b.showFormulas && a.showZeroValues == b.showZeroValues &&
           a.hdrHeight == b.hdrHeight && a.hdrWidth == b.hdrWidth && a.viewScale == b.viewScale &&
           a.backColor == b.backColor && a.mousePointer == b.mousePointer;
}

bool operator==(const Permissions& a, const Permissions& b) {
    return a.allowFormulas == b.allowFormulas && a.allowInCellEditing == b.allowInCellEditing &&
           a.allowFillRange == b.allowFillRange && a.allowMoveRange == b.allowMoveRange &&
           a.allowDelete == b.allowDelete && a.allowEditHeaders == b.allowEditHeaders &&
           a.allowFormatByEntry == b.allowFormatByEntry;
}

bool operator==(const EventSwitches& a, const EventSwitches& b) {
    return a.doSelChange == b.doSelChange && a.doEndEdit == b.doEndEdit &&
           a.doTopLeftChanged == b.doTopLeftChanged && a.doObjValueChanged == b.doObjValueChanged &&
           a.doStartRecalc == b.doStartRecalc && a.doEndRecalc == b.doEndRecalc;
}

int FixedTextMeasurer::textWidth(const Font& font, std::string_view text) const {
    return static_cast<int>(std::lround(static_cast<double>(text.size()) * font.size * 0.6));
}

int FixedTextMeasurer::lineHeight(const Font& font) const {
    return static_cast<int>(std::lround(font.size * 1.2 * 96.0 / 72.0));
}

int FixedTextMeasurer::charWidth(const Font& font) const {
    return std::max(1, static_cast<int>(std::lround(font.size * 0.6)));
}

} // namespace fc
