// Reading the native workbook file. Everything is checked before it is used: counts against
// the bytes left, indices against the sheet, enumerations against their values; the file is
// read into a fresh workbook that replaces the target only when all of it was read.
#include "components/format/NativeCodec_p.h"
#include "components/format/NativeFile.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <algorithm>
#include <vector>

namespace fc::native {

namespace {

struct Chunk {
    std::string tag;
    std::string_view payload;
};

class Reader {
public:
    Reader(std::string_view bytes, Workbook& book) : bytes_(bytes), book_(book) {}
    bool run();
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& what) {
        if (error_.empty()) {
            error_ = what;
        }
        return false;
    }
    bool nextChunk(Chunk& c);
    bool finish(ByteReader& r, const char* tag);
    bool readBook(std::string_view payload);
    bool readStyles(std::string_view payload);
    bool readSheet(std::string_view payload, Sheet& s);
    bool readCells(std::string_view payload, Sheet& s);
    bool readObjects(std::string_view payload, Sheet& s);

    std::string_view bytes_;
    std::size_t pos_ = 0;
    Workbook& book_;
    std::string error_;
    std::vector<StyleId> styles_; // file index -> id in the workbook's table
    int sheets_ = 0;
    int current_ = 1;
};

bool Reader::nextChunk(Chunk& c) {
    if (bytes_.size() - pos_ < 12) {
        return fail(w("файл обрезан"));
    }
    c.tag.assign(bytes_.data() + pos_, 4);
    std::uint32_t len = 0;
    for (int i = 0; i < 4; ++i) {
        len |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[pos_ + 4 + i]))
               << (8 * i);
    }
    if (len > bytes_.size() - pos_ - 12) {
        return fail(w("файл обрезан (раздел ") + c.tag + ")");
    }
    c.payload = bytes_.substr(pos_ + 8, len);
    std::uint32_t stored = 0;
    for (int i = 0; i < 4; ++i) {
        stored |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[pos_ + 8 + len + i]))
                  << (8 * i);
    }
    if (stored != crc32(bytes_.substr(pos_, 4), c.payload)) {
        return fail(w("контрольная сумма не сходится (раздел ") + c.tag + ")");
    }
    pos_ += 12 + len;
    return true;
}

// A chunk must be read exactly: bytes left over mean the layout is not what we think.
bool Reader::finish(ByteReader& r, const char* tag) {
    if (r.ok() && !r.atEnd()) {
        r.fail(w("лишние данные в конце раздела"));
    }
    if (!r.ok()) {
        return fail(r.error() + w(" (раздел ") + tag + ")");
    }
    return true;
}

bool Reader::readBook(std::string_view payload) {
    ByteReader r(payload);
    sheets_ = r.uvIn(1, 256, "число листов");
    current_ = r.uvIn(1, 256, "текущий лист");
    if (r.ok() && current_ > sheets_) {
        r.fail(w("текущий лист больше числа листов"));
    }
    book_.setAutoRecalc(r.boolean());
    book_.setMode(r.svInt("Mode"));
    ViewOptions v;
    for (bool* b : {&v.showGridLines, &v.showRowHeading, &v.showColHeading, &v.showHScrollBar,
                    &v.showVScrollBar, &v.showTabs, &v.showFormulas, &v.showZeroValues}) {
        *b = r.boolean();
    }
    v.hdrHeight = r.svInt("HdrHeight");
    v.hdrWidth = r.svInt("HdrWidth");
    v.viewScale = r.svInt("ViewScale");
    v.backColor = r.u32();
    v.mousePointer = r.svInt("MousePointer");
    book_.setView(v);
    Permissions& p = book_.allow();
    for (bool* b : {&p.allowFormulas, &p.allowInCellEditing, &p.allowFillRange, &p.allowMoveRange,
                    &p.allowDelete, &p.allowEditHeaders, &p.allowFormatByEntry}) {
        *b = r.boolean();
    }
    EventSwitches& e = book_.events();
    for (bool* b : {&e.doSelChange, &e.doEndEdit, &e.doTopLeftChanged, &e.doObjValueChanged,
                    &e.doStartRecalc, &e.doEndRecalc}) {
        *b = r.boolean();
    }
    if (r.ok() && !r.atEnd()) {
        book_.setDate1904(r.boolean());
    }
    if (!finish(r, kBook)) {
        return false;
    }
    book_.setNumSheets(sheets_);
    return true;
}

bool Reader::readStyles(std::string_view payload) {
    ByteReader r(payload);
    // A style takes at least 47 bytes.
    const std::size_t n = r.count(47, "стили");
    if (r.ok() && n == 0) {
        r.fail(w("нет стиля по умолчанию"));
    }
    StyleTable& table = book_.styles();
    styles_.reserve(n);
    for (std::size_t i = 0; i < n && r.ok(); ++i) {
        Style s;
        s.font.name = r.str();
        s.font.size = r.finite("FontSize", 4096);
        const unsigned flags = r.u8();
        if (flags > 15) {
            r.fail(w("неверные признаки шрифта"));
        }
        s.font.bold = flags & 1u;
        s.font.italic = flags & 2u;
        s.font.underline = flags & 4u;
        s.font.strikeout = flags & 8u;
        s.font.color = r.u32();
        s.halign = static_cast<HAlign>(r.range(r.u8(), 0, 6, "HAlign"));
        s.valign = static_cast<VAlign>(r.range(r.u8(), 0, 2, "VAlign"));
        s.wrap = r.boolean();
        for (Border& b : s.borders) {
            b.style = static_cast<BorderStyle>(r.range(r.u8(), 0, 13, "BorderStyle"));
            b.color = r.u32();
        }
        s.fill.pattern = static_cast<std::uint8_t>(r.u8());
        s.fill.fg = r.u32();
        s.fill.bg = r.u32();
        s.numberFormat = r.str();
        if (!r.ok()) {
            break;
        }
        if (i == 0) {
            table.setDefault(s);
            styles_.push_back(0);
        } else {
            styles_.push_back(table.intern(s));
        }
    }
    return finish(r, kStyles);
}

CellRange readRange(ByteReader& r, const char* what) {
    CellRange c;
    c.r1 = r.uvIn(1, kMaxRows, what);
    c.c1 = r.uvIn(1, kMaxCols, what);
    c.r2 = r.uvIn(1, kMaxRows, what);
    c.c2 = r.uvIn(1, kMaxCols, what);
    if (r.ok() && (c.r1 > c.r2 || c.c1 > c.c2)) {
        r.fail(w("перевёрнутая область: ") + w(what));
    }
    return c;
}

void readPrint(ByteReader& r, PrintSettings& p) {
    p.area = r.str();
    p.titles = r.str();
    p.header = r.str();
    p.footer = r.str();
    for (double* m : {&p.leftMargin, &p.rightMargin, &p.topMargin, &p.bottomMargin, &p.headerMargin,
                      &p.footerMargin}) {
        *m = r.finite("PrintMargin");
    }
    for (bool* b : {&p.landscape, &p.noColor, &p.gridLines, &p.hCenter, &p.vCenter,
                    &p.rowColHeadings, &p.fitToPage}) {
        *b = r.boolean();
    }
    for (int* v : {&p.fitHPages, &p.fitVPages, &p.scale, &p.paperSize, &p.copies}) {
        *v = r.svInt("PrintSettings");
    }
}

bool Reader::readSheet(std::string_view payload, Sheet& s) {
    ByteReader r(payload);
    std::string name = r.str();
    const int maxRow = r.uvIn(1, kMaxRows, "MaxRow");
    const int maxCol = r.uvIn(1, kMaxCols, "MaxCol");
    const int fixedRow = r.uvIn(1, kMaxRows, "FixedRow");
    const int fixedRows = r.uvIn(0, kMaxRows - fixedRow + 1, "FixedRows");
    const int fixedCol = r.uvIn(1, kMaxCols, "FixedCol");
    const int fixedCols = r.uvIn(0, kMaxCols - fixedCol + 1, "FixedCols");
    const int topRow = r.uvIn(1, kMaxRows, "TopRow");
    const int leftCol = r.uvIn(1, kMaxCols, "LeftCol");
    const int defaultHeight = r.uvIn(0, 8192, "DefaultRowHeight");
    const int defaultWidth = r.uvIn(0, 255 * 256, "DefaultColWidth");
    const std::size_t nsel = r.count(4, "SelectionCount");
    if (r.ok() && nsel == 0) {
        r.fail(w("пустое выделение"));
    }
    std::vector<CellRange> selection;
    for (std::size_t i = 0; i < nsel && r.ok(); ++i) {
        selection.push_back(readRange(r, "Selection"));
    }
    CellRef active;
    active.row = r.uvIn(1, kMaxRows, "Row");
    active.col = r.uvIn(1, kMaxCols, "Col");
    if (r.ok() && std::none_of(selection.begin(), selection.end(), [&](const CellRange& g) {
            return g.contains(active.row, active.col);
        })) {
        r.fail(w("активная ячейка вне выделения"));
    }
    readPrint(r, s.print());

    const std::size_t ncols = r.count(3, "столбцы");
    int prev = 0;
    for (std::size_t i = 0; i < ncols && r.ok(); ++i) {
        const int c = r.uvIn(prev + 1, kMaxCols, "номер столбца");
        const int width = r.svInt("ColWidth");
        const unsigned flags = r.u8();
        if (r.ok() && (width < -1 || width > 255 * 256 || flags > 3)) {
            r.fail(w("неверная ширина или признаки столбца"));
        }
        if (!r.ok()) {
            break;
        }
        Column& col = s.columnForLoad(c);
        col.width = width;
        col.hidden = flags & 1u;
        col.pageBreak = flags & 2u;
        prev = c;
    }

    const std::size_t nrows = r.count(4, "строки");
    prev = 0;
    for (std::size_t i = 0; i < nrows && r.ok(); ++i) {
        const int rowNo = r.uvIn(prev + 1, kMaxRows, "номер строки");
        const int height = r.svInt("RowHeight");
        const unsigned flags = r.u8();
        std::string heading = r.str();
        if (r.ok() && (height < -1 || height > 8192 || flags > 3)) {
            r.fail(w("неверная высота или признаки строки"));
        }
        if (!r.ok()) {
            break;
        }
        Row& row = s.rowForLoad(rowNo);
        row.height = height;
        row.hidden = flags & 1u;
        row.pageBreak = flags & 2u;
        row.heading = std::move(heading);
        prev = rowNo;
    }

    const std::size_t nmerges = r.count(4, "объединения");
    std::vector<CellRange> merges;
    merges.reserve(nmerges);
    for (std::size_t i = 0; i < nmerges && r.ok(); ++i) {
        CellRange m = readRange(r, "Merge");
        if (r.ok() && m.rows() == 1 && m.cols() == 1) {
            r.fail(w("объединение из одной ячейки"));
        }
        merges.push_back(m);
    }
    if (!finish(r, kSheet)) {
        return false;
    }
    s.setName(std::move(name));
    s.setMaxRow(maxRow);
    s.setMaxCol(maxCol);
    s.setFixedRows(fixedRow, fixedRows);
    s.setFixedCols(fixedCol, fixedCols);
    s.setTopLeft(topRow, leftCol);
    s.setDefaultRowHeight(defaultHeight);
    s.setDefaultColWidth(defaultWidth);
    for (std::size_t i = 0; i < selection.size(); ++i) {
        s.setSelection(selection[i], i > 0);
    }
    s.setActiveCell(active.row, active.col);
    s.setMergesForLoad(std::move(merges));
    return true;
}

bool Reader::readCells(std::string_view payload, Sheet& s) {
    ByteReader r(payload);
    const std::size_t nrows = r.count(3, "строки ячеек");
    int row = 0;
    for (std::size_t i = 0; i < nrows && r.ok(); ++i) {
        row = r.uvIn(1, kMaxRows - row, "шаг строки") + row;
        const std::size_t ncells = static_cast<std::size_t>(r.uvIn(1, kMaxCols, "число ячеек"));
        if (!r.ok()) {
            break;
        }
        Row& target = s.rowForLoad(row);
        if (!target.cells.empty()) {
            r.fail(w("строка ячеек повторяется"));
            break;
        }
        target.cells.reserve(ncells);
        int col = 0;
        for (std::size_t k = 0; k < ncells && r.ok(); ++k) {
            col = r.uvIn(1, kMaxCols - col, "шаг столбца") + col;
            const unsigned head = r.u8();
            const unsigned kind = head & kCellKindMask;
            if (r.ok() && (kind > static_cast<unsigned>(ValueKind::Error) ||
                           (head & ~(kCellKindMask | kCellFormula | kCellStyled)))) {
                r.fail(w("неверный вид ячейки"));
            }
            Cell c;
            c.col = static_cast<std::uint16_t>(col);
            c.kind = static_cast<ValueKind>(kind);
            if (head & kCellStyled) {
                const int idx = r.uvIn(1, static_cast<int>(styles_.size()) - 1, "номер стиля");
                c.style = r.ok() ? styles_[static_cast<std::size_t>(idx)] : 0;
            }
            std::string source;
            if (head & kCellFormula) {
                source = r.str();
            }
            switch (c.kind) {
            case ValueKind::Number: c.number = r.f64(); break;
            case ValueKind::Text: c.text = r.str(); break;
            case ValueKind::Boolean: c.number = r.boolean() ? 1 : 0; break;
            case ValueKind::Error:
                c.error = static_cast<ErrorCode>(r.range(r.u8(), 1, 7, "код ошибки"));
                break;
            case ValueKind::Empty: break;
            }
            if (!r.ok()) {
                break;
            }
            if (head & kCellFormula) {
                c.formula = s.addFormulaSlot(std::move(source));
            }
            target.cells.push_back(std::move(c));
        }
    }
    s.recountFormulas();
    return finish(r, kCells);
}

bool Reader::readObjects(std::string_view payload, Sheet& s) {
    ByteReader r(payload);
    const int nextId = r.uvIn(1, INT32_MAX, "номер следующего объекта");
    // An object takes at least 53 bytes.
    const std::size_t n = r.count(53, "объекты");
    std::vector<DrawnObject> objs;
    objs.reserve(n);
    for (std::size_t i = 0; i < n && r.ok(); ++i) {
        DrawnObject o;
        o.id = r.uvIn(1, INT32_MAX - 1, "номер объекта");
        o.kind = static_cast<ObjectKind>(r.range(r.u8(), 1, 11, "вид объекта"));
        for (double* d : {&o.x1, &o.y1, &o.x2, &o.y2}) {
            *d = r.finite("координата объекта", kMaxCoordinate);
        }
        o.text = r.str();
        o.value = r.svInt("значение объекта");
        o.linkedCell = r.str();
        o.inputRange = r.str();
        const std::size_t items = r.count(1, "элементы списка");
        for (std::size_t k = 0; k < items && r.ok(); ++k) {
            o.items.push_back(r.str());
        }
        o.image = r.str();
        o.heightPx = r.svInt("высота рисунка");
        const std::size_t points = r.count(16, "вершины");
        o.points.reserve(points);
        for (std::size_t k = 0; k < points && r.ok(); ++k) {
            double x = r.finite("вершина", kMaxCoordinate);
            double y = r.finite("вершина", kMaxCoordinate);
            o.points.emplace_back(x, y);
        }
        o.lineColor = r.u32();
        o.fillColor = r.u32();
        o.lineStyle = r.svInt("вид линии");
        o.chartType = r.svInt("вид диаграммы");
        o.selected = r.boolean();
        objs.push_back(std::move(o));
    }
    std::vector<int> ids;
    ids.reserve(objs.size());
    for (const DrawnObject& o : objs) {
        ids.push_back(o.id);
    }
    std::sort(ids.begin(), ids.end());
    if (r.ok() && std::adjacent_find(ids.begin(), ids.end()) != ids.end()) {
        r.fail(w("номер объекта повторяется"));
    }
    if (!finish(r, kObjects)) {
        return false;
    }
    s.setObjectsForLoad(std::move(objs), nextId);
    return true;
}

bool Reader::run() {
    if (bytes_.size() < sizeof kMagic + 4 || !looksNative(bytes_)) {
        return fail(w("это не файл рабочей книги"));
    }
    pos_ = sizeof kMagic;
    const unsigned major = static_cast<unsigned char>(bytes_[pos_]) |
                           static_cast<unsigned>(static_cast<unsigned char>(bytes_[pos_ + 1])) << 8;
    pos_ += 4; // the minor version only adds chunks, which older readers skip
    if (major != kMajor) {
        return fail(w("версия файла ") + std::to_string(major) + w(" не поддерживается"));
    }
    Chunk c;
    if (!nextChunk(c)) {
        return false;
    }
    if (c.tag != kBook) {
        return fail(w("нет раздела BOOK"));
    }
    if (!readBook(c.payload)) {
        return false;
    }
    if (!nextChunk(c)) {
        return false;
    }
    if (c.tag != kStyles) {
        return fail(w("нет раздела STYL"));
    }
    if (!readStyles(c.payload)) {
        return false;
    }
    int sheet = 0;
    bool cellsRead = false, objectsRead = false;
    for (;;) {
        if (!nextChunk(c)) {
            return false;
        }
        if (c.tag == kEnd) {
            break;
        }
        if (c.tag == kSheet) {
            if (++sheet > sheets_) {
                return fail(w("листов больше, чем объявлено"));
            }
            cellsRead = objectsRead = false;
            if (!readSheet(c.payload, book_.sheet(sheet))) {
                return false;
            }
        } else if (c.tag == kCells || c.tag == kObjects) {
            bool& seen = c.tag == kCells ? cellsRead : objectsRead;
            if (sheet == 0 || seen) {
                return fail(w("раздел ") + c.tag + w(" не на своём месте"));
            }
            seen = true;
            bool ok = c.tag == kCells ? readCells(c.payload, book_.sheet(sheet))
                                      : readObjects(c.payload, book_.sheet(sheet));
            if (!ok) {
                return false;
            }
        }
        // Chunks of later minor versions are skipped.
    }
    if (sheet != sheets_) {
        return fail(w("листов меньше, чем объявлено"));
    }
    if (pos_ != bytes_.size()) {
        return fail(w("данные после конца файла"));
    }
    book_.setCurrentSheet(current_);
    return true;
}

} // namespace

bool looksNative(std::string_view head) {
    return head.size() >= sizeof kMagic &&
           head.compare(0, sizeof kMagic, std::string_view(kMagic, sizeof kMagic)) == 0;
}

bool read(std::string_view bytes, Workbook& book, std::string& error) {
    Workbook fresh;
    Reader reader(bytes, fresh);
    if (!reader.run()) {
        error = reader.error();
        return false;
    }
    fresh.setModified(false);
    book.swapContents(fresh);
    return true;
}

} // namespace fc::native
