#include "components/format/JsonDump.h"

#include "components/format/JsonWriter.h"
#include "components/format/NativeCodec_p.h"
#include "components/model/Workbook.h"

#include <cstdio>
#include <vector>

namespace fc {

namespace {

std::string colorText(Color c) {
    if (c == kAutoColor) {
        return "auto";
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(c & 0xFFFFFF));
    return buf;
}

const char* halignName(HAlign a) {
    static const char* const names[] = {"general", "left",    "center",      "right",
                                        "fill",    "justify", "centerAcross"};
    return names[static_cast<int>(a)];
}

const char* valignName(VAlign a) {
    static const char* const names[] = {"top", "center", "bottom"};
    return names[static_cast<int>(a)];
}

const char* borderName(BorderStyle b) {
    static const char* const names[] = {"none",
                                        "thin",
                                        "medium",
                                        "dashed",
                                        "dotted",
                                        "thick",
                                        "double",
                                        "hair",
                                        "mediumDashed",
                                        "dashDot",
                                        "mediumDashDot",
                                        "dashDotDot",
                                        "mediumDashDotDot",
                                        "slantDashDot"};
    return names[static_cast<int>(b)];
}

const char* kindName(ObjectKind k) {
    static const char* const names[] = {"line",     "rectangle", "oval",   "arc",
                                        "chart",    "textBox",   "button", "polygon",
                                        "checkBox", "listBox",   "picture"};
    const int i = static_cast<int>(k) - 1;
    return i >= 0 && i < 11 ? names[i] : "unknown";
}

// Only what differs from a style made with no settings, so that a dump shows what was set.
void writeStyle(JsonWriter& j, const Style& s) {
    const Style plain;
    j.beginObject(true);
    if (s.font != plain.font) {
        j.key("font");
        j.beginObject();
        if (s.font.name != plain.font.name) {
            j.textField("name", s.font.name);
        }
        if (s.font.size != plain.font.size) {
            j.field("size", s.font.size);
        }
        for (auto [name, on] : {std::pair{"bold", s.font.bold},
                                {"italic", s.font.italic},
                                {"underline", s.font.underline},
                                {"strikeout", s.font.strikeout}}) {
            if (on) {
                j.field(name, true);
            }
        }
        if (s.font.color != plain.font.color) {
            j.field("color", colorText(s.font.color));
        }
        j.endObject();
    }
    if (s.halign != plain.halign) {
        j.field("halign", halignName(s.halign));
    }
    if (s.valign != plain.valign) {
        j.field("valign", valignName(s.valign));
    }
    if (s.wrap) {
        j.field("wrap", true);
    }
    if (s.borders != plain.borders) {
        static const char* const sides[] = {"left", "right", "top", "bottom"};
        j.key("borders");
        j.beginObject();
        for (int i = 0; i < 4; ++i) {
            const Border& b = s.borders[static_cast<std::size_t>(i)];
            if (b != Border{}) {
                j.key(sides[i]);
                j.beginObject();
                j.field("style", borderName(b.style));
                j.field("color", colorText(b.color));
                j.endObject();
            }
        }
        j.endObject();
    }
    if (s.fill != plain.fill) {
        j.key("fill");
        j.beginObject();
        j.field("pattern", static_cast<int>(s.fill.pattern));
        j.field("fg", colorText(s.fill.fg));
        j.field("bg", colorText(s.fill.bg));
        j.endObject();
    }
    if (s.numberFormat != plain.numberFormat) {
        j.textField("numberFormat", s.numberFormat);
    }
    j.endObject();
}

void writeValue(JsonWriter& j, const Cell& c) {
    switch (c.kind) {
    case ValueKind::Number: j.field("value", c.number); break;
    case ValueKind::Text: j.textField("value", c.text); break;
    case ValueKind::Boolean: j.field("value", c.number != 0); break;
    case ValueKind::Error: j.field("error", errorText(c.error)); break;
    case ValueKind::Empty: break;
    }
}

void writePrint(JsonWriter& j, const PrintSettings& p) {
    j.key("print");
    j.beginObject(true);
    j.textField("area", p.area);
    j.textField("titles", p.titles);
    j.textField("header", p.header);
    j.textField("footer", p.footer);
    j.key("margins");
    j.beginArray();
    for (double m : {p.leftMargin, p.rightMargin, p.topMargin, p.bottomMargin, p.headerMargin,
                     p.footerMargin}) {
        j.value(m);
    }
    j.endArray();
    j.field("landscape", p.landscape);
    j.field("noColor", p.noColor);
    j.field("gridLines", p.gridLines);
    j.field("hCenter", p.hCenter);
    j.field("vCenter", p.vCenter);
    j.field("rowColHeadings", p.rowColHeadings);
    j.field("fitToPage", p.fitToPage);
    j.field("fitHPages", p.fitHPages);
    j.field("fitVPages", p.fitVPages);
    j.field("scale", p.scale);
    j.field("paperSize", p.paperSize);
    j.field("copies", p.copies);
    j.endObject();
}

void writeObject(JsonWriter& j, const DrawnObject& o) {
    j.beginObject(true);
    j.field("id", o.id);
    j.field("kind", kindName(o.kind));
    j.key("pos");
    j.beginArray();
    for (double d : {o.x1, o.y1, o.x2, o.y2}) {
        j.value(d);
    }
    j.endArray();
    j.textField("text", o.text);
    j.field("value", o.value);
    j.textField("linkedCell", o.linkedCell);
    j.textField("inputRange", o.inputRange);
    j.key("items");
    j.beginArray();
    for (const std::string& item : o.items) {
        j.text(item);
    }
    j.endArray();
    j.field("imageBytes", static_cast<int>(o.image.size()));
    if (!o.image.empty()) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%08x", static_cast<unsigned>(native::crc32(o.image)));
        j.field("imageCrc32", buf);
    }
    j.field("heightPx", o.heightPx);
    j.key("points");
    j.beginArray();
    for (const auto& p : o.points) {
        j.beginArray();
        j.value(p.first);
        j.value(p.second);
        j.endArray();
    }
    j.endArray();
    j.field("lineColor", colorText(o.lineColor));
    j.field("fillColor", colorText(o.fillColor));
    j.field("lineStyle", o.lineStyle);
    j.field("chartType", o.chartType);
    j.field("selected", o.selected);
    j.endObject();
}

// Dump indices of the styles in use, in order of first use, 0 for the default style.
class StyleList {
public:
    explicit StyleList(const Workbook& book) : book_(book), index_(book.styles().size(), -1) {
        index_[0] = 0;
        order_.push_back(0);
    }
    int indexOf(StyleId id) {
        if (id >= index_.size()) {
            id = 0;
        }
        if (index_[id] < 0) {
            index_[id] = static_cast<int>(order_.size());
            order_.push_back(id);
        }
        return index_[id];
    }
    void write(JsonWriter& j) const {
        j.key("styles");
        j.beginArray();
        for (StyleId id : order_) {
            writeStyle(j, book_.styles().get(id));
        }
        j.endArray();
    }

private:
    const Workbook& book_;
    std::vector<int> index_;
    std::vector<StyleId> order_;
};

void writeSheet(JsonWriter& j, const Sheet& s, StyleList& styles) {
    j.beginObject();
    j.textField("name", s.name());
    j.field("maxRow", s.maxRow());
    j.field("maxCol", s.maxCol());
    j.key("fixedRows");
    j.beginObject(true);
    j.field("first", s.fixedRow());
    j.field("count", s.fixedRows());
    j.endObject();
    j.key("fixedCols");
    j.beginObject(true);
    j.field("first", s.fixedCol());
    j.field("count", s.fixedCols());
    j.endObject();
    j.field("topLeft", cellName(s.topRow(), s.leftCol()));
    j.key("selection");
    j.beginArray(true);
    for (const CellRange& r : s.selection()) {
        j.value(rangeName(r.r1, r.c1, r.r2, r.c2));
    }
    j.endArray();
    j.field("activeCell", cellName(s.activeCell().row, s.activeCell().col));
    const Font& font = s.workbook().defaultFont();
    j.key("defaultFont");
    j.beginObject(true);
    j.textField("name", font.name);
    j.field("size", font.size);
    j.endObject();
    j.field("defaultRowHeight", s.defaultRowHeight());
    j.field("defaultColWidth", s.defaultColWidth());

    j.key("columns");
    j.beginArray();
    for (int c = 1; c <= kMaxCols; ++c) {
        if (s.colHasOwnWidth(c) || s.colHidden(c) || s.colPageBreak(c)) {
            j.beginObject(true);
            j.field("col", c);
            j.field("width", s.colHasOwnWidth(c) ? s.colWidth(c) : -1);
            j.field("hidden", s.colHidden(c));
            j.field("pageBreak", s.colPageBreak(c));
            j.endObject();
        }
    }
    j.endArray();

    j.key("rows");
    j.beginArray();
    for (int r = 1; r <= s.storedRows(); ++r) {
        const Row& row = s.rows()[static_cast<std::size_t>(r - 1)];
        if (row.height >= 0 || row.hidden || row.pageBreak || !row.heading.empty()) {
            j.beginObject(true);
            j.field("row", r);
            j.field("height", row.height);
            j.field("hidden", row.hidden);
            j.field("pageBreak", row.pageBreak);
            j.textField("heading", row.heading);
            j.endObject();
        }
    }
    j.endArray();

    writePrint(j, s.print());

    j.key("merges");
    j.beginArray(true);
    for (const CellRange& m : s.merges()) {
        j.value(rangeName(m.r1, m.c1, m.r2, m.c2));
    }
    j.endArray();

    j.key("objects");
    j.beginArray();
    for (const DrawnObject& o : s.objects()) {
        writeObject(j, o);
    }
    j.endArray();

    j.key("cells");
    j.beginArray();
    for (int r = 1; r <= s.storedRows(); ++r) {
        for (const Cell& c : s.rows()[static_cast<std::size_t>(r - 1)].cells) {
            if (!c.hasContent() && c.style == 0) {
                continue;
            }
            j.beginObject(true);
            j.field("ref", cellName(r, c.col));
            if (c.hasContent()) {
                j.textField("text", s.text(r, c.col));
            }
            writeValue(j, c);
            if (const FormulaSlot* slot = s.formulaSlot(c)) {
                j.textField("formula", "=" + slot->source);
            }
            if (c.style != 0) {
                j.field("style", styles.indexOf(c.style));
            }
            if (const CellRange* m = s.mergeAt(r, c.col)) {
                j.field("merge", rangeName(m->r1, m->c1, m->r2, m->c2));
            }
            j.endObject();
        }
    }
    j.endArray();
    j.endObject();
}

} // namespace

std::string cellName(int row, int col) {
    std::string letters;
    for (int c = col; c > 0; c = (c - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    }
    return letters + std::to_string(row);
}

std::string rangeName(int r1, int c1, int r2, int c2) {
    return cellName(r1, c1) + ":" + cellName(r2, c2);
}

void dumpWorkbook(JsonWriter& j, const Workbook& book) {
    StyleList styles(book);
    j.beginObject();
    j.field("currentSheet", book.currentSheet());
    j.field("mode", book.mode());
    j.field("autoRecalc", book.autoRecalc());
    const ViewOptions& v = book.view();
    j.key("view");
    j.beginObject(true);
    j.field("showGridLines", v.showGridLines);
    j.field("showRowHeading", v.showRowHeading);
    j.field("showColHeading", v.showColHeading);
    j.field("showHScrollBar", v.showHScrollBar);
    j.field("showVScrollBar", v.showVScrollBar);
    j.field("showTabs", v.showTabs);
    j.field("showFormulas", v.showFormulas);
    j.field("showZeroValues", v.showZeroValues);
    j.field("hdrHeight", v.hdrHeight);
    j.field("hdrWidth", v.hdrWidth);
    j.field("viewScale", v.viewScale);
    j.field("backColor", colorText(v.backColor));
    j.field("mousePointer", v.mousePointer);
    j.endObject();
    const Permissions& p = book.allow();
    j.key("allow");
    j.beginObject(true);
    j.field("formulas", p.allowFormulas);
    j.field("inCellEditing", p.allowInCellEditing);
    j.field("fillRange", p.allowFillRange);
    j.field("moveRange", p.allowMoveRange);
    j.field("delete", p.allowDelete);
    j.field("editHeaders", p.allowEditHeaders);
    j.field("formatByEntry", p.allowFormatByEntry);
    j.endObject();
    const EventSwitches& e = book.events();
    j.key("events");
    j.beginObject(true);
    j.field("selChange", e.doSelChange);
    j.field("endEdit", e.doEndEdit);
    j.field("topLeftChanged", e.doTopLeftChanged);
    j.field("objValueChanged", e.doObjValueChanged);
    j.field("startRecalc", e.doStartRecalc);
    j.field("endRecalc", e.doEndRecalc);
    j.endObject();
    j.key("sheets");
    j.beginArray();
    for (int i = 1; i <= book.numSheets(); ++i) {
        writeSheet(j, book.sheet(i), styles);
    }
    j.endArray();
    styles.write(j);
    j.endObject();
}

std::string dumpWorkbook(const Workbook& book) {
    JsonWriter j;
    dumpWorkbook(j, book);
    return j.take();
}

} // namespace fc
