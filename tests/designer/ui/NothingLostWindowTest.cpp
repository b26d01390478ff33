// The designer window loses nothing the author did, as a user meets it: objects moved with the
// mouse, keys typed on a statement row, a new statement being typed, the columns and rows
// dialog on a long template, the editor over a tall cell, turbo and ext templates opened from
// the main window, and workbooks opened in the designer.
#include "DesignerFixture.h"

#include "components/format/FileType.h"
#include "components/ui/SheetView.h"
#include "designer/ui/DesignerDialogs.h"
#include "shell/ui/CommandTable.h"
#include "shell/ui/ShellDialogs.h"
#include "shell/ui/TMainForm.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <QToolButton>

namespace fc {
namespace {

using A = Prompter::Answer;

std::string readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

class NothingLostWindow : public test::DesignerFixture {
protected:
    // A template whose form row 3 carries a rectangle.
    QString templateWithObject() {
        Workbook book;
        TemplateFile::newTemplate(book);
        Sheet& s = book.sheet();
        s.setMaxCol(6);
        s.setMaxRow(6);
        s.setText(1, 1, "IF A");
        s.setText(3, 2, "form");
        s.createObject(ObjectKind::Rectangle, 1.5, 2.25, 3, 2.75);
        const QString path = dir.filePath("objects.rpt");
        ScriptedPrompter quiet;
        EXPECT_TRUE(TemplateFile::save(path, book, TemplateFormat::Table, quiet));
        return path;
    }
    double objectLeft() { return sheet().objects().at(0).x1; }
    void dragObject(int fromCol, int toCol) {
        QWidget* port = window->view()->viewport();
        const QPoint from = window->view()->cellRect(3, fromCol).center();
        const QPoint to = window->view()->cellRect(3, toCol).center();
        QTest::mousePress(port, Qt::LeftButton, {}, from);
        QTest::mouseMove(port, (from + to) / 2);
        QTest::mouseMove(port, to);
        QTest::mouseRelease(port, Qt::LeftButton, {}, to);
        QApplication::processEvents();
    }
};

TEST_F(NothingLostWindow, MovingAnObjectIsAChangeWithItsOwnUndoStep) {
    TMDIChild_1& d = open(templateWithObject());
    ASSERT_EQ(sheet().objects().size(), 1u);
    EXPECT_FALSE(d.hasUnsavedChanges());
    dragObject(3, 5);
    EXPECT_NEAR(objectLeft(), 3.5, 0.05) << "moved two columns right";
    const double moved = objectLeft();
    EXPECT_TRUE(d.hasUnsavedChanges());
    EXPECT_TRUE(host.enabled["Undo1"]);

    // A cell edit after the move, then undone: the move stays.
    d.openEditor(3, 2);
    QTest::keyClicks(d.editor(), QStringLiteral("X"));
    d.closeEditor();
    change();
    d.designerKey(Qt::Key_F15, Qt::NoModifier);
    EXPECT_EQ(text(3, 2), "form");
    EXPECT_DOUBLE_EQ(objectLeft(), moved) << "undoing the edit leaves the move";
    d.designerKey(Qt::Key_F15, Qt::NoModifier);
    EXPECT_DOUBLE_EQ(objectLeft(), 1.5) << "the move had a step of its own";
    EXPECT_FALSE(d.hasUnsavedChanges());
    d.designerKey(Qt::Key_F16, Qt::NoModifier);
    EXPECT_DOUBLE_EQ(objectLeft(), moved);

    // Closing after a move asks.
    prompter.push(A::Cancel);
    EXPECT_FALSE(d.close());
    EXPECT_EQ(prompter.transcript(), "Внимание:|Сохpанить изменения?\n");
    prompter.clear();

    // Selecting an object is no change; formatting one is.
    d.designerKey(Qt::Key_F15, Qt::NoModifier);
    ASSERT_FALSE(d.hasUnsavedChanges());
    sheet().selectObject(sheet().objects()[0].id);
    QApplication::processEvents();
    EXPECT_FALSE(d.hasUnsavedChanges());
    sheet().setObjectText(sheet().objects()[0].id, "caption");
    QApplication::processEvents();
    EXPECT_TRUE(d.hasUnsavedChanges());
}

TEST_F(NothingLostWindow, KeysOnAStatementRowAreTypedInSight) {
    TMDIChild_1& d = open(writeTemplate());
    sheet().setText(2, 3, "left over"); // a form cell on the statement row "IF A"
    sheet().setSelection(CellRange::cell(2, 3));
    d.view()->setFocus();
    QTest::keyClick(d.view(), Qt::Key_X, Qt::NoModifier, 'x');
    QApplication::processEvents();
    ASSERT_TRUE(d.editorOpen());
    EXPECT_EQ(d.editCol(), 1);
    EXPECT_TRUE(d.editor()->isVisible()) << "the statement that changes is shown";
    EXPECT_EQ(editorText(), QStringLiteral("IF Ax"));
    EXPECT_EQ(d.editor()->x(), d.view()->sheetLayout().headerWidth()) << "across the row";
    if (const char* out = std::getenv("FC_SHOT")) {
        d.grab().save(QString::fromLocal8Bit(out) + QStringLiteral("-statement-row.png"));
    }
    d.closeEditor();
    EXPECT_EQ(text(2, 1), "IF Ax");
}

TEST_F(NothingLostWindow, ANewStatementStaysInSightWhileItIsTyped) {
    TMDIChild_1& d = open(QStringLiteral("Noname.rpt"));
    d.openEditor(1, 1);
    const int narrow = d.editor()->width();
    QTest::keyClicks(d.editor(), QStringLiteral("IF X>1"));
    const int left = d.view()->sheetLayout().headerWidth();
    EXPECT_EQ(d.editor()->x(), left);
    EXPECT_EQ(d.editor()->width(), d.view()->viewport()->width() - left - 20);
    EXPECT_GT(d.editor()->width(), narrow);
    // The whole line fits in what is shown.
    EXPECT_LT(QFontMetrics(d.editor()->font()).horizontalAdvance(editorText()),
              d.editor()->width());
    if (const char* out = std::getenv("FC_SHOT")) {
        d.grab().save(QString::fromLocal8Bit(out) + QStringLiteral("-new-statement.png"));
    }
    d.editor()->setText(QString());
    QApplication::processEvents();
    EXPECT_EQ(d.editor()->width(), narrow) << "emptied, it is the cell's editor again";

    // In turbo mode the column-1 editor stays over its cell, growing with its text.
    d.closeEditor();
    d.setFormatSwitch({true, true});
    d.openEditor(2, 1);
    QTest::keyClicks(d.editor(), QStringLiteral("IF X>1 AND Y<2 OR Z"));
    EXPECT_EQ(d.editor()->x(), d.view()->cellRect(2, 1).x());
}

TEST_F(NothingLostWindow, TheEditorSitsWhereATallCellShowsItsText) {
    TMDIChild_1& d = open(writeTemplate());
    sheet().setRowHeight(3, 1200);
    QApplication::processEvents();
    const QRect cell = d.view()->cellRect(3, 2);
    for (VAlign v : {VAlign::Top, VAlign::Center, VAlign::Bottom}) {
        sheet().editStyle(CellRange::cell(3, 2), [&](Style& st) { st.valign = v; });
        d.openEditor(3, 2);
        const QRect e = d.editor()->geometry();
        EXPECT_LT(e.height(), cell.height()) << "one line, not the whole cell";
        if (v == VAlign::Top) {
            EXPECT_EQ(e.top(), cell.top());
        } else if (v == VAlign::Center) {
            EXPECT_NEAR(e.center().y(), cell.center().y(), 1);
        } else {
            EXPECT_EQ(e.bottom(), cell.bottom());
        }
        d.closeEditor();
    }
}

TEST_F(NothingLostWindow, ColumnsAndRowsNeverCutALongTemplate) {
    Workbook book;
    TemplateFile::newTemplate(book);
    book.sheet().setMaxCol(5);
    book.sheet().setMaxRow(400);
    book.sheet().setText(1, 1, "FOR I");
    book.sheet().setText(400, 2, "row 400");
    const QString path = dir.filePath("long.rpt");
    ASSERT_TRUE(TemplateFile::save(path, book, TemplateFormat::Table, prompter));
    TMDIChild_1& d = open(path);
    ASSERT_EQ(sheet().maxRow(), 400);
    int wantRows = 250;
    int shownRows = 0, rowLimit = 0;
    d.runColsRowsDialog = [&](ColsRowsDialog& dialog) {
        shownRows = dialog.rows();
        rowLimit = dialog.findChild<QSpinBox*>(QStringLiteral("SpinEdit2"))->maximum();
        dialog.setCounts(dialog.cols(), wantRows);
        return true;
    };
    d.designerKey(Qt::Key_F6, Qt::NoModifier);
    EXPECT_EQ(shownRows, 400) << "the dialog starts at the template's extent";
    EXPECT_EQ(rowLimit, kMaxRows);
    EXPECT_EQ(prompter.transcript(),
              "Внимание:|Строк не может быть меньше 400: в строке 400 есть данные.\n");
    EXPECT_EQ(sheet().maxRow(), 400);

    prompter.clear();
    wantRows = 700;
    d.designerKey(Qt::Key_F6, Qt::NoModifier);
    EXPECT_EQ(sheet().maxRow(), 700);
    change();
    d.chooseSaveFile = [&](const QString&, const QString&, bool) {
        return TMDIChild_1::SaveChoice{path, 0};
    };
    d.designerKey(Qt::Key_F2, Qt::NoModifier);
    Workbook back;
    TemplateFile::load(path, back, prompter);
    EXPECT_EQ(back.sheet().text(400, 2), "row 400") << "nothing was dropped on saving";
    EXPECT_EQ(prompter.transcript(), "");
}

// ---------------------------------------------------------------- in the main window

struct NothingLostInShell : ::testing::Test {
    AppSettings settings;
    TMainForm form{settings, std::make_unique<ShellDialogs>()};
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    QString chosen;

    void SetUp() override {
        form.setPrompter(&prompter);
        form.setFileChooser([this](QWidget*, const QString&, const QString&) { return chosen; });
        form.resize(900, 600);
        form.show();
    }
    TMDIChild_1* designer() {
        QMdiSubWindow* sub = form.mdiArea()->currentSubWindow();
        return sub != nullptr ? qobject_cast<TMDIChild_1*>(sub->widget()) : nullptr;
    }
    // "Откpыть" with the file chosen.
    TMDIChild_1* openThroughTheMenu(const QString& path) {
        chosen = path;
        form.commands().action("FileOpenItem")->trigger();
        QApplication::processEvents();
        return designer();
    }
    bool down(const char* name) { return form.commands().action(name)->isChecked(); }
    QString saved(const char* name, TemplateFormat format) {
        Workbook book;
        TemplateFile::newTemplate(book);
        Sheet& s = book.sheet();
        s.setMaxCol(3);
        s.setMaxRow(3);
        s.setText(1, 1, "FOR I");
        s.setText(2, 2, "form");
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(TemplateFile::save(path, book, format, prompter));
        return path;
    }
    void save(TMDIChild_1* d) {
        d->chooseSaveFile = [d](const QString&, const QString&, bool) {
            return TMDIChild_1::SaveChoice{d->templatePath(), 0};
        };
        form.commands().action("FileSaveItem")->trigger();
    }
};

TEST_F(NothingLostInShell, ATurboTemplateIsSavedAsOneAgain) {
    const QString turboPath = saved("turbo.rpt", TemplateFormat::Turbo);
    const QString extPath = saved("ext.rpt", TemplateFormat::Ext);
    const QString tablePath = saved("table.rpt", TemplateFormat::Table);

    TMDIChild_1* turbo = openThroughTheMenu(turboPath);
    ASSERT_NE(turbo, nullptr);
    EXPECT_TRUE(down("extd"));
    EXPECT_TRUE(down("Turbo"));
    EXPECT_TRUE(down("p17"));
    EXPECT_TRUE(form.commands().action("Turbo")->isEnabled());
    EXPECT_EQ(turbo->caption(), cp1251::fromQString(turboPath) + " [ext]");

    TMDIChild_1* ext = openThroughTheMenu(extPath);
    EXPECT_TRUE(down("extd"));
    EXPECT_FALSE(down("Turbo")) << "an ext template is no turbo one";
    TMDIChild_1* table = openThroughTheMenu(tablePath);
    EXPECT_FALSE(down("extd"));
    EXPECT_TRUE(down("p16"));

    // Each window shows its own mode when it becomes the active one, and saves in it.
    for (TMDIChild_1* d : {turbo, ext, table}) {
        form.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(d->parentWidget()));
        QApplication::processEvents();
        EXPECT_EQ(down("extd"), d != table);
        EXPECT_EQ(down("Turbo"), d == turbo);
        d->workbook().sheet().setText(2, 3, "edited");
        d->flushHistory();
        save(d);
        EXPECT_FALSE(d->hasUnsavedChanges()) << prompter.transcript();
    }
    EXPECT_NE(readFile(turboPath).find(";turbo"), std::string::npos);
    EXPECT_NE(readFile(turboPath).find("printstr 'edited'"), std::string::npos);
    const std::string extText = readFile(extPath);
    EXPECT_NE(extText.find(";ext="), std::string::npos);
    EXPECT_EQ(extText.find(";turbo"), std::string::npos) << extText;
    EXPECT_EQ(readFile(tablePath).find(";ext="), std::string::npos);
    EXPECT_NE(readFile(tablePath).find("&3 edited|"), std::string::npos);

    // The "T" button switches the active window only.
    form.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(table->parentWidget()));
    form.commands().button("extd")->click();
    EXPECT_EQ(table->formatSwitch(), (FormatSwitch{true, true}));
    EXPECT_EQ(ext->formatSwitch(), (FormatSwitch{true, false}));
    EXPECT_TRUE(prompter.shown().empty()) << prompter.transcript();
}

TEST_F(NothingLostInShell, WorkbooksOpenAsWorkbooks) {
    Workbook made;
    made.sheet().setText(1, 1, "STOP");
    made.sheet().setText(2, 2, w("Итого"));
    std::string error;
    const QString xls = dir.filePath("book.xls");
    const QString vts = dir.filePath("book.vts");
    ASSERT_TRUE(writeWorkbookFile(xls, kFileExcel97, made, error)) << error;
    ASSERT_TRUE(writeWorkbookFile(vts, kFileNative, made, error)) << error;
    const std::string xlsBytes = readFile(xls);

    for (const QString& path : {xls, vts}) {
        TMDIChild_1* d = openThroughTheMenu(path);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(cp1251::toUtf8(d->workbook().sheet().text(2, 2)), "Итого");
        EXPECT_EQ(d->workbook().sheet().text(1, 1), "STOP");
        EXPECT_FALSE(d->hasUnsavedChanges());
    }
    EXPECT_TRUE(prompter.shown().empty()) << prompter.transcript();

    // Saving and running a workbook asks for a template's name first: the workbook file
    // itself is never written over with a template.
    TMDIChild_1* d = openThroughTheMenu(xls);
    QString offered;
    d->chooseSaveFile = [&](const QString&, const QString& name, bool) {
        offered = name;
        return TMDIChild_1::SaveChoice{};
    };
    form.commands().action("N11")->trigger();
    EXPECT_EQ(offered, QStringLiteral("book.rpt"));
    EXPECT_EQ(readFile(xls), xlsBytes);

    // A file of another kind than its name says is refused.
    QFile::copy(vts, dir.filePath("odd.xls"));
    openThroughTheMenu(dir.filePath("odd.xls"));
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Файл odd.xls не является книгой Excel 97\n");
    EXPECT_EQ(designer()->workbook().sheet().text(1, 1), "") << "no garbage in the sheet";
}

} // namespace
} // namespace fc
