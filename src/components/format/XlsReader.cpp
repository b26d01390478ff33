#include "components/format/XlsReader.h"

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
#include <map>

namespace fc {

namespace {

using xls::get16;
using xls::get32;
using xls::getF64;

constexpr int kMaxSheets = 1000;

std::string damaged() { return w("Файл повреждён: неверная запись книги Excel 97"); }

// One record with its CONTINUE records joined; `breaks` are the offsets where a
// continuation began (texts restate their character width there).
struct Record {
    unsigned id = 0;
    const std::uint8_t* p = nullptr;
    std::size_t n = 0;
    std::vector<std::size_t> breaks;
};

class Records {
public:
    Records(const std::vector<std::uint8_t>& s, std::size_t at) : s_(s), pos_(at) {}

    // False at the end of the stream or on a record that runs past it.
    bool next(Record& r) {
        if (pos_ + 4 > s_.size()) {
            return false;
        }
        r.id = get16(&s_[pos_]);
        std::size_t len = get16(&s_[pos_ + 2]);
        if (pos_ + 4 + len > s_.size()) {
            broken_ = true;
            return false;
        }
        r.p = s_.data() + pos_ + 4;
        r.n = len;
        r.breaks.clear();
        pos_ += 4 + len;
        // Only these records continue; others keep a following CONTINUE to themselves.
        // (A FORMULA record never continues: the reader keeps pointing into the stream.)
        if (r.id != 0x00FC && r.id != 0x0207 && r.id != 0x0018 && r.id != 0x041E &&
            r.id != 0x00E5) {
            return true;
        }
        bool joined = false;
        while (pos_ + 4 <= s_.size() && get16(&s_[pos_]) == 0x003C) {
            std::size_t clen = get16(&s_[pos_ + 2]);
            if (pos_ + 4 + clen > s_.size()) {
                broken_ = true;
                return false;
            }
            if (!joined) {
                buf_.assign(r.p, r.p + r.n);
                joined = true;
            }
            r.breaks.push_back(buf_.size());
            buf_.insert(buf_.end(), s_.begin() + static_cast<std::ptrdiff_t>(pos_ + 4),
                        s_.begin() + static_cast<std::ptrdiff_t>(pos_ + 4 + clen));
            pos_ += 4 + clen;
        }
        if (joined) {
            r.p = buf_.data();
            r.n = buf_.size();
        }
        return true;
    }
    bool broken() const { return broken_; }
    // The id of the next record, or 0 at the end.
    unsigned peek() const { return pos_ + 4 <= s_.size() ? get16(&s_[pos_]) : 0; }

private:
    const std::vector<std::uint8_t>& s_;
    std::size_t pos_;
    std::vector<std::uint8_t> buf_;
    bool broken_ = false;
};

// Reads the strings of a record, minding the width flag restated after each break.
class TextReader {
public:
    explicit TextReader(const Record& r) : r_(r) {}
    std::size_t pos = 0;

    bool u8(unsigned& v) {
        if (pos + 1 > r_.n) {
            return false;
        }
        v = r_.p[pos++];
        return true;
    }
    bool u16(unsigned& v) {
        if (pos + 2 > r_.n) {
            return false;
        }
        v = get16(r_.p + pos);
        pos += 2;
        return true;
    }
    bool u32(std::uint32_t& v) {
        if (pos + 4 > r_.n) {
            return false;
        }
        v = get32(r_.p + pos);
        pos += 4;
        return true;
    }
    bool skip(std::size_t k) {
        if (pos + k > r_.n) {
            return false;
        }
        pos += k;
        return true;
    }
    // A Unicode string with the given length field size; rich text and phonetic data
    // are skipped.
    bool string(bool shortLength, std::string& out) {
        unsigned cch = 0, flags = 0;
        if (shortLength ? !u8(cch) : !u16(cch)) {
            return false;
        }
        if (!u8(flags)) {
            return false;
        }
        unsigned runs = 0;
        std::uint32_t ext = 0;
        if ((flags & 0x08) && !u16(runs)) {
            return false;
        }
        if ((flags & 0x04) && !u32(ext)) {
            return false;
        }
        bool wide = flags & 1;
        out.clear();
        out.reserve(cch);
        for (unsigned i = 0; i < cch; ++i) {
            if (atBreak()) {
                unsigned f;
                if (!u8(f)) {
                    return false;
                }
                wide = f & 1;
            }
            unsigned ch;
            if (wide ? !u16(ch) : !u8(ch)) {
                return false;
            }
            out.push_back(ch < 0x80 ? static_cast<char>(ch)
                                    : static_cast<char>(cp1251::fromUnicode(ch)));
        }
        return skip(runs * 4u) && skip(ext);
    }

private:
    bool atBreak() const { return std::binary_search(r_.breaks.begin(), r_.breaks.end(), pos); }
    const Record& r_;
};

double fromRk(std::uint32_t rk) {
    double d;
    if (rk & 2) {
        d = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        std::uint64_t bits = std::uint64_t(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&d, &bits, 8);
    }
    return (rk & 1) ? d / 100 : d;
}

ErrorCode errorOf(unsigned code) {
    switch (code) {
    case 0x00: return ErrorCode::Null;
    case 0x07: return ErrorCode::Div0;
    case 0x0F: return ErrorCode::Value;
    case 0x17: return ErrorCode::Ref;
    case 0x1D: return ErrorCode::Name;
    case 0x24: return ErrorCode::Num;
    default: return ErrorCode::NA;
    }
}

struct FontRec {
    Font font;
    int colorIndex = 0x7FFF;
};

struct XfRec {
    int font = 0;
    int format = 0;
    std::uint8_t align = 0;
    std::uint32_t border1 = 0, border2 = 0;
    unsigned fill = 0;
};

struct SheetRec {
    std::string name;
    std::size_t offset = 0;
};

struct NameRec {
    int sheet = 0; // 1-based
    unsigned builtin = 0;
    std::vector<CellRange> areas;
};

class Reader {
public:
    Reader(const std::vector<std::uint8_t>& s, Workbook& book) : s_(s), book_(book) {}

    // The file counts its dates from 1904.
    bool date1904() const { return date1904_; }

    bool run(std::string& error) {
        if (!globals(error)) {
            return false;
        }
        if (sheets_.empty()) {
            error = w("В книге Excel нет ни одного листа");
            return false;
        }
        book_.setNumSheets(static_cast<int>(sheets_.size()));
        for (std::size_t i = 0; i < sheets_.size(); ++i) {
            Sheet& sh = book_.sheet(static_cast<int>(i) + 1);
            if (!sheets_[i].name.empty()) {
                sh.setName(sheets_[i].name);
            }
            if (!sheet(sh, sheets_[i].offset, static_cast<int>(i) + 1, error)) {
                return false;
            }
        }
        for (const NameRec& n : names_) {
            if (n.sheet < 1 || n.sheet > book_.numSheets()) {
                continue;
            }
            PrintSettings& p = book_.sheet(n.sheet).print();
            if (n.builtin == 0x06) {
                p.area = xls::printAreaText(n.areas);
            } else {
                xls::PrintTitles t;
                for (const CellRange& a : n.areas) {
                    if (a.c1 == 1 && a.c2 == kMaxCols) {
                        t.rows = std::make_pair(a.r1, a.r2);
                    } else if (a.r1 == 1 && a.r2 == kMaxRows) {
                        t.cols = std::make_pair(a.c1, a.c2);
                    }
                }
                p.titles = xls::printTitlesText(t);
            }
        }
        book_.setCurrentSheet(std::clamp(activeSheet_ + 1, 1, book_.numSheets()));
        book_.setModified(false);
        return true;
    }

private:
    bool globals(std::string& error) {
        Records rs(s_, 0);
        Record r;
        if (!rs.next(r) || r.id != 0x0809 || r.n < 4) {
            error = w("Файл не является книгой Excel 97");
            return false;
        }
        if (get16(r.p) != 0x0600) {
            error = w("Книги Excel версий до 97 не поддерживаются");
            return false;
        }
        std::vector<std::pair<int, int>> xti; // supbook, first sheet
        std::vector<bool> internalBook;
        while (rs.next(r)) {
            TextReader t(r);
            switch (r.id) {
            case 0x000A: return finishGlobals(xti, internalBook);
            case 0x0031: font(r); break;
            case 0x041E: {
                unsigned ifmt;
                std::string code;
                if (t.u16(ifmt) && t.string(false, code)) {
                    formats_[static_cast<int>(ifmt)] = xls::fromExcelFormat(code);
                }
                break;
            }
            case 0x00E0:
                if (r.n >= 20) {
                    XfRec x;
                    x.font = static_cast<int>(get16(r.p));
                    x.format = static_cast<int>(get16(r.p + 2));
                    x.align = r.p[6];
                    x.border1 = get32(r.p + 10);
                    x.border2 = get32(r.p + 14);
                    x.fill = get16(r.p + 18);
                    xfs_.push_back(x);
                }
                break;
            case 0x0092: {
                unsigned n;
                if (t.u16(n)) {
                    for (unsigned i = 0; i < n && i < 56 && 2 + i * 4 + 3 <= r.n; ++i) {
                        const std::uint8_t* q = r.p + 2 + i * 4;
                        palette_.setEntry(static_cast<int>(i) + 8, rgb(q[0], q[1], q[2]));
                    }
                }
                break;
            }
            case 0x0085: {
                std::uint32_t off;
                unsigned state, type;
                SheetRec sr;
                if (t.u32(off) && t.u8(state) && t.u8(type) && t.string(true, sr.name) &&
                    type == 0 && static_cast<int>(sheets_.size()) < kMaxSheets) {
                    sr.offset = off;
                    sheets_.push_back(sr);
                }
                break;
            }
            case 0x003D:
                if (r.n >= 12) {
                    activeSheet_ = static_cast<int>(get16(r.p + 10));
                }
                break;
            case 0x0022: date1904_ = r.n >= 2 && get16(r.p) == 1; break;
            case 0x00FC: sst(r); break;
            case 0x01AE: internalBook.push_back(r.n >= 4 && get16(r.p + 2) == 0x0401); break;
            case 0x0017: {
                unsigned n;
                if (t.u16(n)) {
                    for (unsigned i = 0; i < n; ++i) {
                        unsigned sb, first, last;
                        if (!t.u16(sb) || !t.u16(first) || !t.u16(last)) {
                            break;
                        }
                        xti.emplace_back(static_cast<int>(sb), static_cast<int>(first));
                    }
                }
                break;
            }
            case 0x0018: name(r); break;
            default: break;
            }
        }
        error = damaged();
        return false;
    }

    bool finishGlobals(const std::vector<std::pair<int, int>>& xti,
                       const std::vector<bool>& internalBook) {
        for (const auto& [sb, first] : xti) {
            bool internal = sb >= 0 && static_cast<std::size_t>(sb) < internalBook.size() &&
                            internalBook[static_cast<std::size_t>(sb)];
            xtiSheet_.push_back(internal ? first : -1);
        }
        if (!fonts_.empty()) {
            book_.setDefaultFont(fonts_[0].font.name, fonts_[0].font.size);
        }
        styleOfXf_.assign(xfs_.size(), -1);
        return true;
    }

    void font(const Record& r) {
        if (r.n < 15) {
            return;
        }
        TextReader t(r);
        t.pos = 14;
        FontRec f;
        f.font.size = get16(r.p) / 20.0;
        unsigned grbit = get16(r.p + 2);
        f.font.italic = grbit & 0x02;
        f.font.strikeout = grbit & 0x08;
        f.colorIndex = static_cast<int>(get16(r.p + 4));
        f.font.bold = get16(r.p + 6) >= 600;
        f.font.underline = r.p[10] != 0;
        std::string name;
        if (t.string(true, name) && !name.empty()) {
            f.font.name = name;
        }
        fonts_.push_back(f);
        if (fonts_.size() == 4) {
            fonts_.push_back(f); // index 4 is never written: keep the numbering
        }
    }

    void sst(const Record& r) {
        TextReader t(r);
        std::uint32_t total, unique;
        if (!t.u32(total) || !t.u32(unique)) {
            return;
        }
        // Each string takes at least three bytes: a count beyond that is a lie.
        strings_.reserve(std::min<std::size_t>(unique, r.n / 3));
        std::string s;
        for (std::uint32_t i = 0; i < unique; ++i) {
            if (!t.string(false, s)) {
                break;
            }
            strings_.push_back(s);
        }
    }

    void name(const Record& r) {
        if (r.n < 15) {
            return;
        }
        unsigned grbit = get16(r.p);
        unsigned cch = r.p[3];
        unsigned cce = get16(r.p + 4);
        unsigned itab = get16(r.p + 8);
        if (!(grbit & 0x20) || cch < 1) {
            return;
        }
        std::size_t at = 14;
        unsigned flags = r.p[at++];
        if (at + ((flags & 1) ? 2u : 1u) > r.n) {
            return;
        }
        unsigned builtin = (flags & 1) ? get16(r.p + at) : r.p[at];
        at += ((flags & 1) ? 2u : 1u) * cch;
        if ((builtin != 0x06 && builtin != 0x07) || at + cce > r.n) {
            return;
        }
        NameRec n;
        n.sheet = static_cast<int>(itab);
        n.builtin = builtin;
        const std::uint8_t* f = r.p + at;
        for (std::size_t i = 0; i < cce;) {
            unsigned ptg = f[i];
            if ((ptg == 0x3B || ptg == 0x5B || ptg == 0x7B) && i + 11 <= cce) {
                CellRange a{static_cast<int>(get16(f + i + 3)) + 1,
                            static_cast<int>(get16(f + i + 7) & 0xFF) + 1,
                            static_cast<int>(get16(f + i + 5)) + 1,
                            static_cast<int>(get16(f + i + 9) & 0xFF) + 1};
                n.areas.push_back(a.clamped());
                i += 11;
            } else if ((ptg == 0x29 || ptg == 0x49 || ptg == 0x69) && i + 3 <= cce) {
                i += 3;
            } else if (ptg == 0x10 || ptg == 0x15) {
                i += 1;
            } else {
                break;
            }
        }
        if (!n.areas.empty()) {
            names_.push_back(n);
        }
    }

    Color paletteColor(int index) const { return palette_.color(index); }

    StyleId styleOf(unsigned xf) {
        if (xf >= xfs_.size()) {
            return 0;
        }
        int& id = styleOfXf_[xf];
        if (id >= 0) {
            return static_cast<StyleId>(id);
        }
        const XfRec& x = xfs_[xf];
        Style s;
        if (x.font >= 0 && static_cast<std::size_t>(x.font) < fonts_.size()) {
            const FontRec& f = fonts_[static_cast<std::size_t>(x.font)];
            s.font = f.font;
            s.font.color = paletteColor(f.colorIndex);
        } else if (!fonts_.empty()) {
            s.font = fonts_[0].font;
        }
        auto fmt = formats_.find(x.format);
        s.numberFormat = fmt != formats_.end() ? fmt->second : xls::builtinFormatCode(x.format);
        if (s.numberFormat.empty()) {
            s.numberFormat = "General";
        }
        static const HAlign kH[] = {HAlign::General,      HAlign::Left,   HAlign::Center,
                                    HAlign::Right,        HAlign::Fill,   HAlign::Justify,
                                    HAlign::CenterAcross, HAlign::Justify};
        s.halign = kH[x.align & 7];
        s.wrap = x.align & 0x08;
        unsigned v = (x.align >> 4) & 7;
        s.valign = v == 0   ? VAlign::Top
                   : v == 1 ? VAlign::Center
                   : v == 2 ? VAlign::Bottom
                            : VAlign::Center;
        auto border = [&](unsigned style, unsigned colour) {
            Border b;
            b.style = static_cast<BorderStyle>(std::min(style, 13u));
            b.color =
                b.style == BorderStyle::None ? kAutoColor : paletteColor(static_cast<int>(colour));
            return b;
        };
        s.border(BorderSide::Left) = border(x.border1 & 0x0F, (x.border1 >> 16) & 0x7F);
        s.border(BorderSide::Right) = border((x.border1 >> 4) & 0x0F, (x.border1 >> 23) & 0x7F);
        s.border(BorderSide::Top) = border((x.border1 >> 8) & 0x0F, x.border2 & 0x7F);
        s.border(BorderSide::Bottom) = border((x.border1 >> 12) & 0x0F, (x.border2 >> 7) & 0x7F);
        s.fill.pattern = static_cast<std::uint8_t>(std::min((x.border2 >> 26) & 0x3F, 18u));
        if (s.fill.pattern) {
            s.fill.fg = paletteColor(static_cast<int>(x.fill & 0x7F));
            s.fill.bg = paletteColor(static_cast<int>((x.fill >> 7) & 0x7F));
        }
        id = static_cast<int>(book_.styles().intern(s));
        return static_cast<StyleId>(id);
    }

    bool isDate(unsigned xf) const {
        if (xf >= xfs_.size()) {
            return false;
        }
        int f = xfs_[xf].format;
        if ((f >= 14 && f <= 22) || (f >= 45 && f <= 47)) {
            return true;
        }
        auto it = formats_.find(f);
        return it != formats_.end() && xls::isDateFormat(it->second);
    }

    // 1904-based files: dates move to the 1900 count the program uses.
    double number(double d, unsigned xf) const { return date1904_ && isDate(xf) ? d + 1462 : d; }

    // Cells are filled directly, as loaders do: the results the file stores stay, with
    // nothing marked for recalculation.
    Cell* cellAt(Sheet& sh, unsigned rw, unsigned col) {
        if (rw >= static_cast<unsigned>(kMaxRows) || col >= static_cast<unsigned>(kMaxCols)) {
            return nullptr;
        }
        Cell& c = sh.rowForLoad(static_cast<int>(rw) + 1).obtain(static_cast<int>(col) + 1);
        c.formula = 0; // a later record for the same cell replaces an earlier one
        return &c;
    }

    static void store(Cell& c, const Value& v) {
        c.kind = v.kind;
        c.number = v.number;
        c.error = v.error;
        c.text = v.text;
    }

    void put(Sheet& sh, unsigned rw, unsigned col, unsigned xf, const Value& v) {
        Cell* c = cellAt(sh, rw, col);
        if (!c) {
            return;
        }
        store(*c, v);
        c->style = styleOf(xf);
        if (!c->hasContent() && c->style == 0) {
            // A blank of the default style holds nothing: drop it again.
            Row& row = sh.rowForLoad(static_cast<int>(rw) + 1);
            row.cells.erase(row.cells.begin() + (c - row.cells.data()));
        }
    }

    bool sheet(Sheet& sh, std::size_t offset, int index, std::string& error) {
        if (offset >= s_.size()) {
            error = damaged();
            return false;
        }
        Records rs(s_, offset);
        Record r;
        if (!rs.next(r) || r.id != 0x0809 || r.n < 4) {
            error = damaged();
            return false;
        }
        PrintSettings& p = sh.print();
        standardWidth_ = false;
        int dimRows = 0, dimCols = 0;
        bool frozen = false;
        int winTop = 0, winLeft = 0;
        std::vector<unsigned> hBreaks, vBreaks;
        while (rs.next(r)) {
            const std::uint8_t* q = r.p;
            switch (r.id) {
            case 0x000A: {
                sh.recountFormulas();
                int rows = std::max({dimRows, sh.lastUsedRow(), 1});
                int cols = std::max({dimCols, sh.lastUsedCol(), 1});
                sh.setMaxRow(rows);
                sh.setMaxCol(cols);
                for (unsigned b : hBreaks) {
                    sh.setRowPageBreak(static_cast<int>(b) + 1, true);
                }
                for (unsigned b : vBreaks) {
                    sh.setColPageBreak(static_cast<int>(b) + 1, true);
                }
                if (!frozen) {
                    sh.setTopLeft(winTop + 1, winLeft + 1);
                }
                return true;
            }
            case 0x0200:
                if (r.n >= 14) {
                    dimRows = static_cast<int>(std::min<std::uint32_t>(get32(q + 4), kMaxRows));
                    dimCols = static_cast<int>(std::min<unsigned>(get16(q + 10), kMaxCols));
                }
                break;
            case 0x0055:
                if (r.n >= 2 && !standardWidth_) {
                    sh.setDefaultColWidth(static_cast<int>(std::min(get16(q), 255u)) * 256);
                }
                break;
            case 0x0099:
                if (r.n >= 2) {
                    standardWidth_ = true;
                    sh.setDefaultColWidth(static_cast<int>(get16(q)));
                }
                break;
            case 0x0225:
                if (r.n >= 4) {
                    sh.setDefaultRowHeight(static_cast<int>(get16(q + 2) & 0x7FFF));
                }
                break;
            case 0x007D:
                if (r.n >= 10) {
                    unsigned first = get16(q), last = std::min(get16(q + 2), 255u);
                    for (unsigned c = first; c <= last; ++c) {
                        sh.setColWidth(static_cast<int>(c) + 1, static_cast<int>(get16(q + 4)));
                        if (get16(q + 8) & 1) {
                            sh.setColHidden(static_cast<int>(c) + 1, true);
                        }
                    }
                }
                break;
            case 0x0208:
                if (r.n >= 16) {
                    int rr = static_cast<int>(get16(q)) + 1;
                    unsigned height = get16(q + 6) & 0x7FFF;
                    std::uint32_t flags = get32(q + 12);
                    if ((flags & 0x40) || height != static_cast<unsigned>(sh.defaultRowHeight())) {
                        if (!(flags & 0x20) || height != 0) {
                            sh.setRowHeight(rr, static_cast<int>(height));
                        }
                    }
                    if (flags & 0x20) {
                        sh.setRowHidden(rr, true);
                    }
                }
                break;
            case 0x0203:
                if (r.n >= 14) {
                    put(sh, get16(q), get16(q + 2), get16(q + 4),
                        Value::fromNumber(number(getF64(q + 6), get16(q + 4))));
                }
                break;
            case 0x027E:
                if (r.n >= 10) {
                    put(sh, get16(q), get16(q + 2), get16(q + 4),
                        Value::fromNumber(number(fromRk(get32(q + 6)), get16(q + 4))));
                }
                break;
            case 0x00BD:
                if (r.n >= 12) {
                    unsigned rw = get16(q), col = get16(q + 2);
                    for (std::size_t i = 4; i + 6 + 2 <= r.n; i += 6, ++col) {
                        unsigned xf = get16(q + i);
                        put(sh, rw, col, xf,
                            Value::fromNumber(number(fromRk(get32(q + i + 2)), xf)));
                    }
                }
                break;
            case 0x00FD:
                if (r.n >= 10) {
                    std::uint32_t k = get32(q + 6);
                    put(sh, get16(q), get16(q + 2), get16(q + 4),
                        Value::fromText(k < strings_.size() ? strings_[k] : std::string()));
                }
                break;
            case 0x0204:
            case 0x00D6: {
                TextReader t(r);
                unsigned rw, col, xf;
                std::string text;
                if (t.u16(rw) && t.u16(col) && t.u16(xf) && t.string(false, text)) {
                    put(sh, rw, col, xf, Value::fromText(text));
                }
                break;
            }
            case 0x0205:
                if (r.n >= 8) {
                    put(sh, get16(q), get16(q + 2), get16(q + 4),
                        q[7] ? Value::fromError(errorOf(q[6])) : Value::fromBool(q[6] != 0));
                }
                break;
            case 0x0201:
                if (r.n >= 6) {
                    put(sh, get16(q), get16(q + 2), get16(q + 4), Value());
                }
                break;
            case 0x00BE:
                if (r.n >= 8) {
                    unsigned rw = get16(q), col = get16(q + 2);
                    for (std::size_t i = 4; i + 2 + 2 <= r.n; i += 2, ++col) {
                        put(sh, rw, col, get16(q + i), Value());
                    }
                }
                break;
            case 0x0006: formula(sh, r, rs); break;
            case 0x00E5: {
                unsigned n = r.n >= 2 ? get16(q) : 0;
                std::vector<CellRange> merges = sh.merges();
                for (unsigned i = 0; i < n && 2 + i * 8 + 8 <= r.n; ++i) {
                    const std::uint8_t* m = q + 2 + i * 8;
                    CellRange g{static_cast<int>(get16(m)) + 1, static_cast<int>(get16(m + 4)) + 1,
                                static_cast<int>(get16(m + 2)) + 1,
                                static_cast<int>(get16(m + 6)) + 1};
                    g = g.clamped();
                    if (!g.empty()) {
                        merges.push_back(g);
                    }
                }
                sh.setMergesForLoad(std::move(merges));
                break;
            }
            case 0x023E:
                if (r.n >= 10) {
                    unsigned grbit = get16(q);
                    frozen = grbit & 0x08;
                    winTop = static_cast<int>(get16(q + 2));
                    winLeft = static_cast<int>(std::min(get16(q + 4), 255u));
                    if (index == 1) {
                        ViewOptions v = book_.view();
                        v.showFormulas = grbit & 0x01;
                        v.showGridLines = grbit & 0x02;
                        v.showRowHeading = v.showColHeading = grbit & 0x04;
                        v.showZeroValues = grbit & 0x10;
                        if (r.n >= 14 && get16(q + 12)) {
                            v.viewScale = std::clamp(static_cast<int>(get16(q + 12)), 10, 400);
                        }
                        book_.setView(v);
                    }
                }
                break;
            case 0x0041:
                if (r.n >= 8 && frozen) {
                    int x = static_cast<int>(get16(q)), y = static_cast<int>(get16(q + 2));
                    if (y > 0) {
                        sh.setFixedRows(winTop + 1, y);
                    }
                    if (x > 0) {
                        sh.setFixedCols(winLeft + 1, x);
                    }
                    sh.setTopLeft(static_cast<int>(get16(q + 4)) + 1,
                                  static_cast<int>(std::min(get16(q + 6), 255u)) + 1);
                }
                break;
            case 0x0014:
            case 0x0015: {
                TextReader t(r);
                std::string text;
                if (r.n > 0 && t.string(false, text)) {
                    (r.id == 0x0014 ? p.header : p.footer) = text;
                }
                break;
            }
            case 0x0026:
            case 0x0027:
            case 0x0028:
            case 0x0029:
                if (r.n >= 8) {
                    double m = getF64(q);
                    if (std::isfinite(m) && m >= 0 && m < 100) {
                        (r.id == 0x0026   ? p.leftMargin
                         : r.id == 0x0027 ? p.rightMargin
                         : r.id == 0x0028 ? p.topMargin
                                          : p.bottomMargin) = m;
                    }
                }
                break;
            case 0x00A1:
                if (r.n >= 34) {
                    unsigned grbit = get16(q + 10);
                    if (!(grbit & 0x04)) {
                        p.paperSize = static_cast<int>(get16(q));
                        p.scale = std::clamp(static_cast<int>(get16(q + 2)), 10, 400);
                        p.landscape = !(grbit & 0x02);
                        p.copies = std::max(1, static_cast<int>(get16(q + 32)));
                    }
                    p.fitHPages = static_cast<int>(get16(q + 6));
                    p.fitVPages = static_cast<int>(get16(q + 8));
                    p.noColor = grbit & 0x08;
                    double h = getF64(q + 16), f = getF64(q + 24);
                    if (std::isfinite(h) && h >= 0 && h < 100) {
                        p.headerMargin = h;
                    }
                    if (std::isfinite(f) && f >= 0 && f < 100) {
                        p.footerMargin = f;
                    }
                }
                break;
            case 0x0083: p.hCenter = r.n >= 2 && get16(q); break;
            case 0x0084: p.vCenter = r.n >= 2 && get16(q); break;
            case 0x002B: p.gridLines = r.n >= 2 && get16(q); break;
            case 0x002A: p.rowColHeadings = r.n >= 2 && get16(q); break;
            case 0x0081: p.fitToPage = r.n >= 2 && (get16(q) & 0x0100); break;
            case 0x001B:
            case 0x001A: {
                unsigned n = r.n >= 2 ? get16(q) : 0;
                for (unsigned i = 0; i < n && 2 + i * 6 + 6 <= r.n; ++i) {
                    (r.id == 0x001B ? hBreaks : vBreaks).push_back(get16(q + 2 + i * 6));
                }
                break;
            }
            case 0x0809: {
                // An embedded substream (a chart): skip to its end.
                int depth = 1;
                while (depth > 0 && rs.next(r)) {
                    depth += r.id == 0x0809 ? 1 : r.id == 0x000A ? -1 : 0;
                }
                break;
            }
            default: break;
            }
        }
        error = damaged();
        return false;
    }

    void formula(Sheet& sh, const Record& r, Records& rs) {
        if (r.n < 22) {
            return;
        }
        const std::uint8_t* q = r.p;
        unsigned rw = get16(q), col = get16(q + 2), xf = get16(q + 4);
        Value v;
        if (get16(q + 12) == 0xFFFF) {
            switch (q[6]) {
            case 0: {
                // The text follows in a STRING record, after a shared or array formula's
                // own record when there is one.
                Record s;
                std::string text;
                while ((rs.peek() == 0x04BC || rs.peek() == 0x0221 || rs.peek() == 0x0236) &&
                       rs.next(s)) {
                }
                if (rs.peek() == 0x0207 && rs.next(s)) {
                    TextReader t(s);
                    t.string(false, text);
                }
                v = Value::fromText(text);
                break;
            }
            case 1: v = Value::fromBool(q[8] != 0); break;
            case 2: v = Value::fromError(errorOf(q[8])); break;
            default: v = Value::fromText(std::string()); break;
            }
        } else {
            double d = getF64(q + 6);
            v = std::isfinite(d) ? Value::fromNumber(number(d, xf))
                                 : Value::fromError(ErrorCode::Num);
        }
        unsigned cce = get16(q + 20);
        std::string source;
        bool ok = 22 + cce <= r.n &&
                  xls::decompileFormula(
                      q + 22, cce,
                      [this](int ixti) {
                          if (ixti < 0 || static_cast<std::size_t>(ixti) >= xtiSheet_.size()) {
                              return std::string();
                          }
                          int s = xtiSheet_[static_cast<std::size_t>(ixti)];
                          return s >= 0 && static_cast<std::size_t>(s) < sheets_.size()
                                     ? sheets_[static_cast<std::size_t>(s)].name
                                     : std::string();
                      },
                      source);
        if (!ok || rw >= static_cast<unsigned>(kMaxRows) ||
            col >= static_cast<unsigned>(kMaxCols)) {
            put(sh, rw, col, xf, v.isEmpty() ? Value::fromText(std::string()) : v);
            return;
        }
        Cell* c = cellAt(sh, rw, col);
        if (c) {
            store(*c, v);
            c->style = styleOf(xf);
            c->formula = sh.addFormulaSlot(std::move(source));
        }
    }

    const std::vector<std::uint8_t>& s_;
    Workbook& book_;
    std::vector<FontRec> fonts_;
    std::map<int, std::string> formats_;
    std::vector<XfRec> xfs_;
    std::vector<int> styleOfXf_;
    xls::Palette palette_;
    std::vector<SheetRec> sheets_;
    std::vector<std::string> strings_;
    std::vector<NameRec> names_;
    std::vector<int> xtiSheet_;
    int activeSheet_ = 0;
    bool date1904_ = false;
    bool standardWidth_ = false;
};

} // namespace

bool readXlsBytes(const std::uint8_t* data, std::size_t size, Workbook& book, std::string& error) {
    xls::CompoundFile cf;
    if (!cf.open(data, size, error)) {
        return false;
    }
    std::vector<std::uint8_t> stream;
    if (!cf.hasStream(u"Workbook") && cf.hasStream(u"Book")) {
        error = w("Книги Excel версий до 97 не поддерживаются");
        return false;
    }
    if (!cf.read(u"Workbook", stream, error)) {
        return false;
    }
    Workbook fresh;
    fresh.setRepaint(false);
    fresh.setAutoRecalc(false);
    Reader reader(stream, fresh);
    if (!reader.run(error)) {
        return false;
    }
    fresh.setAutoRecalc(book.autoRecalc());
    fresh.setRepaint(book.repaint());
    fresh.setModified(false);
    fresh.setDate1904(reader.date1904());
    book.swapContents(fresh);
    return true;
}

bool isOlderExcel(const std::uint8_t* data, std::size_t size) {
    xls::CompoundFile cf;
    std::string error;
    if (!cf.open(data, size, error)) {
        return false;
    }
    if (!cf.hasStream(u"Workbook")) {
        return cf.hasStream(u"Book");
    }
    std::vector<std::uint8_t> stream;
    if (!cf.read(u"Workbook", stream, error) || stream.size() < 8 ||
        get16(stream.data()) != 0x0809) {
        return false;
    }
    // BIFF5 and BIFF7 say 0x0500 where BIFF8 says 0x0600.
    return get16(stream.data() + 4) == 0x0500;
}

bool readXls(const std::string& path, Workbook& book, std::string& error) {
    return readXls(workbookPath(path), book, error);
}

bool readXls(const QString& path, Workbook& book, std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!xls::loadWhole(path, bytes, error)) {
        return false;
    }
    std::string why;
    if (!readXlsBytes(bytes.data(), bytes.size(), book, why)) {
        error = xls::cannotRead(path, why);
        return false;
    }
    return true;
}

} // namespace fc
