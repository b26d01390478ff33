#include "components/format/XlsWriter.h"

#include "components/format/ByteIo_p.h"
#include "components/format/CompoundFile.h"
#include "components/format/ExcelCommon.h"
#include "components/format/FileType.h"
#include "components/format/SaveFile_p.h"
#include "components/format/XlsFormula.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace fc {

namespace {

using xls::ByteWriter;

constexpr std::size_t kMaxRecord = 8224;
constexpr int kMaxXf = 4000;            // Excel 97 refuses files with many more
constexpr std::size_t kMaxText = 32767; // characters in a cell
constexpr std::size_t kMaxResult = 255; // characters of a formula's text result

enum Rec : unsigned {
    kBof = 0x0809,
    kEof = 0x000A,
    kContinue = 0x003C,
    kFont = 0x0031,
    kFormat = 0x041E,
    kXf = 0x00E0,
    kStyle = 0x0293,
    kPalette = 0x0092,
    kBoundSheet = 0x0085,
    kSupBook = 0x01AE,
    kExternSheet = 0x0017,
    kName = 0x0018,
    kSst = 0x00FC,
    kExtSst = 0x00FF,
    kDimensions = 0x0200,
    kRow = 0x0208,
    kNumber = 0x0203,
    kRk = 0x027E,
    kMulRk = 0x00BD,
    kLabelSst = 0x00FD,
    kBoolErr = 0x0205,
    kBlank = 0x0201,
    kMulBlank = 0x00BE,
    kFormula = 0x0006,
    kString = 0x0207,
    kColInfo = 0x007D,
    kMergeCells = 0x00E5,
};

// Appends records to a stream; a record longer than the format allows continues in
// CONTINUE records.
class Records {
public:
    explicit Records(ByteWriter& w) : w_(w) {}

    void begin(unsigned id) {
        start_ = w_.size();
        w_.u16(id);
        w_.u16(0);
    }
    void end() { w_.put16(start_ + 2, static_cast<unsigned>(w_.size() - start_ - 4)); }
    std::size_t room() const { return kMaxRecord - (w_.size() - start_ - 4); }
    std::size_t recordStart() const { return start_; }
    void next() {
        end();
        begin(kContinue);
    }
    // A whole record from bytes already built.
    void put(unsigned id, const ByteWriter& body) {
        w_.u16(id);
        w_.u16(static_cast<unsigned>(body.size()));
        w_.raw(body.data(), body.size());
    }
    void empty(unsigned id) {
        w_.u16(id);
        w_.u16(0);
    }
    void u16rec(unsigned id, unsigned v) {
        w_.u16(id);
        w_.u16(2);
        w_.u16(v);
    }
    ByteWriter& w() { return w_; }

private:
    ByteWriter& w_;
    std::size_t start_ = 0;
};

bool compressible(std::u16string_view s) {
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x100; });
}

// XLUnicodeString (16-bit length) or ShortXLUnicodeString (8-bit length) into `w`.
void unicodeString(ByteWriter& w, std::u16string_view s, bool shortLength) {
    if (shortLength) {
        w.u8(static_cast<unsigned>(s.size()));
    } else {
        w.u16(static_cast<unsigned>(s.size()));
    }
    bool narrow = compressible(s);
    w.u8(narrow ? 0 : 1);
    for (char16_t c : s) {
        if (narrow) {
            w.u8(c);
        } else {
            w.u16(c);
        }
    }
}

// Number in the 30-bit RK form, when it round-trips exactly.
bool toRk(double d, std::uint32_t& rk) {
    if (d == std::floor(d) && d >= -536870912.0 && d < 536870912.0) {
        rk = (static_cast<std::uint32_t>(static_cast<std::int32_t>(d)) << 2) | 2u;
        return true;
    }
    double h = d * 100;
    if (h == std::floor(h) && h >= -536870912.0 && h < 536870912.0 &&
        static_cast<double>(static_cast<std::int32_t>(h)) / 100 == d) {
        rk = (static_cast<std::uint32_t>(static_cast<std::int32_t>(h)) << 2) | 3u;
        return true;
    }
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    if ((bits & 0x3FFFFFFFFull) == 0) {
        rk = static_cast<std::uint32_t>(bits >> 32);
        return true;
    }
    return false;
}

std::string sheetNameKey(const std::string& name) { return cp1251::upper(name); }

// Days from the 1900 count's day 0 (30 December 1899) to 1 January 1904, day 0 of the 1904
// count.
constexpr double kDays1904 = 1462;

class Builder {
public:
    explicit Builder(const Workbook& book) : book_(book), styles_(book.styles()) {
        xfOfStyle_.assign(styles_.size(), -1);
        xfOfStyle_[0] = 15;
        usedStyles_.push_back(0);
        nameSheets();
        date1904_ = book.date1904() && datesFit1904();
    }

    std::vector<std::uint8_t> build() {
        std::vector<ByteWriter> sheets(static_cast<std::size_t>(book_.numSheets()));
        for (int s = 1; s <= book_.numSheets(); ++s) {
            writeSheet(book_.sheet(s), s, sheets[static_cast<std::size_t>(s - 1)]);
        }
        ByteWriter globals;
        std::vector<std::size_t> sheetOffsetAt = writeGlobals(globals);
        std::size_t total = globals.size();
        for (const ByteWriter& s : sheets) {
            total += s.size();
        }
        ByteWriter& out = globals;
        out.reserve(total);
        for (std::size_t i = 0; i < sheets.size(); ++i) {
            out.put32(sheetOffsetAt[i], static_cast<std::uint32_t>(out.size()));
            out.raw(sheets[i].data(), sheets[i].size());
            sheets[i] = ByteWriter();
        }
        return xls::CompoundFile::build(u"Workbook", out.bytes());
    }

private:
    void nameSheets() {
        names_ = xls::excelSheetNames(book_);
        for (int s = 1; s <= book_.numSheets(); ++s) {
            sheetIndex_.emplace(sheetNameKey(book_.sheet(s).name()), s - 1);
        }
    }

    // A workbook read from a 1904-based file is written so again, unless it holds a date
    // before 1904, which that count cannot show.
    bool dateStyle(StyleId id) {
        if (dateStyle_.empty()) {
            dateStyle_.resize(styles_.size());
            for (std::size_t i = 0; i < styles_.size(); ++i) {
                dateStyle_[i] =
                    xls::isDateFormat(styles_.get(static_cast<StyleId>(i)).numberFormat);
            }
        }
        return id < dateStyle_.size() && dateStyle_[id];
    }
    bool datesFit1904() {
        for (int s = 1; s <= book_.numSheets(); ++s) {
            for (const Row& row : book_.sheet(s).rows()) {
                for (const Cell& c : row.cells) {
                    if (c.kind == ValueKind::Number && dateStyle(c.style) && c.number < kDays1904) {
                        return false;
                    }
                }
            }
        }
        return true;
    }
    // The number a cell holds as the file counts dates.
    double num(const Cell& c) {
        return date1904_ && dateStyle(c.style) ? c.number - kDays1904 : c.number;
    }

    int xfOf(StyleId id) {
        if (id >= xfOfStyle_.size()) {
            return 15;
        }
        int& xf = xfOfStyle_[id];
        if (xf < 0) {
            if (static_cast<int>(usedStyles_.size()) + 15 >= kMaxXf) {
                xf = 15;
            } else {
                xf = static_cast<int>(usedStyles_.size()) + 15;
                usedStyles_.push_back(id);
            }
        }
        return xf;
    }

    std::uint32_t sstIndex(std::string_view text) {
        ++sstTotal_;
        auto [it, added] = sst_.try_emplace(text, static_cast<std::uint32_t>(sstOrder_.size()));
        if (added) {
            sstOrder_.push_back(text);
        }
        return it->second;
    }

    // ---- worksheet

    void writeSheet(const Sheet& sh, int index, ByteWriter& w) {
        Records r(w);
        const PrintSettings& p = sh.print();
        bof(w, 0x0010);
        r.u16rec(0x000D, book_.autoRecalc() ? 1 : 0); // CALCMODE
        r.u16rec(0x000C, 100);                        // CALCCOUNT
        r.u16rec(0x000F, 1);                          // REFMODE: A1
        r.u16rec(0x0011, 0);                          // ITERATION
        {
            ByteWriter b;
            b.f64(0.001);
            r.put(0x0010, b); // DELTA
        }
        r.u16rec(0x005F, 1);                        // SAVERECALC
        r.u16rec(0x002A, p.rowColHeadings ? 1 : 0); // PRINTHEADERS
        r.u16rec(0x002B, p.gridLines ? 1 : 0);      // PRINTGRIDLINES
        r.u16rec(0x0082, 1);                        // GRIDSET
        {
            ByteWriter b;
            b.zeros(8);
            r.put(0x0080, b); // GUTS
        }
        {
            ByteWriter b;
            b.u16(0);
            b.u16(static_cast<unsigned>(std::clamp(sh.defaultRowHeight(), 1, 8191)));
            r.put(0x0225, b); // DEFAULTROWHEIGHT
        }
        r.u16rec(0x0081, 0x04C1 | (p.fitToPage ? 0x0100 : 0)); // WSBOOL
        pageBreaks(sh, r);
        headerFooter(0x0014, p.header, r);
        headerFooter(0x0015, p.footer, r);
        r.u16rec(0x0083, p.hCenter ? 1 : 0);
        r.u16rec(0x0084, p.vCenter ? 1 : 0);
        const double margins[4] = {p.leftMargin, p.rightMargin, p.topMargin, p.bottomMargin};
        for (unsigned i = 0; i < 4; ++i) {
            ByteWriter b;
            b.f64(margins[i]);
            r.put(0x0026 + i, b);
        }
        {
            ByteWriter b; // SETUP
            b.u16(static_cast<unsigned>(std::clamp(p.paperSize, 0, 255)));
            b.u16(static_cast<unsigned>(std::clamp(p.scale, 10, 400)));
            b.u16(1);
            b.u16(static_cast<unsigned>(std::clamp(p.fitHPages, 0, 32767)));
            b.u16(static_cast<unsigned>(std::clamp(p.fitVPages, 0, 32767)));
            b.u16((p.landscape ? 0 : 0x02) | (p.noColor ? 0x08 : 0));
            b.u16(600);
            b.u16(600);
            b.f64(p.headerMargin);
            b.f64(p.footerMargin);
            b.u16(static_cast<unsigned>(std::clamp(p.copies, 1, 32767)));
            r.put(0x00A1, b);
        }
        const int defWidth = std::clamp(sh.defaultColWidth(), 0, 255 * 256);
        r.u16rec(0x0055, static_cast<unsigned>((defWidth + 128) / 256)); // DEFCOLWIDTH
        columns(sh, defWidth - defWidth % 256 == defWidth ? defWidth : -1, r);
        cells(sh, w, r);
        window(sh, index, r);
        merges(sh, r);
        r.empty(kEof);
    }

    void bof(ByteWriter& w, unsigned type) {
        w.u16(kBof);
        w.u16(16);
        w.u16(0x0600);
        w.u16(type);
        w.u16(0x0DBB);
        w.u16(0x07CC);
        w.u32(0x00000041);
        w.u32(0x00000006);
    }

    void pageBreaks(const Sheet& sh, Records& r) {
        std::vector<int> rows, cols;
        for (int i = 2; i <= sh.storedRows(); ++i) {
            if (sh.rowPageBreak(i)) {
                rows.push_back(i - 1);
            }
        }
        for (int c = 2; c <= kMaxCols; ++c) {
            if (sh.colPageBreak(c)) {
                cols.push_back(c - 1);
            }
        }
        auto put = [&](unsigned id, const std::vector<int>& at, unsigned last) {
            if (at.empty()) {
                return;
            }
            ByteWriter b;
            std::size_t n = std::min<std::size_t>(at.size(), 1026);
            b.u16(static_cast<unsigned>(n));
            for (std::size_t i = 0; i < n; ++i) {
                b.u16(static_cast<unsigned>(at[i]));
                b.u16(0);
                b.u16(last);
            }
            r.put(id, b);
        };
        put(0x001B, rows, kMaxCols - 1);
        put(0x001A, cols, kMaxRows - 1);
    }

    void headerFooter(unsigned id, const std::string& text, Records& r) {
        if (text.empty()) {
            r.empty(id);
            return;
        }
        std::u16string u = xls::toUtf16(text.substr(0, 255));
        ByteWriter b;
        unicodeString(b, u, false);
        r.put(id, b);
    }

    void columns(const Sheet& sh, int defWidth, Records& r) {
        // Runs of equal columns share one COLINFO.
        int c = 1;
        while (c <= kMaxCols) {
            int width = std::clamp(sh.colWidth(c), 0, 255 * 256);
            bool hidden = sh.colHidden(c);
            bool own = sh.colHasOwnWidth(c) || hidden || defWidth < 0;
            int last = c;
            while (last < kMaxCols && std::clamp(sh.colWidth(last + 1), 0, 255 * 256) == width &&
                   sh.colHidden(last + 1) == hidden &&
                   (sh.colHasOwnWidth(last + 1) || sh.colHidden(last + 1) || defWidth < 0) == own) {
                ++last;
            }
            if (own) {
                ByteWriter b;
                b.u16(static_cast<unsigned>(c - 1));
                b.u16(static_cast<unsigned>(last - 1));
                b.u16(static_cast<unsigned>(width));
                b.u16(15);
                b.u16(hidden ? 1 : 0);
                b.u16(0);
                r.put(kColInfo, b);
            }
            c = last + 1;
        }
    }

    bool rowNeedsRecord(const Sheet& sh, int rr) const {
        const Row& row = sh.rows()[static_cast<std::size_t>(rr - 1)];
        return !row.cells.empty() || row.height >= 0 || row.hidden;
    }

    void cells(const Sheet& sh, ByteWriter& w, Records& r) {
        const int n = sh.storedRows();
        int firstRow = 0, lastRow = 0, firstCol = kMaxCols, lastCol = 0;
        for (int rr = 1; rr <= n; ++rr) {
            const Row& row = sh.rows()[static_cast<std::size_t>(rr - 1)];
            if (!row.cells.empty()) {
                if (!firstRow) {
                    firstRow = rr;
                }
                lastRow = rr;
                firstCol = std::min<int>(firstCol, row.cells.front().col);
                lastCol = std::max<int>(lastCol, row.cells.back().col);
            }
        }
        {
            ByteWriter b; // DIMENSIONS: first used and one past the last used
            b.u32(firstRow ? static_cast<std::uint32_t>(firstRow - 1) : 0);
            b.u32(static_cast<std::uint32_t>(lastRow));
            b.u16(lastCol ? static_cast<unsigned>(firstCol - 1) : 0);
            b.u16(static_cast<unsigned>(lastCol));
            b.u16(0);
            r.put(kDimensions, b);
        }
        // Blocks of 32 rows: the ROW records, then the cells of those rows.
        for (int block = 1; block <= n; block += 32) {
            const int end = std::min(n, block + 31);
            for (int rr = block; rr <= end; ++rr) {
                if (rowNeedsRecord(sh, rr)) {
                    rowRecord(sh, rr, w);
                }
            }
            for (int rr = block; rr <= end; ++rr) {
                rowCells(sh, rr, w, r);
            }
        }
    }

    void rowRecord(const Sheet& sh, int rr, ByteWriter& w) {
        const Row& row = sh.rows()[static_cast<std::size_t>(rr - 1)];
        w.u16(kRow);
        w.u16(16);
        w.u16(static_cast<unsigned>(rr - 1));
        w.u16(row.cells.empty() ? 0 : row.cells.front().col - 1u);
        w.u16(row.cells.empty() ? 0 : row.cells.back().col);
        w.u16(static_cast<unsigned>(std::clamp(sh.rowHeight(rr), 0, 8191)));
        w.u32(0);
        std::uint32_t flags = 0x0100 | 0x000F0000u; // reserved bit; default cell format 15
        if (row.hidden) {
            flags |= 0x20;
        }
        if (row.height >= 0) {
            flags |= 0x40;
        }
        w.u32(flags);
    }

    void rowCells(const Sheet& sh, int rr, ByteWriter& w, Records& r) {
        const Row& row = sh.rows()[static_cast<std::size_t>(rr - 1)];
        const std::vector<Cell>& cs = row.cells;
        const unsigned rw = static_cast<unsigned>(rr - 1);
        std::size_t i = 0;
        while (i < cs.size()) {
            const Cell& c = cs[i];
            if (c.formula) {
                formulaCell(sh, rr, c, w, r);
                ++i;
                continue;
            }
            // Runs of RK numbers and of blanks in adjacent columns go in one record.
            std::uint32_t rk;
            if (c.kind == ValueKind::Number && toRk(num(c), rk)) {
                std::size_t j = i + 1;
                std::uint32_t tmp;
                while (j < cs.size() && cs[j].col == cs[j - 1].col + 1 && !cs[j].formula &&
                       cs[j].kind == ValueKind::Number && toRk(num(cs[j]), tmp)) {
                    ++j;
                }
                if (j - i == 1) {
                    w.u16(kRk);
                    w.u16(10);
                    w.u16(rw);
                    w.u16(c.col - 1u);
                    w.u16(static_cast<unsigned>(xfOf(c.style)));
                    w.u32(rk);
                } else {
                    w.u16(kMulRk);
                    w.u16(static_cast<unsigned>(6 + 6 * (j - i)));
                    w.u16(rw);
                    w.u16(c.col - 1u);
                    for (std::size_t k = i; k < j; ++k) {
                        toRk(num(cs[k]), tmp);
                        w.u16(static_cast<unsigned>(xfOf(cs[k].style)));
                        w.u32(tmp);
                    }
                    w.u16(cs[j - 1].col - 1u);
                }
                i = j;
                continue;
            }
            if (c.kind == ValueKind::Empty) {
                std::size_t j = i + 1;
                while (j < cs.size() && cs[j].col == cs[j - 1].col + 1 && !cs[j].formula &&
                       cs[j].kind == ValueKind::Empty) {
                    ++j;
                }
                if (j - i == 1) {
                    w.u16(kBlank);
                    w.u16(6);
                    w.u16(rw);
                    w.u16(c.col - 1u);
                    w.u16(static_cast<unsigned>(xfOf(c.style)));
                } else {
                    w.u16(kMulBlank);
                    w.u16(static_cast<unsigned>(6 + 2 * (j - i)));
                    w.u16(rw);
                    w.u16(c.col - 1u);
                    for (std::size_t k = i; k < j; ++k) {
                        w.u16(static_cast<unsigned>(xfOf(cs[k].style)));
                    }
                    w.u16(cs[j - 1].col - 1u);
                }
                i = j;
                continue;
            }
            valueCell(rw, c.col - 1u, xfOf(c.style), c, w);
            ++i;
        }
    }

    // Texts are taken from the cell itself: the string table keeps views of them.
    void valueCell(unsigned rw, unsigned col, int xf, const Cell& v, ByteWriter& w) {
        switch (v.kind) {
        case ValueKind::Number: {
            std::uint32_t rk;
            const double d = num(v);
            if (toRk(d, rk)) {
                w.u16(kRk);
                w.u16(10);
                w.u16(rw);
                w.u16(col);
                w.u16(static_cast<unsigned>(xf));
                w.u32(rk);
            } else {
                w.u16(kNumber);
                w.u16(14);
                w.u16(rw);
                w.u16(col);
                w.u16(static_cast<unsigned>(xf));
                w.f64(std::isfinite(d) ? d : 0);
            }
            return;
        }
        case ValueKind::Text:
        case ValueKind::Empty:
            w.u16(kLabelSst);
            w.u16(10);
            w.u16(rw);
            w.u16(col);
            w.u16(static_cast<unsigned>(xf));
            w.u32(sstIndex(v.kind == ValueKind::Text ? std::string_view(v.text) : ""));
            return;
        case ValueKind::Boolean:
        case ValueKind::Error:
            w.u16(kBoolErr);
            w.u16(8);
            w.u16(rw);
            w.u16(col);
            w.u16(static_cast<unsigned>(xf));
            w.u8(v.kind == ValueKind::Boolean ? (v.number != 0 ? 1 : 0) : errorCode(v.error));
            w.u8(v.kind == ValueKind::Error ? 1 : 0);
            return;
        }
    }

    static unsigned errorCode(ErrorCode e) {
        switch (e) {
        case ErrorCode::Null: return 0x00;
        case ErrorCode::Div0: return 0x07;
        case ErrorCode::Value: return 0x0F;
        case ErrorCode::Ref: return 0x17;
        case ErrorCode::Name: return 0x1D;
        case ErrorCode::Num: return 0x24;
        case ErrorCode::NA:
        case ErrorCode::None: return 0x2A;
        }
        return 0x2A;
    }

    void formulaCell(const Sheet& sh, int rr, const Cell& c, ByteWriter& w, Records& r) {
        const unsigned rw = static_cast<unsigned>(rr - 1), col = c.col - 1u;
        const int xf = xfOf(c.style);
        const FormulaSlot* slot = sh.formulaSlot(c);
        const Cell& v = c;
        tokens_.clear();
        bool ok = slot && xls::compileFormula(
                              slot->source,
                              [this](std::string_view name) {
                                  auto it = sheetIndex_.find(sheetNameKey(std::string(name)));
                                  return it == sheetIndex_.end() ? -1 : it->second;
                              },
                              tokens_);
        if (!ok) {
            if (v.kind != ValueKind::Empty) {
                valueCell(rw, col, xf, v, w);
            } else if (c.style != 0) {
                w.u16(kBlank);
                w.u16(6);
                w.u16(rw);
                w.u16(col);
                w.u16(static_cast<unsigned>(xf));
            }
            return;
        }
        ByteWriter b;
        b.u16(rw);
        b.u16(col);
        b.u16(static_cast<unsigned>(xf));
        switch (v.kind) {
        case ValueKind::Number: b.f64(std::isfinite(v.number) ? num(v) : 0); break;
        case ValueKind::Text:
            b.u8(v.text.empty() ? 3 : 0);
            b.zeros(5);
            b.u16(0xFFFF);
            break;
        case ValueKind::Boolean:
        case ValueKind::Error:
            b.u8(v.kind == ValueKind::Boolean ? 1 : 2);
            b.u8(0);
            b.u8(v.kind == ValueKind::Boolean ? (v.number != 0 ? 1 : 0) : errorCode(v.error));
            b.zeros(3);
            b.u16(0xFFFF);
            break;
        case ValueKind::Empty:
            b.u8(3); // an empty text: the result is unknown until recalculated
            b.zeros(5);
            b.u16(0xFFFF);
            break;
        }
        b.u16(0x0002); // recalculate on load: results here may be stale
        b.u32(0);
        b.u16(static_cast<unsigned>(tokens_.size()));
        b.raw(tokens_.data(), tokens_.size());
        r.put(kFormula, b);
        if (v.kind == ValueKind::Text && !v.text.empty()) {
            ByteWriter s;
            unicodeString(s, xls::toUtf16(std::string_view(v.text).substr(0, kMaxResult)), false);
            r.put(kString, s);
        }
    }

    void window(const Sheet& sh, int index, Records& r) {
        const ViewOptions& v = book_.view();
        const bool frozen = sh.fixedRows() > 0 || sh.fixedCols() > 0;
        const bool active = index == book_.currentSheet();
        unsigned grbit = 0x0020 | 0x0080; // default header colour, outline symbols
        grbit |= v.showFormulas ? 0x0001 : 0;
        grbit |= v.showGridLines ? 0x0002 : 0;
        grbit |= (v.showRowHeading || v.showColHeading) ? 0x0004 : 0;
        grbit |= frozen ? 0x0008 | 0x0100 : 0;
        grbit |= v.showZeroValues ? 0x0010 : 0;
        grbit |= active ? 0x0200 | 0x0400 : 0;
        const int topFrozen = sh.fixedRows() > 0 ? sh.fixedRow() : sh.topRow();
        const int leftFrozen = sh.fixedCols() > 0 ? sh.fixedCol() : sh.leftCol();
        ByteWriter b;
        b.u16(grbit);
        b.u16(static_cast<unsigned>(topFrozen - 1));
        b.u16(static_cast<unsigned>(leftFrozen - 1));
        b.u32(64);
        b.u16(0);
        b.u16(v.viewScale == 100 ? 0 : static_cast<unsigned>(std::clamp(v.viewScale, 10, 400)));
        b.u32(0);
        r.put(0x023E, b);
        if (v.viewScale != 100) {
            ByteWriter s;
            s.u16(static_cast<unsigned>(std::clamp(v.viewScale, 10, 400)));
            s.u16(100);
            r.put(0x00A0, s);
        }
        if (frozen) {
            const int x = sh.fixedCols(), y = sh.fixedRows();
            ByteWriter p;
            p.u16(static_cast<unsigned>(x));
            p.u16(static_cast<unsigned>(y));
            p.u16(static_cast<unsigned>(
                std::clamp(std::max(sh.topRow(), topFrozen + y), 1, kMaxRows) - 1));
            p.u16(static_cast<unsigned>(
                std::clamp(std::max(sh.leftCol(), leftFrozen + x), 1, kMaxCols) - 1));
            p.u8(x && y ? 0 : (y ? 2 : 1));
            p.u8(0);
            r.put(0x0041, p);
        }
    }

    void merges(const Sheet& sh, Records& r) {
        const auto& m = sh.merges();
        for (std::size_t at = 0; at < m.size(); at += 1026) {
            std::size_t n = std::min<std::size_t>(1026, m.size() - at);
            ByteWriter b;
            b.u16(static_cast<unsigned>(n));
            for (std::size_t i = at; i < at + n; ++i) {
                CellRange g = m[i].clamped();
                b.u16(static_cast<unsigned>(g.r1 - 1));
                b.u16(static_cast<unsigned>(g.r2 - 1));
                b.u16(static_cast<unsigned>(g.c1 - 1));
                b.u16(static_cast<unsigned>(g.c2 - 1));
            }
            r.put(kMergeCells, b);
        }
    }

    // ---- workbook globals

    int fontIndex(const Font& f) {
        for (std::size_t i = 0; i < fonts_.size(); ++i) {
            if (fonts_[i] == f) {
                return i < 4 ? static_cast<int>(i) : static_cast<int>(i) + 1;
            }
        }
        fonts_.push_back(f);
        std::size_t i = fonts_.size() - 1;
        return i < 4 ? static_cast<int>(i) : static_cast<int>(i) + 1; // index 4 does not exist
    }

    int formatIndex(const std::string& modelFormat) {
        std::string code = xls::toExcelFormat(modelFormat);
        int b = xls::builtinFormatIndex(code);
        if (b >= 0) {
            return b;
        }
        for (std::size_t i = 0; i < formats_.size(); ++i) {
            if (formats_[i] == code) {
                return 164 + static_cast<int>(i);
            }
        }
        formats_.push_back(code);
        return 163 + static_cast<int>(formats_.size());
    }

    void collectColors() {
        std::vector<Color> used;
        for (StyleId id : usedStyles_) {
            const Style& s = styles_.get(id);
            used.push_back(s.font.color);
            used.push_back(s.fill.fg);
            used.push_back(s.fill.bg);
            for (const Border& b : s.borders) {
                if (b.style != BorderStyle::None) {
                    used.push_back(b.color);
                }
            }
        }
        palette_.build(used);
    }

    void fontRecord(const Font& f, Records& r) {
        ByteWriter b;
        b.u16(static_cast<unsigned>(std::clamp(std::lround(f.size * 20), 20L, 8191L)));
        b.u16((f.bold ? 0x01 : 0) | (f.italic ? 0x02 : 0) | (f.strikeout ? 0x08 : 0));
        b.u16(f.color == kAutoColor ? 0x7FFF : static_cast<unsigned>(palette_.index(f.color, 0)));
        b.u16(f.bold ? 700 : 400);
        b.u16(0);
        b.u8(f.underline ? 1 : 0);
        b.u8(0);
        b.u8(204); // Cyrillic character set: the program's texts are Russian
        b.u8(0);
        std::u16string name = xls::toUtf16(f.name.empty() ? std::string("Arial") : f.name);
        unicodeString(b, std::u16string_view(name).substr(0, 31), true);
        r.put(kFont, b);
    }

    void xfRecord(const Style& s, int font, int format, bool styleXf, Records& r) {
        ByteWriter b;
        b.u16(static_cast<unsigned>(font));
        b.u16(static_cast<unsigned>(format));
        b.u16(styleXf ? 0xFFF5 : 0x0001);
        static const unsigned kH[] = {0, 1, 2, 3, 4, 5, 6};
        static const unsigned kV[] = {0, 1, 2};
        b.u8(kH[static_cast<int>(s.halign)] | (s.wrap ? 0x08 : 0) |
             (kV[static_cast<int>(s.valign)] << 4));
        b.u8(0);
        b.u8(0);
        b.u8(styleXf ? 0 : 0xFC);
        auto line = [&](BorderSide side) {
            return static_cast<std::uint32_t>(s.border(side).style) & 0x0F;
        };
        auto colour = [&](BorderSide side) {
            const Border& bd = s.border(side);
            return static_cast<std::uint32_t>(
                bd.style == BorderStyle::None ? 0 : palette_.index(bd.color, 64));
        };
        b.u32(line(BorderSide::Left) | (line(BorderSide::Right) << 4) |
              (line(BorderSide::Top) << 8) | (line(BorderSide::Bottom) << 12) |
              (colour(BorderSide::Left) << 16) | (colour(BorderSide::Right) << 23));
        const unsigned pattern = std::min<unsigned>(s.fill.pattern, 18);
        b.u32(colour(BorderSide::Top) | (colour(BorderSide::Bottom) << 7) |
              (static_cast<std::uint32_t>(pattern) << 26));
        unsigned fg = pattern ? static_cast<unsigned>(palette_.index(s.fill.fg, 64)) : 64;
        unsigned bg = pattern ? static_cast<unsigned>(palette_.index(s.fill.bg, 65)) : 65;
        b.u16(fg | (bg << 7));
        r.put(kXf, b);
    }

    // Returns, per sheet, where its BOUNDSHEET record keeps the sheet's stream offset.
    std::vector<std::size_t> writeGlobals(ByteWriter& w) {
        Records r(w);
        collectColors();
        const Style& normal = styles_.get(0);
        for (int i = 0; i < 4; ++i) {
            fonts_.push_back(normal.font);
        }
        std::vector<std::pair<int, int>> xfFonts;
        for (StyleId id : usedStyles_) {
            const Style& s = styles_.get(id);
            xfFonts.emplace_back(fontIndex(s.font), formatIndex(s.numberFormat));
        }
        bof(w, 0x0005);
        r.u16rec(0x00E1, 0x04B0); // INTERFACEHDR
        r.u16rec(0x00C1, 0);      // MMS
        r.empty(0x00E2);          // INTERFACEEND
        {
            ByteWriter b; // WRITEACCESS: a blank user name
            b.u16(0);
            b.u8(0);
            b.raw(std::string(109, ' ').data(), 109);
            r.put(0x005C, b);
        }
        r.u16rec(0x0042, 0x04B0); // CODEPAGE: UTF-16
        r.u16rec(0x0161, 0);      // DSF
        {
            ByteWriter b; // TABID
            for (int s = 1; s <= book_.numSheets(); ++s) {
                b.u16(static_cast<unsigned>(s));
            }
            r.put(0x013D, b);
        }
        r.u16rec(0x009C, 14); // FNGROUPCOUNT
        r.u16rec(0x0019, 0);  // WINDOWPROTECT
        r.u16rec(0x0012, 0);  // PROTECT
        r.u16rec(0x0013, 0);  // PASSWORD
        r.u16rec(0x01AF, 0);  // PROT4REV
        r.u16rec(0x01BC, 0);  // PROT4REVPASS
        {
            const ViewOptions& v = book_.view();
            ByteWriter b; // WINDOW1
            b.u16(0x0168);
            b.u16(0x001E);
            b.u16(0x3A5C);
            b.u16(0x2328);
            b.u16((v.showHScrollBar ? 0x08 : 0) | (v.showVScrollBar ? 0x10 : 0) |
                  ((v.showTabs || book_.numSheets() > 1) ? 0x20 : 0));
            b.u16(static_cast<unsigned>(book_.currentSheet() - 1));
            b.u16(0);
            b.u16(1);
            b.u16(0x0258);
            r.put(0x003D, b);
        }
        r.u16rec(0x0040, 0);                 // BACKUP
        r.u16rec(0x008D, 0);                 // HIDEOBJ
        r.u16rec(0x0022, date1904_ ? 1 : 0); // DATEMODE
        r.u16rec(0x000E, 1);                 // PRECISION: full
        r.u16rec(0x01B7, 0);                 // REFRESHALL
        r.u16rec(0x00DA, 0);                 // BOOKBOOL
        for (const Font& f : fonts_) {
            fontRecord(f, r);
        }
        for (std::size_t i = 0; i < formats_.size(); ++i) {
            ByteWriter b;
            b.u16(164 + static_cast<unsigned>(i));
            unicodeString(b, xls::toUtf16(formats_[i]).substr(0, 255), false);
            r.put(kFormat, b);
        }
        // Fifteen style formats (the Normal style and the built-in ones), then the cells'.
        const int normalFormat = formatIndex(normal.numberFormat);
        for (int i = 0; i < 15; ++i) {
            xfRecord(normal, 0, i == 0 ? normalFormat : 0, true, r);
        }
        for (std::size_t i = 0; i < usedStyles_.size(); ++i) {
            xfRecord(styles_.get(usedStyles_[i]), xfFonts[i].first, xfFonts[i].second, false, r);
        }
        {
            ByteWriter b; // STYLE: Normal
            b.u16(0x8000);
            b.u8(0);
            b.u8(0xFF);
            r.put(kStyle, b);
        }
        {
            ByteWriter b;
            b.u16(56);
            for (Color c : palette_.entries()) {
                b.u8(static_cast<unsigned>(redOf(c)));
                b.u8(static_cast<unsigned>(greenOf(c)));
                b.u8(static_cast<unsigned>(blueOf(c)));
                b.u8(0);
            }
            r.put(kPalette, b);
        }
        r.u16rec(0x0160, 1); // USESELFS
        std::vector<std::size_t> offsets;
        for (const std::string& name : names_) {
            ByteWriter b;
            b.u32(0);
            b.u8(0);
            b.u8(0);
            unicodeString(b, xls::toUtf16(name), true);
            offsets.push_back(w.size() + 4);
            r.put(kBoundSheet, b);
        }
        {
            ByteWriter b; // COUNTRY: Russia
            b.u16(7);
            b.u16(7);
            r.put(0x008C, b);
        }
        // References to sheets (formulas, print ranges) go through one entry per sheet.
        {
            ByteWriter b;
            b.u16(static_cast<unsigned>(book_.numSheets()));
            b.u16(0x0401);
            r.put(kSupBook, b);
            ByteWriter e;
            e.u16(static_cast<unsigned>(book_.numSheets()));
            for (int s = 0; s < book_.numSheets(); ++s) {
                e.u16(0);
                e.u16(static_cast<unsigned>(s));
                e.u16(static_cast<unsigned>(s));
            }
            r.put(kExternSheet, e);
        }
        for (int s = 1; s <= book_.numSheets(); ++s) {
            printNames(book_.sheet(s), s, r);
        }
        sstRecords(r);
        r.empty(kEof);
        return offsets;
    }

    static void area3d(ByteWriter& b, int sheet, int r1, int r2, int c1, int c2) {
        b.u8(0x3B);
        b.u16(static_cast<unsigned>(sheet));
        b.u16(static_cast<unsigned>(r1 - 1));
        b.u16(static_cast<unsigned>(r2 - 1));
        b.u16(static_cast<unsigned>(c1 - 1));
        b.u16(static_cast<unsigned>(c2 - 1));
    }

    void nameRecord(int sheet, unsigned builtin, const std::vector<CellRange>& areas, Records& r) {
        ByteWriter f;
        if (areas.size() > 1) {
            f.u8(0x29); // the areas and their unions form one sub-expression
            f.u16(static_cast<unsigned>(areas.size() * 11 + areas.size() - 1));
        }
        for (std::size_t i = 0; i < areas.size(); ++i) {
            area3d(f, sheet - 1, areas[i].r1, areas[i].r2, areas[i].c1, areas[i].c2);
            if (i > 0) {
                f.u8(0x10);
            }
        }
        ByteWriter b;
        b.u16(0x0020); // built-in name
        b.u8(0);
        b.u8(1);
        b.u16(static_cast<unsigned>(f.size()));
        b.u16(0);
        b.u16(static_cast<unsigned>(sheet));
        b.u32(0);
        b.u8(0);
        b.u8(builtin);
        b.raw(f.data(), f.size());
        r.put(kName, b);
    }

    void printNames(const Sheet& sh, int sheet, Records& r) {
        std::vector<CellRange> area = xls::parsePrintArea(sh.print().area);
        if (area.size() > 50) {
            area.resize(50);
        }
        if (!area.empty()) {
            nameRecord(sheet, 0x06, area, r);
        }
        xls::PrintTitles t = xls::parsePrintTitles(sh.print().titles);
        std::vector<CellRange> titles;
        if (t.rows) {
            titles.push_back({t.rows->first, 1, t.rows->second, kMaxCols});
        }
        if (t.cols) {
            titles.push_back({1, t.cols->first, kMaxRows, t.cols->second});
        }
        if (!titles.empty()) {
            nameRecord(sheet, 0x07, titles, r);
        }
    }

    void sstRecords(Records& r) {
        ByteWriter& w = r.w();
        const std::size_t count = sstOrder_.size();
        const std::size_t perBucket = std::max<std::size_t>(8, (count + 127) / 128);
        std::vector<std::pair<std::uint32_t, unsigned>> buckets;
        r.begin(kSst);
        w.u32(static_cast<std::uint32_t>(sstTotal_));
        w.u32(static_cast<std::uint32_t>(count));
        std::u16string u;
        for (std::size_t i = 0; i < count; ++i) {
            std::string_view text = sstOrder_[i].substr(0, kMaxText);
            u.clear();
            bool narrow = true;
            for (char c : text) {
                char16_t ch =
                    static_cast<unsigned char>(c) < 0x80
                        ? static_cast<char16_t>(c)
                        : static_cast<char16_t>(cp1251::toUnicode(static_cast<unsigned char>(c)));
                narrow = narrow && ch < 0x100;
                u.push_back(ch);
            }
            const std::size_t charSize = narrow ? 1 : 2;
            // The header and the first character stay in one record.
            if (r.room() < 3 + charSize) {
                r.next();
            }
            if (i % perBucket == 0) {
                buckets.emplace_back(static_cast<std::uint32_t>(w.size()),
                                     static_cast<unsigned>(w.size() - r.recordStart()));
            }
            w.u16(static_cast<unsigned>(u.size()));
            w.u8(narrow ? 0 : 1);
            std::size_t done = 0;
            while (done < u.size()) {
                std::size_t n = std::min(u.size() - done, r.room() / charSize);
                if (n == 0) {
                    r.next();
                    w.u8(narrow ? 0 : 1); // each continued piece restates the width
                    continue;
                }
                for (std::size_t k = done; k < done + n; ++k) {
                    if (narrow) {
                        w.u8(u[k]);
                    } else {
                        w.u16(u[k]);
                    }
                }
                done += n;
            }
        }
        r.end();
        ByteWriter b;
        b.u16(static_cast<unsigned>(perBucket));
        for (const auto& [pos, off] : buckets) {
            b.u32(pos);
            b.u16(off);
            b.u16(0);
        }
        r.put(kExtSst, b);
    }

    const Workbook& book_;
    const StyleTable& styles_;
    std::vector<bool> dateStyle_;
    bool date1904_ = false;
    std::vector<int> xfOfStyle_;
    std::vector<StyleId> usedStyles_;
    std::vector<Font> fonts_;
    std::vector<std::string> formats_;
    xls::Palette palette_;
    std::unordered_map<std::string_view, std::uint32_t> sst_;
    std::vector<std::string_view> sstOrder_;
    std::size_t sstTotal_ = 0;
    std::vector<std::string> names_;
    std::unordered_map<std::string, int> sheetIndex_;
    std::vector<std::uint8_t> tokens_;
};

} // namespace

std::vector<std::uint8_t> xlsBytes(const Workbook& book) {
    book.recalcIfNeeded();
    return Builder(book).build();
}

bool writeXls(const QString& path, const Workbook& book, std::string& error) {
    return xls::saveWhole(path, xlsBytes(book), error);
}

bool writeXls(const std::string& path, const Workbook& book, std::string& error) {
    return writeXls(workbookPath(path), book, error);
}

} // namespace fc
