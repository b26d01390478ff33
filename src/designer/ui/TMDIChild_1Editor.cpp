// The designer window's formula line editor: where it opens, how it is placed over the sheet,
// its keys and leaving it.
#include "designer/ui/TMDIChild_1.h"

#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"
#include "components/ui/FontMapper.h"
#include "components/ui/SheetView.h"
#include "designer/DesignerMessages.h"
#include "designer/DesignerSheet.h"
#include "designer/FormulaLine.h"
#include "designer/TemplateText.h"
#include "designer/ui/FormulaLineEditor.h"
#include "shell/ShellHost.h"

#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

#include <algorithm>

namespace fc {

namespace fl = formulaline;

namespace {

QString q(const std::string& windows) { return cp1251::toQString(windows); }
std::string win(const QString& s) { return cp1251::fromQString(s); }

} // namespace

void TMDIChild_1::onStartEdit(QString* text, bool* cancel) {
    *cancel = true;
    const CellRef a = book_.sheet().activeCell();
    const QString typed = *text;
    QTimer::singleShot(0, this, [this, a, typed] {
        openEditor(a.row, a.col);
        if (!editorOpen()) {
            return;
        }
        if (editCol_ == a.col) {
            editor_->setText(typed);
        } else {
            // Typed over a form cell of a statement row: the statement, in sight across the
            // row, gets the keystroke at its end rather than being replaced.
            editor_->setCaret(-1);
            editor_->insertPlainText(typed);
        }
        editor_->setCaret(-1);
    });
}

void TMDIChild_1::openEditor(int row, int col, int caret) {
    Sheet& s = book_.sheet();
    if (row < std::max(s.topRow(), 1) || row > s.maxRow() || col < 1 || col > s.maxCol()) {
        return;
    }
    if (editorOpen()) {
        closeEditor();
    }
    s.setActiveCell(row, col);
    const fl::Target t = fl::target(s, row, col, turbo());
    editSheet_ = book_.currentSheet();
    editRow_ = t.row;
    editCol_ = t.col;
    if (t.statement && s.leftCol() > 1 && s.fixedCols() == 0) {
        s.setTopLeft(s.topRow(), 1); // the statement column comes into view under the editor
    }
    const QString text = q(fl::cellText(s, t.row, t.col));
    openLength_ = static_cast<int>(text.size());
    if (t.col == designer::kStatementCol) {
        editor_->setColouring(
            [this](const QString& line) { return checkEditorText(checker_, win(line)).spans; });
    } else {
        editor_->setColouring({});
    }
    editor_->blockSignals(true);
    editor_->setText(text);
    editor_->blockSignals(false);
    editor_->setCaret(caret);
    follow_ = true;
    placeEditor();
    editor_->show();
    editor_->raise();
    editor_->setFocus();
    editorTextChanged();
}

void TMDIChild_1::placeEditor() {
    if (!editorOpen()) {
        return;
    }
    Sheet& s = book_.sheet();
    const Style& st = s.style(editRow_, editCol_);
    Font f = st.font;
    f.name = fl::editorFontName(f.name);
    const QFont font = FontMapper::toQFont(f, book_.view().viewScale);
    editor_->setFont(font);
    QPalette pal = editor_->palette();
    const Color c = f.color == kAutoColor ? rgb(0, 0, 0) : f.color;
    pal.setColor(QPalette::Text, QColor(redOf(c), greenOf(c), blueOf(c)));
    pal.setColor(QPalette::Base, Qt::white);
    editor_->setPalette(pal);
    QTextOption opt = editor_->document()->defaultTextOption();
    opt.setAlignment(st.halign == HAlign::Right    ? Qt::AlignRight
                     : st.halign == HAlign::Center ? Qt::AlignHCenter
                                                   : Qt::AlignLeft);
    editor_->document()->setDefaultTextOption(opt);

    const QRect cell = view_->cellRect(editRow_, editCol_);
    const int lineH = QFontMetrics(font).height() + 4;
    QRect r = cell;
    spanning_ = fl::spansSheet(s, editRow_, editCol_, turbo(), win(editor_->text()));
    if (spanning_) {
        // Over column 1 whatever the sheet's scroll: from the row headings across the sheet.
        const int left = view_->sheetLayout().headerWidth();
        r.setLeft(left);
        r.setWidth(std::max(view_->viewport()->width() - left - 20, 40));
    } else {
        const int textW = QFontMetrics(font).horizontalAdvance(editor_->text()) + 12;
        r.setWidth(std::max(cell.width(), textW));
    }
    // One line, at the top, middle or bottom of the cell as its text stands there.
    int top = cell.bottom() + 1 - lineH;
    if (st.valign == VAlign::Top) {
        top = cell.top();
    } else if (st.valign == VAlign::Center) {
        top = cell.top() + (cell.height() - lineH) / 2;
    }
    r.setTop(std::max(top, 0));
    r.setHeight(lineH);
    editor_->setGeometry(r);
}

void TMDIChild_1::editorTextChanged() {
    if (!editorOpen()) {
        return;
    }
    const QString text = editor_->text();
    if (editCol_ == designer::kStatementCol) {
        host_.setStatusText(1, checkEditorText(checker_, win(text)).status);
    }
    const Sheet& s = book_.sheet(editSheet_);
    if (fl::spansSheet(s, editRow_, editCol_, turbo(), win(text)) != spanning_) {
        placeEditor(); // a new statement spans the sheet once it holds text
    } else if (!spanning_ && text.size() > openLength_) {
        openLength_ = static_cast<int>(text.size());
        placeEditor();
    }
    showCaretPosition();
}

void TMDIChild_1::showCaretPosition() {
    if (editorOpen() && editCol_ == designer::kStatementCol) {
        host_.setStatusText(2, designermsg::caretPrefix() + std::to_string(editor_->caret() + 1));
    }
}

void TMDIChild_1::closeEditor() {
    if (!editorOpen()) {
        return;
    }
    const int row = editRow_;
    const int col = editCol_;
    editRow_ = editCol_ = 0;
    const std::string text = win(editor_->text());
    editor_->hide();
    Sheet& s = book_.sheet(editSheet_);
    if (fl::cellText(s, row, col) != text) {
        fl::store(s, row, col, text, colourer_);
    }
    if (&s == &book_.sheet()) {
        s.setActiveCell(row, col);
    }
    host_.setStatusText(2, "");
    if (view_->isVisible()) {
        view_->setFocus();
    }
}

void TMDIChild_1::moveEditor(int move) {
    const auto m = static_cast<fl::Move>(move);
    Sheet& s = book_.sheet();
    const int page = std::max(
        view_->viewport()->height() / std::max(view_->cellRect(editRow_, editCol_).height(), 1), 1);
    const std::optional<fl::Place> p =
        fl::move(m, editRow_, editCol_, editor_->caret(), static_cast<int>(editor_->text().size()),
                 s.maxRow(), s.maxCol(), page);
    if (!p) {
        return;
    }
    closeEditor();
    s.setSelection(CellRange::cell(p->row, p->col));
    view_->showActiveCell();
    openEditor(p->row, p->col, p->caret);
}

bool TMDIChild_1::editorKey(QKeyEvent* e) {
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool statement = editCol_ == designer::kStatementCol;
    const int key = e->key();
    if (key >= Qt::Key_F2 && key <= Qt::Key_F20 && key != Qt::Key_F3) {
        designerKey(key, e->modifiers());
        return true;
    }
    switch (key) {
    case Qt::Key_F1: showReference(); return true;
    case Qt::Key_Escape:
        follow_ = false;
        closeEditor();
        return true;
    case Qt::Key_Tab: editor_->insertPlainText(QStringLiteral("    ")); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (!statement) {
            closeEditor();
            return true;
        }
        const int row = editRow_;
        const std::string text = win(editor_->text());
        editRow_ = editCol_ = 0;
        editor_->hide();
        const int next = fl::split(book_.sheet(), row, 1, text, colourer_);
        book_.sheet().setSelection(CellRange::cell(next, 1));
        view_->showActiveCell();
        openEditor(next, 1, 0);
        return true;
    }
    case Qt::Key_Delete: {
        if (!statement || editor_->textCursor().hasSelection() ||
            editor_->caret() < static_cast<int>(editor_->text().size())) {
            return false;
        }
        const int caret = editor_->caret();
        std::optional<std::string> joined =
            fl::joinNext(book_.sheet(), editRow_, win(editor_->text()));
        if (joined) {
            editor_->setText(q(*joined));
            editor_->setCaret(caret);
        }
        return true;
    }
    case Qt::Key_Y:
        if (ctrl) {
            deleteCurrentRow();
            return true;
        }
        return false;
    case Qt::Key_Up: moveEditor(static_cast<int>(fl::Move::Up)); return true;
    case Qt::Key_Down: moveEditor(static_cast<int>(fl::Move::Down)); return true;
    case Qt::Key_PageUp: moveEditor(static_cast<int>(fl::Move::PageUp)); return true;
    case Qt::Key_PageDown: moveEditor(static_cast<int>(fl::Move::PageDown)); return true;
    case Qt::Key_Home:
        if (ctrl) {
            moveEditor(static_cast<int>(fl::Move::CtrlHome));
            return true;
        }
        return false;
    case Qt::Key_End:
        if (ctrl) {
            moveEditor(static_cast<int>(fl::Move::CtrlEnd));
            return true;
        }
        return false;
    case Qt::Key_Right:
    case Qt::Key_Left: {
        if (e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier) ||
            editor_->textCursor().hasSelection()) {
            return false;
        }
        const int caret = editor_->caret();
        const int len = static_cast<int>(editor_->text().size());
        if ((key == Qt::Key_Right && caret < len) || (key == Qt::Key_Left && caret > 0)) {
            return false;
        }
        moveEditor(static_cast<int>(key == Qt::Key_Right ? fl::Move::Right : fl::Move::Left));
        return true;
    }
    default: return false;
    }
}

void TMDIChild_1::editorContextMenu(const QPoint& pos) {
    QMenu menu(this);
    menu.addAction(q(designermsg::cutItem()), editor_, &QPlainTextEdit::cut);
    menu.addAction(q(designermsg::copyItem()), editor_, &QPlainTextEdit::copy);
    menu.addAction(q(designermsg::pasteItem()), editor_, &QPlainTextEdit::paste);
    menu.addSeparator();
    menu.addAction(q(designermsg::tagHelpItem()), this, [this] { showReference(); });
    menu.addAction(QStringLiteral("Close"), this, [this] {
        follow_ = false;
        closeEditor();
    });
    menu.exec(editor_->mapToGlobal(pos));
}

} // namespace fc
