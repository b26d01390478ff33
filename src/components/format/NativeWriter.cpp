// Writing the native workbook file.
#include "components/format/NativeCodec_p.h"
#include "components/format/NativeFile.h"
#include "components/model/Workbook.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace fc::native {

namespace {

// Non-finite numbers in settings cannot be meant; such a value is written as the fallback.
double finiteOr(double d, double fallback) { return std::isfinite(d) ? d : fallback; }

double coordinate(double d) { return std::clamp(finiteOr(d, 0), -kMaxCoordinate, kMaxCoordinate); }

void writeBook(ByteWriter& w, const Workbook& book) {
    w.begin(kBook);
    w.uv(static_cast<std::uint64_t>(book.numSheets()));
    w.uv(static_cast<std::uint64_t>(book.currentSheet()));
    w.boolean(book.autoRecalc());
    w.sv(book.mode());
    const ViewOptions& v = book.view();
    for (bool b : {v.showGridLines, v.showRowHeading, v.showColHeading, v.showHScrollBar,
                   v.showVScrollBar, v.showTabs, v.showFormulas, v.showZeroValues}) {
        w.boolean(b);
    }
    w.sv(v.hdrHeight);
    w.sv(v.hdrWidth);
    w.sv(v.viewScale);
    w.u32(v.backColor);
    w.sv(v.mousePointer);
    const Permissions& p = book.allow();
    for (bool b : {p.allowFormulas, p.allowInCellEditing, p.allowFillRange, p.allowMoveRange,
                   p.allowDelete, p.allowEditHeaders, p.allowFormatByEntry}) {
        w.boolean(b);
    }
    const EventSwitches& e = book.events();
    for (bool b : {e.doSelChange, e.doEndEdit, e.doTopLeftChanged, e.doObjValueChanged,
                   e.doStartRecalc, e.doEndRecalc}) {
        w.boolean(b);
    }
    // Optional, so that other workbooks' files stay as they were.
    if (book.date1904()) {
        w.boolean(true);
    }
    w.end();
}

void writeStyle(ByteWriter& w, const Style& s) {
    w.str(s.font.name);
    w.f64(finiteOr(s.font.size, 10));
    w.u8((s.font.bold ? 1u : 0u) | (s.font.italic ? 2u : 0u) | (s.font.underline ? 4u : 0u) |
         (s.font.strikeout ? 8u : 0u));
    w.u32(s.font.color);
    w.u8(static_cast<unsigned>(s.halign));
    w.u8(static_cast<unsigned>(s.valign));
    w.boolean(s.wrap);
    for (const Border& b : s.borders) {
        w.u8(static_cast<unsigned>(b.style));
        w.u32(b.color);
    }
    w.u8(s.fill.pattern);
    w.u32(s.fill.fg);
    w.u32(s.fill.bg);
    w.str(s.numberFormat);
}

// Only the styles that cells use are written, renumbered in id order; 0 stays the default.
std::vector<std::uint32_t> writeStyles(ByteWriter& w, const Workbook& book) {
    const StyleTable& table = book.styles();
    std::vector<std::uint32_t> map(table.size(), 0);
    std::vector<char> used(table.size(), 0);
    used[0] = 1;
    for (int s = 1; s <= book.numSheets(); ++s) {
        for (const Row& row : book.sheet(s).rows()) {
            for (const Cell& c : row.cells) {
                if (c.style < used.size()) {
                    used[c.style] = 1;
                }
            }
        }
    }
    std::uint32_t n = 0;
    for (std::size_t id = 0; id < used.size(); ++id) {
        if (used[id]) {
            map[id] = n++;
        }
    }
    w.begin(kStyles);
    w.uv(n);
    for (std::size_t id = 0; id < used.size(); ++id) {
        if (used[id]) {
            writeStyle(w, table.get(static_cast<StyleId>(id)));
        }
    }
    w.end();
    return map;
}

void writeRange(ByteWriter& w, const CellRange& r) {
    w.uv(static_cast<std::uint64_t>(r.r1));
    w.uv(static_cast<std::uint64_t>(r.c1));
    w.uv(static_cast<std::uint64_t>(r.r2));
    w.uv(static_cast<std::uint64_t>(r.c2));
}

void writePrint(ByteWriter& w, const PrintSettings& p) {
    w.str(p.area);
    w.str(p.titles);
    w.str(p.header);
    w.str(p.footer);
    for (double m : {p.leftMargin, p.rightMargin, p.topMargin, p.bottomMargin, p.headerMargin,
                     p.footerMargin}) {
        w.f64(finiteOr(m, 0));
    }
    for (bool b : {p.landscape, p.noColor, p.gridLines, p.hCenter, p.vCenter, p.rowColHeadings,
                   p.fitToPage}) {
        w.boolean(b);
    }
    for (int v : {p.fitHPages, p.fitVPages, p.scale, p.paperSize, p.copies}) {
        w.sv(v);
    }
}

void writeSheet(ByteWriter& w, const Sheet& s) {
    w.begin(kSheet);
    w.str(s.name());
    w.uv(static_cast<std::uint64_t>(s.maxRow()));
    w.uv(static_cast<std::uint64_t>(s.maxCol()));
    w.uv(static_cast<std::uint64_t>(s.fixedRow()));
    w.uv(static_cast<std::uint64_t>(s.fixedRows()));
    w.uv(static_cast<std::uint64_t>(s.fixedCol()));
    w.uv(static_cast<std::uint64_t>(s.fixedCols()));
    w.uv(static_cast<std::uint64_t>(s.topRow()));
    w.uv(static_cast<std::uint64_t>(s.leftCol()));
    w.uv(static_cast<std::uint64_t>(s.defaultRowHeight()));
    w.uv(static_cast<std::uint64_t>(s.defaultColWidth()));
    w.uv(s.selection().size());
    for (const CellRange& r : s.selection()) {
        writeRange(w, r);
    }
    w.uv(static_cast<std::uint64_t>(s.activeCell().row));
    w.uv(static_cast<std::uint64_t>(s.activeCell().col));
    writePrint(w, s.print());

    std::vector<int> cols;
    for (int c = 1; c <= kMaxCols; ++c) {
        if (s.colHasOwnWidth(c) || s.colHidden(c) || s.colPageBreak(c)) {
            cols.push_back(c);
        }
    }
    w.uv(cols.size());
    for (int c : cols) {
        w.uv(static_cast<std::uint64_t>(c));
        w.sv(s.colHasOwnWidth(c) ? s.colWidth(c) : -1);
        w.u8((s.colHidden(c) ? 1u : 0u) | (s.colPageBreak(c) ? 2u : 0u));
    }

    const std::vector<Row>& rows = s.rows();
    std::size_t rowsWithLayout = 0;
    for (const Row& r : rows) {
        rowsWithLayout += r.height >= 0 || r.hidden || r.pageBreak || !r.heading.empty();
    }
    w.uv(rowsWithLayout);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        if (r.height >= 0 || r.hidden || r.pageBreak || !r.heading.empty()) {
            w.uv(i + 1);
            w.sv(r.height);
            w.u8((r.hidden ? 1u : 0u) | (r.pageBreak ? 2u : 0u));
            w.str(r.heading);
        }
    }

    w.uv(s.merges().size());
    for (const CellRange& m : s.merges()) {
        writeRange(w, m);
    }
    w.end();
}

bool worthWriting(const Cell& c) { return c.hasContent() || c.style != 0; }

void writeValue(ByteWriter& w, const Cell& c) {
    switch (c.kind) {
    case ValueKind::Number: w.f64(c.number); break;
    case ValueKind::Text: w.str(c.text); break;
    case ValueKind::Boolean: w.boolean(c.number != 0); break;
    case ValueKind::Error: w.u8(static_cast<unsigned>(c.error)); break;
    case ValueKind::Empty: break;
    }
}

void writeCells(ByteWriter& w, const Sheet& s, const std::vector<std::uint32_t>& styleMap) {
    w.begin(kCells);
    const std::vector<Row>& rows = s.rows();
    std::size_t rowCount = 0;
    for (const Row& r : rows) {
        rowCount += std::any_of(r.cells.begin(), r.cells.end(), worthWriting);
    }
    w.uv(rowCount);
    int prevRow = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        const auto n =
            static_cast<std::size_t>(std::count_if(r.cells.begin(), r.cells.end(), worthWriting));
        if (n == 0) {
            continue;
        }
        const int row = static_cast<int>(i) + 1;
        w.uv(static_cast<std::uint64_t>(row - prevRow));
        prevRow = row;
        w.uv(n);
        int prevCol = 0;
        for (const Cell& c : r.cells) {
            if (!worthWriting(c)) {
                continue;
            }
            w.uv(static_cast<std::uint64_t>(c.col - prevCol));
            prevCol = c.col;
            const FormulaSlot* slot = s.formulaSlot(c);
            const std::uint32_t style = c.style < styleMap.size() ? styleMap[c.style] : 0;
            w.u8(static_cast<unsigned>(c.kind) | (slot ? kCellFormula : 0u) |
                 (style ? kCellStyled : 0u));
            if (style) {
                w.uv(style);
            }
            if (slot) {
                w.str(slot->source);
            }
            writeValue(w, c);
        }
    }
    w.end();
}

void writeObjects(ByteWriter& w, const Sheet& s) {
    w.begin(kObjects);
    w.uv(static_cast<std::uint64_t>(s.nextObjectId()));
    w.uv(s.objects().size());
    for (const DrawnObject& o : s.objects()) {
        w.uv(static_cast<std::uint64_t>(std::max(o.id, 1)));
        w.u8(static_cast<unsigned>(o.kind));
        for (double d : {o.x1, o.y1, o.x2, o.y2}) {
            w.f64(coordinate(d));
        }
        w.str(o.text);
        w.sv(o.value);
        w.str(o.linkedCell);
        w.str(o.inputRange);
        w.uv(o.items.size());
        for (const std::string& item : o.items) {
            w.str(item);
        }
        w.str(o.image);
        w.sv(o.heightPx);
        w.uv(o.points.size());
        for (const auto& pt : o.points) {
            w.f64(coordinate(pt.first));
            w.f64(coordinate(pt.second));
        }
        w.u32(o.lineColor);
        w.u32(o.fillColor);
        w.sv(o.lineStyle);
        w.sv(o.chartType);
        w.boolean(o.selected);
    }
    w.end();
}

} // namespace

std::string write(const Workbook& book) {
    ByteWriter w;
    w.bytes().append(kMagic, sizeof kMagic);
    w.u16(kMajor);
    w.u16(kMinor);
    writeBook(w, book);
    std::vector<std::uint32_t> styleMap = writeStyles(w, book);
    for (int i = 1; i <= book.numSheets(); ++i) {
        const Sheet& s = book.sheet(i);
        writeSheet(w, s);
        writeCells(w, s, styleMap);
        writeObjects(w, s);
    }
    w.begin(kEnd);
    w.end();
    return std::move(w.bytes());
}

} // namespace fc::native
