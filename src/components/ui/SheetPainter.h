#pragma once

#include "components/model/Types.h"
#include "components/ui/CellDecor.h"
#include "components/ui/FontMapper.h"
#include "components/ui/ObjectPainter.h"
#include "components/ui/SheetLayout.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QRect>
#include <QStaticText>
#include <QString>

#include <vector>

class QPainter;

namespace fc {

class Sheet;
struct Row;
struct Cell;
struct Style;

// What the painter shows besides the sheet itself.
struct PaintOptions {
    bool gridLines = true;
    bool zeroValues = true;
    QColor back = Qt::white; // cell background (BackColor)
    CellRef editing{0, 0};   // the in-cell editor covers this cell: its text is not drawn
    bool selection = true;   // draw the selection and the active cell
    // A printed page: nothing but the cells (no grey beyond them) and the objects anchored
    // in the rows and columns shown, without handles.
    bool printing = false;
    bool monochrome = false; // black-and-white printing: black texts and borders, no fills
};

// Paints one sheet as the layout places it: cells (fills, grid, text, borders), merged areas,
// headings, the frozen block's divider, the selection and the drawn objects. Keeps its
// scratch buffers between frames so that a paint allocates nothing per row.
class SheetPainter {
public:
    explicit SheetPainter(FontMapper& fonts) : fonts_(fonts) {}

    void paint(QPainter& p, const Sheet& s, const SheetLayout& l, const QRect& exposed,
               const PaintOptions& o);
    void clearCaches() {
        brushes_.clear();
        texts_.clear();
        objects_.clearCaches();
    }
    ObjectPainter& objects() { return objects_; }
    // The font objects write their texts in: the workbook's default font at the view's scale.
    const QFont& objectFont(const Sheet& s);

    static QString columnName(int col); // "A" .. "IV"

    // Colours of the chrome, shared with the view's overlays.
    static QColor gridColor() { return QColor(0xD4, 0xD4, 0xD4); }
    static QColor headingColor() { return QColor(0xF2, 0xF2, 0xF2); }
    static QColor headingLineColor() { return QColor(0xC4, 0xC4, 0xC4); }
    static QColor beyondColor() { return QColor(0xE3, 0xE3, 0xE3); }
    static QColor accentColor() { return QColor(0x1F, 0x6F, 0xBF); }

private:
    struct Span {
        int index, start, size;
    };
    struct Pane {
        QRect rect;
        LayoutAxis::Piece rows, cols;
    };

    void paintPane(QPainter& p, const Pane& pane);
    void collect(const LayoutAxis& axis, const LayoutAxis::Piece& piece, std::vector<Span>& out);
    void paintGrid(QPainter& p, const Pane& pane);
    void paintFills(QPainter& p, const Pane& pane);
    void paintTexts(QPainter& p, const Pane& pane);
    void paintRowTexts(QPainter& p, const Pane& pane, const Span& row);
    void paintCellText(QPainter& p, const Pane& pane, int r, const Cell& cell, const QRect& box,
                       bool mayOverflow, const Row* row);
    void paintBorders(QPainter& p, const Pane& pane);
    void paintCellBorders(QPainter& p, int r, int c, const Style& st, const Row* row);
    void paintSelection(QPainter& p, const Pane& pane);
    void paintColHeadings(QPainter& p, const LayoutAxis::Piece& piece);
    void paintRowHeadings(QPainter& p, const LayoutAxis::Piece& piece);
    void paintObjects(QPainter& p);
    QColor borderColor(const Border& b) const;

    const CellRange* mergeIn(int r, int c) const; // among the current pane's merges
    bool hasContent(const Row* row, int c) const;
    const Style& styleOf(const Row* row, int c) const;
    const Row* rowOf(int r) const;
    const QFont& headingFont();
    int visibleRight() const;  // screen x just past the last column
    int visibleBottom() const; // screen y just past the last row

    FontMapper& fonts_;
    PatternBrushes brushes_;
    ObjectPainter objects_;
    const Sheet* sheet_ = nullptr;
    const SheetLayout* layout_ = nullptr;
    PaintOptions opt_;
    QRect exposed_;
    std::vector<Span> rows_, cols_;
    std::vector<CellRange> merges_;
    QString text_;
    // Laid-out texts of recent frames: a repaint after a selection change or a small scroll
    // draws mostly the same texts. Bounded, so it does not grow with the sheet.
    const QStaticText* laidOut(const QString& text, const FontMapper::Entry& fe);
    QHash<QPair<QString, unsigned>, QStaticText> texts_;
    Font headingKey_;
    QFont headingFont_;
    int headingScale_ = 0;
    bool headingValid_ = false;
};

} // namespace fc
