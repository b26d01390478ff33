// The report window's cell actions, editing, link cells, pop-up menu, drawn controls, row
// cursor and data save: the sheet view's events handed to the result commands.
#include "results/ui/TMDIChild1.h"

#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "components/ui/CellDecor.h"
#include "components/ui/FontMapper.h"
#include "components/ui/SheetView.h"
#include "exchange/CommandText.h"
#include "exchange/RequestName.h"
#include "output/DataSave.h"
#include "output/FileExport.h"
#include "output/SendMail.h"
#include "results/CellActions.h"
#include "results/ResultEdits.h"
#include "results/ResultMenu.h"
#include "shell/AppSettings.h"
#include "shell/ShellHost.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

namespace fc {

namespace {

QString q(std::string_view cp1251) { return cp1251::toQString(cp1251); }
std::string s(const QString& text) { return cp1251::fromQString(text); }

QAction* addItem(QMenu* menu, const char* name, const char* caption, const char* keys = nullptr) {
    QAction* a = menu->addAction(q(w(caption)));
    a->setObjectName(QString::fromLatin1(name));
    if (keys) {
        // Shown beside the item; the sheet's own key handler does the work.
        a->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        a->setShortcutContext(Qt::WidgetShortcut);
    }
    return a;
}

QAction* addSeparator(QMenu* menu, const char* name) {
    QAction* a = menu->addSeparator();
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

// The overlay editor keeps its Enter: passed on to the sheet it would run the cell's action
// again, which opens the editor anew.
class OverlayEditor : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        QLineEdit::keyPressEvent(e);
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            e->accept();
        }
    }
};

} // namespace

void TMDIChild1::buildActions() {
    view_->setEnterMovesDown(false);
    connect(view_, &SheetView::dblClick, this, [this](int row, int col, bool* consumed) {
        *consumed = true;
        if (row >= 1 && col >= 1) {
            runCellAction(row, col);
        }
    });
    connect(view_, &SheetView::click, this, &TMDIChild1::cellClicked);
    connect(view_, &SheetView::keyDown, this, &TMDIChild1::sheetKeyDown);
    connect(view_, &SheetView::keyPress, this, &TMDIChild1::sheetKeyPress);
    connect(view_, &SheetView::keyUp, this, &TMDIChild1::sheetKeyUp);
    connect(view_, &SheetView::startEdit, this, &TMDIChild1::editStarting);
    connect(view_, &SheetView::endEdit, this, &TMDIChild1::editEnding);
    connect(view_, &SheetView::cancelEdit, this, [this] { edit::cancelEdit(session_); });
    connect(view_, &SheetView::mouseDown, this, [this] {
        if (!Edit2_->isHidden()) {
            commitOverlay();
        }
    });
    connect(view_, &SheetView::selChange, this, [this] {
        if (reportSettings_.cursor && !(QApplication::keyboardModifiers() & Qt::ControlModifier)) {
            moveRowCursor(session_, book_.sheet(1).activeCell().row);
        }
    });
    connect(view_, &SheetView::objClick, this,
            [this](int id) { objectClick(session_, *this, id); });
    connect(view_, &SheetView::objValueChanged, this,
            [this](int id) { objectValueChange(session_, *this, id); });

    Edit2_ = new OverlayEditor(view_->viewport());
    Edit2_->setObjectName(QStringLiteral("Edit2"));
    Edit2_->hide();
    connect(Edit2_, &QLineEdit::returnPressed, this, &TMDIChild1::commitOverlay);

    session_.actions().shared = &sharedRunState();
}

void TMDIChild1::runCellAction(int row, int col) {
    if (!Edit2_->isHidden()) {
        commitOverlay();
    }
    cellAction(session_, *this, row, col);
}

void TMDIChild1::resultRead() {
    // The reading's own selection change may have placed the cursor already.
    dropRowCursor(session_);
    session_.actions().sheetRead();
    session_.typeAhead().clear();
    Edit2_->hide();
    if (reportSettings_.cursor) {
        moveRowCursor(session_, book_.sheet(1).activeCell().row);
    }
}

// ---- keys and clicks

void TMDIChild1::sheetKeyDown(SheetKeyEvent* e) {
    if (e->consumed) {
        return;
    }
    const bool ctrl = e->modifiers & Qt::ControlModifier;
    switch (e->key) {
    case 13:
        if (!ctrl) {
            e->consumed = true;
            const CellRef a = book_.sheet(1).activeCell();
            runCellAction(a.row, a.col);
        }
        return;
    case 38:
    case 40:
        session_.typeAhead().clear();
        KeyTimer_->stop();
        return;
    case 'C':
    case 'V':
    case 'D':
    case 45: { // Insert: Ctrl copies, Shift pastes, as Ctrl+C and Ctrl+V do
        const bool shift = e->modifiers & Qt::ShiftModifier;
        const int key = e->key != 45 ? e->key : ctrl ? 'C' : shift ? 'V' : 0;
        if (key == 0 || (e->key != 45 && !ctrl) || (e->modifiers & Qt::AltModifier)) {
            return;
        }
        // The menu's rules hold for its keys: the sheet's own paste knows no editable columns.
        e->consumed = true;
        const menu::PopupState st = menu::popupState(session_, true);
        if (key == 'C' && st.copy) {
            copyCells();
        } else if (key == 'V' && st.paste) {
            pasteCells();
        } else if (key == 'D' && st.remove) {
            deleteCells();
        }
        return;
    }
    default: return;
    }
}

void TMDIChild1::sheetKeyPress(SheetKeyEvent* e) {
    if (e->consumed || e->text.isEmpty()) {
        return;
    }
    const std::string typed = s(e->text.left(1));
    const auto c = static_cast<unsigned char>(typed.empty() ? 0 : typed[0]);
    if (c < ' ') {
        return;
    }
    const CellRef a = book_.sheet(1).activeCell();
    if (edit::typingEdits(session_, a.row, a.col)) {
        // The view opens its editor with the key once this handler returns.
        book_.allow().allowInCellEditing = true;
        book_.events().doEndEdit = true;
        typingStart_ = true;
        return;
    }
    book_.allow().allowInCellEditing = false;
    e->consumed = true;
    if (c != ' ' && TypeAhead::takes(c)) {
        typeAhead(c);
    }
}

void TMDIChild1::sheetKeyUp(SheetKeyEvent* e) {
    // Space restarts the report when it is let go on the sheet (not in an editor).
    if (!e->consumed && e->key == 32 && e->modifiers == Qt::NoModifier && !view_->isEditing()) {
        e->consumed = true;
        run_.Restart();
    }
}

void TMDIChild1::cellClicked(int row, int col) {
    if (row < 1 || col < 1) {
        return;
    }
    const Link link = linkAt(book_.sheet(1), row, col);
    if (link.kind == Link::Kind::Mail) {
        output::MailMessage m;
        m.to = link.target;
        m.body = "  ";
        output::SendMail(m, prompter_);
    } else if (link.kind == Link::Kind::Web) {
        ctx_.world.open(link.target);
    }
}

// ---- editing

void TMDIChild1::editInCell(int row, int col) {
    Sheet& sheet = book_.sheet(1);
    if (sheet.activeCell() != CellRef{row, col}) {
        sheet.setActiveCell(row, col);
    }
    book_.allow().allowInCellEditing = true;
    book_.events().doEndEdit = true;
    typingStart_ = false;
    if (!view_->startEditing()) {
        book_.allow().allowInCellEditing = false;
    }
}

void TMDIChild1::editStarting(QString* text, bool*) {
    const CellRef a = book_.sheet(1).activeCell();
    std::optional<std::string> typed;
    if (typingStart_) {
        typed = s(*text);
    }
    typingStart_ = false;
    *text = q(edit::startEdit(session_, a.row, a.col, typed));
}

void TMDIChild1::editEnding(QString* text, bool*) {
    const CellRef at = view_->editCell();
    *text = q(edit::endEdit(session_, at.row, at.col, s(*text)));
}

void TMDIChild1::editOverlay(int row, int col) {
    Sheet& sheet = book_.sheet(1);
    if (sheet.activeCell() != CellRef{row, col}) {
        sheet.setActiveCell(row, col);
    }
    view_->showActiveCell();
    const Style& st = sheet.style(row, col);
    Font font = st.font;
    font.name = edit::overlayFontName(font.name);
    Edit2_->setFont(FontMapper::toQFont(font, book_.view().viewScale));
    QPalette pal = Edit2_->palette();
    pal.setColor(QPalette::Text,
                 font.color == kAutoColor ? QColor(Qt::black) : toQColor(font.color, Qt::black));
    Edit2_->setPalette(pal);
    const QRect r = view_->cellRect(row, col);
    Edit2_->setGeometry(r.left(), r.top(), std::max(r.width(), 20),
                        std::max(r.height(), Edit2_->sizeHint().height()));
    Edit2_->setText(q(text::trim(sheet.text(row, col))));
    overlayCell_ = {row, col};
    Edit2_->show();
    Edit2_->raise();
    Edit2_->setFocus(Qt::OtherFocusReason);
    Edit2_->selectAll();
}

void TMDIChild1::commitOverlay() {
    if (Edit2_->isHidden()) {
        return;
    }
    Edit2_->hide();
    const CellRef at = overlayCell_;
    overlayCell_ = {0, 0};
    edit::commitOverlay(session_, at.row, at.col, s(Edit2_->text()));
    book_.sheet(1).setActiveCell(at.row, at.col);
    view_->setFocus(Qt::OtherFocusReason);
}

bool TMDIChild1::stopEditing() {
    commitOverlay();
    return view_->endEditing();
}

void TMDIChild1::endEdit() { stopEditing(); }

void TMDIChild1::escapePressed() {
    if (view_->isEditing()) {
        view_->cancelEditing();
    } else if (!Edit2_->isHidden()) {
        Edit2_->hide();
        overlayCell_ = {0, 0};
        view_->setFocus(Qt::OtherFocusReason);
    } else {
        closeWindow();
    }
}

// ---- what actions ask of the window

void TMDIChild1::columnKey(int code) { shell_.columnKey(code); }

bool TMDIChild1::writeExportFiles() { return output::DoFSave(session_); }

void TMDIChild1::openForm(const std::string& command) { run_.run_form(command); }

bool TMDIChild1::startProgram(const std::string& commandLine) {
    writeHandleFile(shell_.settings().startDir, handle());
    if (ctx_.world.run(commandLine)) {
        return true;
    }
    prompter_.error(w("Не могу запустить ") + commandLine);
    return false;
}

// ---- the data save

void TMDIChild1::saveData(const std::string& command) {
    SaveFollowUp follow;
    follow.form = command;
    saveAndFollow(follow);
}

void TMDIChild1::saveAndFollow(const SaveFollowUp& follow) {
    if (output::saveData(session_, *this, follow) == output::DataSaveResult::Sent) {
        Panel12_->show();
    }
}

// ---- the pop-up menu

void TMDIChild1::buildPopupMenu() {
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("PopupMenu1"));
    connect(addItem(menu_, "FilterItem", "Фильтp", "F9"), &QAction::triggered, this,
            [this] { reportKey(ReportChild::kFilterKey); });
    connect(addItem(menu_, "HideColumnItem", "Скpыть колонку"), &QAction::triggered, this,
            [this] { menu::hideColumn(session_); });
    addSeparator(menu_, "EditSeparator");
    connect(addItem(menu_, "CopyItem", "Копиpовать", "Ctrl+C"), &QAction::triggered, this,
            &TMDIChild1::copyCells);
    connect(addItem(menu_, "PasteItem", "Вставить", "Ctrl+V"), &QAction::triggered, this,
            &TMDIChild1::pasteCells);
    connect(addItem(menu_, "DeleteItem", "Удалить", "Ctrl+D"), &QAction::triggered, this,
            &TMDIChild1::deleteCells);
    addSeparator(menu_, "ArgsSeparator");
    // The place of the argument bar's hidden `Args` menu (TMDIChild1Arguments.cpp).
    addItem(menu_, "Args", "")->setVisible(false);
    addSeparator(menu_, "ServerSeparator");
    ownMenuItems_ = static_cast<int>(menu_->actions().size());
}

void TMDIChild1::openPopupMenu(QPoint at) {
    const menu::PopupState st = menu::popupState(session_, view_->hasFocus());
    const QList<QAction*> items = menu_->actions();
    auto item = [this](const char* name) {
        return menu_->findChild<QAction*>(QString::fromLatin1(name));
    };
    for (const char* name : {"EditSeparator", "CopyItem", "PasteItem", "DeleteItem"}) {
        item(name)->setVisible(st.editItems);
    }
    item("HideColumnItem")->setVisible(st.hideColumn);
    item("CopyItem")->setEnabled(st.copy);
    item("PasteItem")->setEnabled(st.paste);
    item("DeleteItem")->setEnabled(st.remove);
    gateServerItems();
    if (!reportSettings_.popupReport.empty()) {
        requestServerMenu();
    }
    menu_->popup(view_->viewport()->mapToGlobal(at));
}

void TMDIChild1::gateServerItems() {
    const bool shown = menu::popupState(session_, true).serverItems;
    const QList<QAction*> items = menu_->actions();
    for (int i = ownMenuItems_; i < items.size(); ++i) {
        items[i]->setVisible(shown);
    }
}

void TMDIChild1::requestServerMenu() {
    if (run_.answerPending()) {
        return; // the answer being waited for keeps the request name
    }
    const Sheet& sheet = book_.sheet(1);
    const std::string report = substituteColumns(reportSettings_.popupReport, sheet,
                                                 sheet.activeCell().row, OnEmptyValue::Stop)
                                   .value_or(reportSettings_.popupReport);
    // The menu's request borrows the run's writer; the window's own request stays.
    const std::string context = run_.context();
    run_.setContext(shell_.settings().requestPrefix() + "R " + codepage::toDos(report));
    run_.setRequestName("pop" + RandomFileName().substr(0, 5));
    run_.WriteZapros();
    run_.setContext(context);
    setCaption(reportSettings_.caption);
}

void TMDIChild1::serverItemPicked(const std::string& caption) {
    menu::writeServerItem(session_, caption);
}

void TMDIChild1::copyCells() {
    view_->copy();
    menu::noteCopy();
}

void TMDIChild1::pasteCells() { menu::pasteValues(session_, s(QApplication::clipboard()->text())); }

void TMDIChild1::deleteCells() { menu::clearSelection(session_); }

} // namespace fc
