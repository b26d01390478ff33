#include "DesignerFixture.h"

#include "../../support/PdfPages.h"
#include "components/format/FileType.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/print/PageLayout.h"
#include "components/text/Cp1251.h"
#include "components/ui/PageSetupDialog.h"
#include "components/ui/PrintDialogs.h"
#include "components/ui/SheetView.h"
#include "designer/DesignerCommands.h"
#include "designer/DesignerSheet.h"
#include "designer/StatementColour.h"
#include "designer/TemplateFile.h"
#include "designer/UndoHistory.h"
#include "designer/ui/DesignerDialogs.h"
#include "designer/ui/DesignerObjects.h"
#include "designer/ui/FormulaLineEditor.h"
#include "designer/ui/ObjectFormatDialog.h"
#include "designer/ui/ServiceReference.h"
#include "designer/ui/WorkbookDialogs.h"
#include "language/PrototypeTable.h"
#include "shell/AppSettings.h"
#include "shell/ChildRegistry.h"
#include "shell/DesignerSheetOps.h"
#include "shell/ShellHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <map>

#include <gtest/gtest.h>

namespace fc {
namespace {

using A = Prompter::Answer;

using test::FakeHost;

class DesignerWindowTest : public test::DesignerFixture {};

TEST_F(DesignerWindowTest, OpensTheTemplateWithItsStatementsColoured) {
    TMDIChild_1& d = open(writeTemplate());
    EXPECT_EQ(d.objectName(), QStringLiteral("MDIChild_1"));
    EXPECT_EQ(d.view()->objectName(), QStringLiteral("vbvbn"));
    EXPECT_EQ(d.templatePath(), dir.filePath("form.rpt"));
    EXPECT_EQ(text(2, 1), "IF A");
    EXPECT_EQ(text(3, 2), "Итого по счёту");
    EXPECT_NE(sheet().style(2, 1).font.color, kAutoColor);
    EXPECT_FALSE(d.hasUnsavedChanges());
    EXPECT_FALSE(d.workbook().view().showGridLines);
    EXPECT_FALSE(d.view()->enterMovesDown());
    EXPECT_FALSE(host.enabled["Undo1"]);
    EXPECT_FALSE(host.enabled["ReDo1"]);
    EXPECT_TRUE(prompter.shown().empty());
}

TEST_F(DesignerWindowTest, NewTemplateStartsWithTheDesignerDefaults) {
    TMDIChild_1& d = open(QStringLiteral("Noname.rpt"));
    EXPECT_EQ(d.caption(), "Noname.rpt");
    EXPECT_EQ(d.workbook().defaultFont().name, "Fixedsys");
    EXPECT_EQ(sheet().maxCol(), 20);
    EXPECT_EQ(sheet().maxRow(), 10);
    EXPECT_EQ(sheet().colWidth(1), 600);
    EXPECT_EQ(sheet().colWidth(2), 1000);
}

TEST_F(DesignerWindowTest, EditorOnAStatementRowChecksWhileTyping) {
    TMDIChild_1& d = open(writeTemplate());
    d.openEditor(2, 3); // a statement row: the editor takes column 1
    ASSERT_TRUE(d.editorOpen());
    EXPECT_EQ(d.editCol(), 1);
    EXPECT_TRUE(d.editor()->isVisible());
    EXPECT_EQ(editorText(), QStringLiteral("IF A"));
    EXPECT_EQ(d.editor()->x(), d.view()->sheetLayout().headerWidth());
    d.closeEditor();
    sheet().setTopLeft(1, 3);
    d.openEditor(2, 3);
    EXPECT_EQ(sheet().leftCol(), 1) << "scrolled back to the statement column";
    EXPECT_EQ(d.editor()->width(), d.view()->viewport()->width() - d.editor()->x() - 20);
    EXPECT_EQ(host.status[2], w("Поз.: 5"));
    d.editor()->setText(QString());
    QTest::keyClicks(d.editor(), QStringLiteral("X=(1+2"));
    EXPECT_FALSE(host.status[1].empty()) << "the checker's error goes to the status bar";
    key(Qt::Key_Home);
    EXPECT_EQ(host.status[2], w("Поз.: 1"));
    key(Qt::Key_Tab);
    EXPECT_EQ(editorText(), QStringLiteral("    X=(1+2"));
    EXPECT_EQ(host.status[2], w("Поз.: 5"));
    d.editor()->setText(QStringLiteral("IF A"));
    EXPECT_TRUE(host.status[1].empty());

    d.editor()->setText(QString(216, QLatin1Char('x')));
    key(Qt::Key_End);
    QTest::keyClicks(d.editor(), QStringLiteral("abcd"));
    EXPECT_EQ(editorText().size(), 218) << "no more than 218 characters";
    d.closeEditor();
    sheet().setText(2, 1, std::string(300, 'x'));
    d.openEditor(2, 1);
    QTest::keyClicks(d.editor(), QStringLiteral("y"));
    EXPECT_EQ(editorText().size(), 300) << "a longer cell text is kept whole, not cut";
    d.closeEditor();
    EXPECT_EQ(sheet().text(2, 1).size(), 300u);
}

TEST_F(DesignerWindowTest, EnterDeleteArrowsAndCtrlEndInTheEditor) {
    TMDIChild_1& d = open(writeTemplate());
    const int rows = sheet().maxRow();
    d.openEditor(2, 1);
    key(Qt::Key_Return);
    EXPECT_EQ(text(2, 1), "IF A") << "Enter keeps the line";
    EXPECT_EQ(d.editRow(), 3) << "and opens the editor on a new row below it";
    EXPECT_EQ(sheet().maxRow(), rows + 1);
    EXPECT_TRUE(editorText().isEmpty());
    QTest::keyClicks(d.editor(), QStringLiteral("PRINT X"));
    key(Qt::Key_Up);
    EXPECT_EQ(text(3, 1), "PRINT X") << "moving stores the text";
    EXPECT_EQ(d.editRow(), 2);
    EXPECT_EQ(d.editor()->caret(), 4) << "the caret stays at its place (the end of IF A)";
    key(Qt::Key_Left);
    key(Qt::Key_Down);
    EXPECT_EQ(d.editRow(), 3);
    EXPECT_EQ(d.editor()->caret(), 3);

    key(Qt::Key_End);
    key(Qt::Key_Delete); // the next row is the form row: nothing joins
    EXPECT_EQ(editorText(), QStringLiteral("PRINT X"));
    d.openEditor(2, 1);
    key(Qt::Key_End);
    key(Qt::Key_Delete);
    EXPECT_EQ(editorText(), QStringLiteral("IF A PRINT X"));
    EXPECT_EQ(sheet().maxRow(), rows);
    EXPECT_EQ(text(3, 2), "Итого по счёту");

    d.editor()->setText(QString());
    key(Qt::Key_Up);
    EXPECT_EQ(text(2, 1), "") << "an emptied line clears the cell";
    EXPECT_EQ(sheet().maxRow(), rows) << "the row stays";
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(d.editRow(), rows);
    EXPECT_EQ(d.editCol(), 1);
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(d.editRow(), 1);
    key(Qt::Key_Escape);
    EXPECT_FALSE(d.editorOpen());
    EXPECT_TRUE(host.status[2].empty());
}

TEST_F(DesignerWindowTest, TypingOnTheSheetOpensTheEditor) {
    TMDIChild_1& d = open(writeTemplate());
    sheet().setSelection(CellRange::cell(3, 3));
    d.view()->setFocus();
    QTest::keyClick(d.view(), Qt::Key_7, Qt::NoModifier, '7');
    QApplication::processEvents();
    ASSERT_TRUE(d.editorOpen());
    EXPECT_EQ(editorText(), QStringLiteral("7")) << "a form cell is typed over";
    d.closeEditor();
    EXPECT_EQ(sheet().number(3, 3), 7);

    sheet().setSelection(CellRange::cell(2, 3));
    d.view()->setFocus();
    QTest::keyClick(d.view(), Qt::Key_X, Qt::NoModifier, 'x');
    QApplication::processEvents();
    EXPECT_EQ(d.editCol(), 1);
    EXPECT_EQ(editorText(), QStringLiteral("IF Ax")) << "the statement is not replaced";

    d.openEditor(3, 2);
    key(Qt::Key_Escape);
    QTest::keyClick(d.view(), Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_FALSE(d.editorOpen()) << "Escape stops following the cursor";
    d.openEditor(3, 2);
    d.closeEditor();
    QTest::keyClick(d.view(), Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(d.editRow(), 4) << "while following, the editor opens where the cursor went";
}

TEST_F(DesignerWindowTest, TheEditorUndoesTwoSteps) {
    TMDIChild_1& d = open(writeTemplate());
    d.openEditor(2, 1);
    key(Qt::Key_End);
    QTest::keyClicks(d.editor(), QStringLiteral("BCD"));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editorText(), QStringLiteral("IF ABC"));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editorText(), QStringLiteral("IF AB"));
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editorText(), QStringLiteral("IF AB")) << "two steps at most";
}

TEST_F(DesignerWindowTest, FormCellsAndCtrlY) {
    TMDIChild_1& d = open(writeTemplate());
    d.openEditor(3, 2);
    EXPECT_EQ(d.editCol(), 2);
    key(Qt::Key_End);
    key(Qt::Key_Right);
    EXPECT_EQ(d.editCol(), 3) << "Right at the end goes to the next column";
    EXPECT_EQ(editorText(), QStringLiteral("100"));
    key(Qt::Key_Home);
    key(Qt::Key_Left);
    EXPECT_EQ(d.editCol(), 2);
    EXPECT_EQ(d.editor()->caret(), static_cast<int>(editorText().size()));
    const int rows = sheet().maxRow();
    d.openEditor(2, 1);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(sheet().maxRow(), rows - 1);
    EXPECT_EQ(text(2, 2), "Итого по счёту");
    EXPECT_EQ(d.editRow(), 2) << "the editor reopens at the same place";
}

TEST_F(DesignerWindowTest, AltDigitsJumpToAFileLine) {
    TMDIChild_1& d = open(writeTemplate());
    sheet().setRowHeading(4, "12");
    sheet().setRowHeading(5, "15");
    sheet().setRowHeading(3, "10");
    d.view()->setFocus();
    // Alt stays down while the digits are typed.
    auto send = [&](QEvent::Type type, int k, Qt::KeyboardModifiers m, const QString& t) {
        QKeyEvent e(type, k, m, t);
        QApplication::sendEvent(d.view(), &e);
    };
    send(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier, {});
    for (const char* digit : {"1", "3"}) {
        const int k = Qt::Key_0 + (digit[0] - '0');
        send(QEvent::KeyPress, k, Qt::AltModifier, QString::fromLatin1(digit));
        send(QEvent::KeyRelease, k, Qt::AltModifier, QString::fromLatin1(digit));
    }
    send(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier, {});
    EXPECT_EQ(d.editRow(), 4) << "line 13 was not loaded: the nearest earlier one";
    EXPECT_EQ(d.editor()->textCursor().selectedText(), QStringLiteral("ENDIF"));
}

TEST_F(DesignerWindowTest, ShowErrorAtPutsTheCaretAtThePosition) {
    TMDIChild_1& d = open(writeTemplate());
    const std::string heading = sheet().rowHeading(2);
    d.showErrorAt(std::stoi(heading), 3);
    EXPECT_EQ(d.editRow(), 2);
    EXPECT_EQ(d.editor()->caret(), 2);
    EXPECT_EQ(sheet().activeCell(), (CellRef{2, 1}));
}

TEST_F(DesignerWindowTest, UndoAndRedoFollowTheSlots) {
    TMDIChild_1& d = open(writeTemplate());
    for (int i = 1; i <= 7; ++i) {
        sheet().setText(3, 4, std::to_string(i));
        change();
    }
    EXPECT_TRUE(host.enabled["Undo1"]);
    EXPECT_FALSE(host.enabled["ReDo1"]);
    EXPECT_TRUE(d.hasUnsavedChanges());
    for (int i = 0; i < 8; ++i) {
        d.designerKey(Qt::Key_F15, Qt::NoModifier);
    }
    EXPECT_EQ(text(3, 4), "2") << "five steps back: the oldest images went";
    EXPECT_FALSE(host.enabled["Undo1"]);
    EXPECT_TRUE(host.enabled["ReDo1"]);
    d.designerKey(Qt::Key_F16, Qt::NoModifier);
    EXPECT_EQ(text(3, 4), "3");
    EXPECT_TRUE(host.enabled["Undo1"]);
}

TEST_F(DesignerWindowTest, SearchAndReplaceAll) {
    TMDIChild_1& d = open(writeTemplate());
    sheet().setSelection(CellRange::cell(1, 1));
    d.runSearchDialog = [](SearchDialog& s) {
        s.setSearchText(QStringLiteral("if"));
        return true;
    };
    d.designerKey(Qt::Key_F11, Qt::NoModifier);
    EXPECT_EQ(d.editRow(), 2);
    EXPECT_EQ(d.editor()->textCursor().selectedText(), QStringLiteral("IF"));
    d.designerKey(Qt::Key_F12, Qt::NoModifier); // after the caret in the editor
    EXPECT_EQ(d.editRow(), 4);
    EXPECT_EQ(d.editor()->textCursor().selectionStart(), 3);
    d.designerKey(Qt::Key_F12, Qt::NoModifier);
    EXPECT_EQ(prompter.transcript(), "Внимание:|Обpазец: \"IF\" не найден\n");
    prompter.clear();

    sheet().setSelection(CellRange::cell(1, 1));
    d.runSearchDialog = [](SearchDialog& s) {
        s.setSearchText(QStringLiteral("if"));
        s.setReplacing(true, QStringLiteral("WHEN"));
        return true;
    };
    prompter.push(A::All);
    d.designerKey(Qt::Key_F11, Qt::NoModifier);
    EXPECT_EQ(text(2, 1), "WHEN A");
    EXPECT_EQ(text(4, 1), "ENDWHEN");
    EXPECT_EQ(prompter.transcript(),
              "Внимание:|Заменить на \"WHEN\" ?\nВнимание:|Замена выполнена.\n");
}

TEST_F(DesignerWindowTest, SaveAsWithBothFilters) {
    TMDIChild_1& d = open(writeTemplate());
    sheet().setText(3, 4, "edit");
    sheet().setText(2, 6, "right of the form");
    change();
    QString offeredDir, offeredName;
    d.chooseSaveFile = [&](const QString& dir, const QString& name, bool only) {
        offeredDir = dir;
        offeredName = name;
        EXPECT_FALSE(only);
        return TMDIChild_1::SaveChoice{this->dir.filePath("copy"), 0};
    };
    d.designerKey(Qt::Key_F2, Qt::NoModifier);
    EXPECT_EQ(offeredDir, dir.path());
    EXPECT_EQ(offeredName, QStringLiteral("form.rpt"));
    EXPECT_TRUE(QFile::exists(dir.filePath("copy.rpt"))) << "\".rpt\" appended";
    EXPECT_EQ(d.caption(), cp1251::fromQString(dir.filePath("copy.rpt")));
    EXPECT_FALSE(d.hasUnsavedChanges());
    EXPECT_EQ(host.appSettings.lastOpenedDir, cp1251::fromQString(dir.path()));

    d.chooseSaveFile = [&](const QString&, const QString&, bool) {
        return TMDIChild_1::SaveChoice{this->dir.filePath("book.xls"), 1};
    };
    d.designerKey(Qt::Key_F2, Qt::NoModifier);
    EXPECT_TRUE(QFile::exists(dir.filePath("book.xls")));
    EXPECT_FALSE(QFile::exists(dir.filePath("book.xls.xls")));
    EXPECT_EQ(text(2, 6), "") << "the area right of the form was cleared";
    Workbook back;
    std::string error;
    EXPECT_EQ(readWorkbookFile(dir.filePath("book.xls"), back, error), kFileExcel97) << error;
    EXPECT_EQ(cp1251::toUtf8(back.sheet().text(3, 2)), "Итого по счёту");
    EXPECT_EQ(back.sheet().text(1, UndoHistory::kStateCol), "") << "no undo values in the copy";

    d.setFormatSwitch({true, true}); // as the main window's "T" button sets it
    d.chooseSaveFile = [&](const QString&, const QString&, bool) {
        return TMDIChild_1::SaveChoice{this->dir.filePath("turbo"), 0};
    };
    d.designerKey(Qt::Key_F2, Qt::NoModifier);
    EXPECT_TRUE(QFile::exists(dir.filePath("turbo.rpt")));
    EXPECT_EQ(d.caption(), cp1251::fromQString(dir.filePath("turbo.rpt")) + " [ext]");
    d.workbook().setNumSheets(2);
    d.designerKey(Qt::Key_F2, Qt::NoModifier);
    EXPECT_EQ(prompter.transcript(),
              "Ошибка сохранения:|В формате \"TURBO\" форма не может быть многостраничной!\n");
}

TEST_F(DesignerWindowTest, SaveAndRunAsksANameForANewTemplate) {
    TMDIChild_1& d = open(QStringLiteral("Noname.rpt"));
    sheet().setText(1, 1, w("IF A"));
    int asked = 0;
    d.chooseSaveFile = [&](const QString&, const QString& name, bool only) {
        ++asked;
        EXPECT_EQ(name, QStringLiteral("Noname.rpt"));
        EXPECT_TRUE(only);
        return TMDIChild_1::SaveChoice{};
    };
    d.designerKey(Qt::Key_F8, Qt::NoModifier);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(host.runs.empty()) << "cancelling stops";

    host.registry.add(&d);
    d.chooseSaveFile = [&](const QString&, const QString&, bool) {
        return TMDIChild_1::SaveChoice{this->dir.filePath("run"), 0};
    };
    d.designerKey(Qt::Key_F8, Qt::NoModifier);
    ASSERT_EQ(host.runs.size(), 1u);
    EXPECT_EQ(host.runs[0], "G run linked");
    EXPECT_EQ(host.appSettings.currentFileName, cp1251::fromQString(dir.filePath("run.rpt")))
        << "the report window finds the template beside the current file name";
    EXPECT_EQ(text(1, 1), "IF A") << "read back after saving";
    d.designerKey(Qt::Key_F8, Qt::NoModifier);
    EXPECT_EQ(host.runs.size(), 2u) << "a named template is saved without asking";
    host.registry.remove(&d);
}

TEST_F(DesignerWindowTest, ClosingAsksAboutChanges) {
    TMDIChild_1& d = open(writeTemplate());
    EXPECT_TRUE(d.close()) << "nothing to ask";
    EXPECT_TRUE(prompter.shown().empty());

    open(writeTemplate());
    sheet().setText(3, 4, "x");
    change();
    prompter.push(A::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(prompter.transcript(), "Внимание:|Сохpанить изменения?\n");

    int asked = 0;
    window->chooseSaveFile = [&](const QString&, const QString&, bool) {
        ++asked;
        return TMDIChild_1::SaveChoice{};
    };
    prompter.push(A::Yes);
    EXPECT_FALSE(window->close()) << "the save dialog was cancelled";
    EXPECT_EQ(asked, 1);

    window->chooseSaveFile = [&](const QString&, const QString&, bool) {
        return TMDIChild_1::SaveChoice{this->dir.filePath("saved.rpt"), 0};
    };
    prompter.push(A::Yes);
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(QFile::exists(dir.filePath("saved.rpt")));

    open(writeTemplate());
    window->openEditor(2, 1);
    QTest::keyClicks(window->editor(), QStringLiteral("Y"));
    window->commitFormulaEditor();
    EXPECT_TRUE(window->hasUnsavedChanges()) << "before the history has taken the change";
    window->openEditor(2, 1);
    QTest::keyClicks(window->editor(), QStringLiteral("X"));
    prompter.push(A::No);
    EXPECT_TRUE(window->close()) << "the open editor counts as a change";
    EXPECT_EQ(text(2, 1), "IF AYX");
}

TEST_F(DesignerWindowTest, PrototypeLineAndReferenceLandInTheSheet) {
    TMDIChild_1& d = open(writeTemplate());
    const int rows = sheet().maxRow();
    sheet().setSelection(CellRange::cell(2, 1));
    d.insertPrototypeLine(w("FACT %"));
    EXPECT_EQ(sheet().maxRow(), rows + 1);
    EXPECT_EQ(text(2, 1), "FACT %");
    EXPECT_EQ(text(3, 1), "IF A");
    EXPECT_EQ(d.editRow(), 2);

    ServiceReferenceDialog* ref = nullptr;
    d.showDialog = [&](QWidget& w) { ref = qobject_cast<ServiceReferenceDialog*>(&w); };
    key(Qt::Key_Home);
    key(Qt::Key_F1);
    ASSERT_NE(ref, nullptr);
    Sheet& rs = ref->workbook().sheet();
    EXPECT_EQ(rs.text(ServiceReferenceDialog::kFirstEntryRow, 1), ";fix=<n>");
    EXPECT_EQ(rs.maxRow(), ServiceReferenceDialog::kFirstEntryRow - 1 +
                               static_cast<int>(servicereference::entries().size()));
    rs.setSelection(CellRange::cell(6, 1));
    EXPECT_EQ(rs.style(6, 1).numberFormat, "[Red]@");
    rs.setSelection(CellRange::cell(7, 1));
    EXPECT_EQ(rs.style(6, 1).numberFormat, "@");
    if (const char* out = std::getenv("FC_SHOT")) {
        ref->show();
        QApplication::processEvents();
        ref->grab().save(QString::fromLocal8Bit(out) + QStringLiteral("-reference.png"));
    }
    ref->choose(7);
    EXPECT_EQ(editorText(), QStringLiteral(";colh[<i>]FACT %"));
    delete ref;
}

TEST_F(DesignerWindowTest, RowAndColumnCommands) {
    TMDIChild_1& d = open(writeTemplate());
    d.runColsRowsDialog = [](ColsRowsDialog& c) {
        EXPECT_EQ(c.cols(), 4);
        c.setCounts(7, 30);
        return true;
    };
    d.designerKey(Qt::Key_F6, Qt::NoModifier);
    EXPECT_EQ(sheet().maxCol(), 7);
    EXPECT_EQ(sheet().maxRow(), 30);
    sheet().setSelection({3, 1, 3, kMaxCols});
    d.designerKey(Qt::Key_F14, Qt::NoModifier);
    EXPECT_EQ(sheet().maxRow(), 31);
    EXPECT_EQ(text(4, 2), "Итого по счёту");
    d.designerKey(Qt::Key_F13, Qt::NoModifier);
    EXPECT_EQ(text(3, 2), "Итого по счёту");
    sheet().setSelection({3, 1, 3, kMaxCols});
    d.designerKey(Qt::Key_F18, Qt::NoModifier);
    EXPECT_GT(designer::fixedHeight(sheet(), 3), 0);
    d.designerKey(Qt::Key_F19, Qt::NoModifier);
    EXPECT_EQ(designer::fixedHeight(sheet(), 3), 0);
}

TEST_F(DesignerWindowTest, AddedSheetsTakeTheDefaultsAndTheEditorStaysWithItsSheet) {
    TMDIChild_1& d = open(writeTemplate());
    d.openEditor(2, 1);
    QTest::keyClicks(d.editor(), QStringLiteral("B"));
    addDesignerSheet(d.workbook());
    EXPECT_FALSE(d.editorOpen()) << "switching sheets leaves the editor";
    EXPECT_EQ(cp1251::toUtf8(d.workbook().sheet(1).text(2, 1)), "IF AB");
    d.refreshSheetProperties();
    EXPECT_EQ(sheet().maxCol(), 20);
    EXPECT_EQ(sheet().maxRow(), 10);
    EXPECT_EQ(sheet().colWidth(1), 600);
    EXPECT_EQ(d.workbook().sheet(1).maxCol(), 4) << "the loaded sheet keeps its own";
}

TEST_F(DesignerWindowTest, FormatPasteCutAndDefaultFont) {
    TMDIChild_1& d = open(writeTemplate());
    sheet().setSelection({3, 2, 3, 3});
    d.runCellFormatDialog = [](CellFormatDialog& f) {
        f.setNumberFormat(QStringLiteral("0.00"));
        return true;
    };
    d.designerKey(Qt::Key_F5, Qt::NoModifier);
    EXPECT_EQ(sheet().style(3, 3).numberFormat, "0.00");
    EXPECT_EQ(text(3, 3), "100.00");
    d.runCellFormatDialog = [](CellFormatDialog& f) {
        f.setNumberFormat(QStringLiteral("0.00\"x"));
        return true;
    };
    d.designerKey(Qt::Key_F5, Qt::NoModifier);
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Чё-то с числовым фоpматом ячейки !?\n");
    EXPECT_EQ(sheet().style(3, 3).numberFormat, "0.00") << "the sheet stays as it was";

    const int rows = sheet().maxRow();
    QApplication::clipboard()->setText(QStringLiteral("a\nb\nc\nd\ne\n"));
    sheet().setSelection({3, 4, 4, 4});
    d.view()->setFocus();
    QTest::keyClick(d.view(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(sheet().maxRow(), rows + 3) << "5 lines into 2 rows: 3 rows inserted first";
    EXPECT_EQ(text(5, 4), "c");
    EXPECT_EQ(text(7, 4), "e");
    EXPECT_EQ(text(4, 1), "ENDIF");

    sheet().setSelection(CellRange::cell(kMaxRows - 1, 4));
    QTest::keyClick(d.view(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Чё-то с числовым фоpматом ячейки !?\n"
                                     "Ошибка:|Ошибка вставки!\n");
    EXPECT_EQ(sheet().maxRow(), rows + 3) << "a failed paste leaves the sheet as it was";

    sheet().setSelection({1, 1, 2, 1});
    QTest::keyClick(d.view(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(sheet().maxRow(), rows + 1) << "cutting from column 1 deletes the rows";
    EXPECT_EQ(text(1, 2), "Итого по счёту");
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral(";fix=2")));

    sheet().setRowHeight(1, 700);
    designer::setFixedHeight(sheet(), 1, 700);
    sheet().setRowHeight(3, 700);
    d.chooseFont = [](const QFont& start) -> std::optional<QFont> {
        EXPECT_EQ(start.pointSizeF(), 10);
        QFont f(QStringLiteral("Courier New"));
        f.setPointSizeF(14);
        return f;
    };
    d.designerKey(Qt::Key_F9, Qt::NoModifier);
    EXPECT_EQ(d.workbook().defaultFont().name, "Courier New");
    EXPECT_EQ(text(2, 1), "ENDIF");
    EXPECT_EQ(sheet().style(2, 1).font.size, 14) << "the coloured statement takes the size";
    EXPECT_EQ(sheet().selectionRange(0), (CellRange{1, 1, 2, 1})) << "selection restored";
    EXPECT_EQ(sheet().rowHeight(1), 700) << "a fixed row keeps its height";
    EXPECT_NE(sheet().rowHeight(3), 700) << "the others are fitted again";
}

TEST_F(DesignerWindowTest, TheEditorFollowsTheScale) {
    TMDIChild_1& d = open(writeTemplate());
    d.openEditor(3, 2);
    const int before = d.editor()->height();
    setDesignerScale(d.workbook(), 200);
    QApplication::processEvents();
    EXPECT_GT(d.editor()->height(), before);
    EXPECT_EQ(d.editor()->geometry().bottom(), d.view()->cellRect(3, 2).bottom())
        << "at the bottom of a bottom-aligned cell";
}

TEST_F(DesignerWindowTest, F10PrintsThePagesOfThePageSetup) {
    TMDIChild_1& d = open(writeTemplate());
    sheet().setMaxRow(120);
    sheet().setText(120, 2, "last");
    sheet().setText(3, 9, "right of the form");
    sheet().print().titles = "$1:$1";
    const QString pdf = dir.filePath("print.pdf");
    int dialogs = 0;
    d.runPrintDialog = [&](QPrinter& printer) {
        ++dialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    d.designerKey(Qt::Key_F10, Qt::NoModifier);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(text(3, 9), "") << "what lies right of the form is not printed";
    EXPECT_EQ(sheet().selectionRange(0), (CellRange{1, 1, 120, 4}));
    const print::PageLayout pages(sheet(), d.view()->measurer());
    ASSERT_GT(pages.pages().size(), 1u);
    EXPECT_EQ(test::pdfPages(pdf), static_cast<int>(pages.pages().size()));

    // The preview shows the same pages; closing it prints nothing, "Печать" prints.
    int shown = 0;
    d.runPrintPreview = [&](PrintPreviewDialog& preview) {
        shown = preview.pageCount();
        return dialogs == 1;
    };
    QFile::remove(pdf);
    d.printPreview();
    EXPECT_EQ(shown, static_cast<int>(pages.pages().size()));
    EXPECT_EQ(dialogs, 2);
    EXPECT_TRUE(QFile::exists(pdf));
    d.printPreview();
    EXPECT_EQ(dialogs, 2);

    // Cancelling the print dialog prints nothing.
    QFile::remove(pdf);
    d.runPrintDialog = [](QPrinter&) { return false; };
    d.designerKey(Qt::Key_F10, Qt::NoModifier);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(prompter.transcript(), "");
}

TEST_F(DesignerWindowTest, F5OnASelectedObjectFormatsTheObject) {
    TMDIChild_1& d = open(writeTemplate());
    int objectDialogs = 0;
    int cellDialogs = 0;
    d.objects()->runFormatDialog = [&](ObjectFormatDialog&) {
        ++objectDialogs;
        return false;
    };
    d.runCellFormatDialog = [&](CellFormatDialog&) {
        ++cellDialogs;
        return false;
    };
    const int id = sheet().createObject(ObjectKind::Rectangle, 2, 2, 3, 3);
    sheet().selectObject(id);
    d.workbook().setModified(false);
    d.designerKey(Qt::Key_F5, Qt::NoModifier);
    EXPECT_EQ(objectDialogs, 1);
    EXPECT_EQ(cellDialogs, 0);
    EXPECT_TRUE(d.workbook().modified());
    sheet().clearObjectSelection();
    d.designerKey(Qt::Key_F5, Qt::NoModifier);
    EXPECT_EQ(cellDialogs, 1);

    sheet().selectObject(id);
    d.view()->setFocus();
    QTest::keyClick(d.view(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(sheet().object(id), nullptr) << "Ctrl+D deletes the object";
}

TEST_F(DesignerWindowTest, WorkbookDesignerAndPageSetupDialogs) {
    TMDIChild_1& d = open(writeTemplate());
    d.runWorkbookDesigner = [](WorkbookDesignerDialog& w) {
        w.nameEdit()->setText(QStringLiteral("Баланс"));
        return true;
    };
    d.designerKey(Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(cp1251::toUtf8(sheet().name()), "Баланс");
    EXPECT_EQ(sheet().maxCol(), 4) << "what the dialog was not asked to change stays";

    sheet().print().leftMargin = 0.4;
    sheet().print().landscape = true;
    PageSetupDialog page(sheet());
    page.apply(sheet());
    EXPECT_DOUBLE_EQ(sheet().print().leftMargin, 0.4);
    EXPECT_TRUE(sheet().print().landscape);

    // F17 runs the dialog on the current sheet.
    d.runPageSetupDialog = [](PageSetupDialog& p) {
        p.landscapeBox()->setChecked(false);
        p.fitBox()->setChecked(true);
        p.fitTallBox()->setValue(2);
        return true;
    };
    d.designerKey(Qt::Key_F17, Qt::NoModifier);
    EXPECT_FALSE(sheet().print().landscape);
    EXPECT_TRUE(sheet().print().fitToPage);
    EXPECT_EQ(sheet().print().fitVPages, 2);
}

TEST_F(DesignerWindowTest, PageSetupKeepsThePrintAreaAndTitlesThroughSaving) {
    TMDIChild_1& d = open(writeTemplate());
    {
        PageSetupDialog page(sheet());
        EXPECT_EQ(page.areaEdit()->text(), QString());
        page.areaEdit()->setText(QStringLiteral(" $A$1:$D$5 "));
        page.titlesEdit()->setText(QStringLiteral("$1:$2"));
        page.apply(sheet());
    }
    EXPECT_EQ(sheet().print().area, "$A$1:$D$5");
    EXPECT_EQ(sheet().print().titles, "$1:$2");
    for (TemplateFormat format : {TemplateFormat::Table, TemplateFormat::Turbo}) {
        const QString path = dir.filePath(format == TemplateFormat::Table ? "a.rpt" : "t.rpt");
        ASSERT_TRUE(TemplateFile::save(path, d.workbook(), format, prompter));
        Workbook back;
        ASSERT_TRUE(TemplateFile::load(path, back, prompter, {}).opened);
        EXPECT_EQ(back.sheet().print().area, "$A$1:$D$5");
        EXPECT_EQ(back.sheet().print().titles, "$1:$2");
        PageSetupDialog again(back.sheet());
        EXPECT_EQ(again.areaEdit()->text(), QStringLiteral("$A$1:$D$5"));
        again.titlesEdit()->clear();
        again.apply(back.sheet());
        EXPECT_EQ(back.sheet().print().titles, "") << "a cleared field clears the setting";
    }
    EXPECT_EQ(prompter.transcript(), "");
}

TEST_F(DesignerWindowTest, FormatDialogColoursComeFromTheColourDialog) {
    TMDIChild_1& d = open(writeTemplate());
    sheet().setSelection({3, 2, 3, 3});
    d.runCellFormatDialog = [](CellFormatDialog& f) {
        std::vector<QColor> starts;
        f.chooseColour = [&](const QColor& start) -> std::optional<QColor> {
            starts.push_back(start);
            if (starts.size() == 2) {
                return std::nullopt; // cancelled: the field keeps its colour
            }
            return QColor(0x12, 0x34, 0x56);
        };
        f.colourButton(CellFormatDialog::Colour::Font)->click();
        f.colourButton(CellFormatDialog::Colour::Pattern)->click();
        f.colourButton(CellFormatDialog::Colour::Background)->click();
        EXPECT_EQ(starts.size(), 3u);
        EXPECT_EQ(starts[0], QColor(Qt::black)) << "the automatic font colour starts black";
        EXPECT_EQ(starts[2], QColor(Qt::white)) << "the automatic background starts white";
        f.colourButton(CellFormatDialog::Colour::Background)->click();
        EXPECT_EQ(starts[3], QColor(0x12, 0x34, 0x56)) << "a chosen colour is the next start";
        return true;
    };
    d.designerKey(Qt::Key_F5, Qt::NoModifier);
    EXPECT_EQ(sheet().style(3, 3).font.color, rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(sheet().style(3, 2).fill.bg, rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(sheet().style(3, 2).fill.fg, kAutoColor);
}

TEST_F(DesignerWindowTest, ASaveThatCannotBeWrittenLosesNothing) {
    TMDIChild_1& d = open(writeTemplate());
    const QString locked = writeTemplate("locked.rpt");
    QFile f(locked);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    sheet().setText(3, 4, "edit");
    sheet().setText(2, 6, "right of the form");
    change();
    const std::string caption = d.caption();
    host.appSettings.lastOpenedDir = "kept";
    QString target;
    int filter = 0;
    d.chooseSaveFile = [&](const QString&, const QString&, bool) {
        return TMDIChild_1::SaveChoice{target, filter};
    };
    const std::string failed = "Ошибка:|Ошибка сохpанения файла !\n";
    for (const QString& t : {locked, dir.filePath("missing/new.rpt")}) {
        prompter.clear();
        target = t;
        d.designerKey(Qt::Key_F2, Qt::NoModifier);
        EXPECT_EQ(prompter.transcript(), failed) << t.toStdString();
        EXPECT_TRUE(d.hasUnsavedChanges());
        EXPECT_EQ(d.caption(), caption);
        EXPECT_EQ(text(3, 4), "edit");
    }
    QFile again(locked);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), before) << "the read-only file was not replaced";
    EXPECT_FALSE(QFile::exists(dir.filePath("missing")));

    prompter.clear();
    target = dir.filePath("missing/book.xls");
    filter = 1;
    d.designerKey(Qt::Key_F2, Qt::NoModifier);
    EXPECT_EQ(prompter.transcript(), failed);
    EXPECT_EQ(text(2, 6), "right of the form") << "a refused Excel save prepares nothing";

    prompter.clear();
    d.setFormatSwitch({true, true});
    target = locked;
    filter = 0;
    d.designerKey(Qt::Key_F2, Qt::NoModifier);
    EXPECT_EQ(prompter.transcript(), "Внимание:|Ошибка сохpанения !\n");
    EXPECT_FALSE(QFile::exists(TemplateFile::companionPath(locked)));
    EXPECT_EQ(d.caption(), caption);
    EXPECT_EQ(host.appSettings.lastOpenedDir, "kept") << "no failed directory is remembered";
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(DesignerWindowTest, BrokenAndBinaryFilesOpenWithoutHarm) {
    const QByteArray binary = QByteArray::fromHex("00ff1b5b4a0d0a3b7461626c650d0a00") +
                              QByteArray(5000, '\xcc') + QByteArray(3, '\0');
    const QByteArray turboMissing = ";table\r\n;ext=gone.vts ;ver=1\r\n1|a\tb\r\n";
    const QByteArray cutFontLine = ";table\r\n;font[1]=\r\n;colw[\r\n;maxcol=x\r\nIF\r\n";
    std::vector<std::string> said;
    for (const QByteArray& bytes : {binary, turboMissing, cutFontLine}) {
        const QString path = dir.filePath("broken.rpt");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        prompter.clear();
        delete window;
        window = nullptr;
        TMDIChild_1& d = open(path);
        EXPECT_GE(sheet().maxRow(), 1);
        EXPECT_FALSE(d.hasUnsavedChanges()) << "opening is no change";
        d.openEditor(1, 1);
        d.closeEditor();
        said.push_back(prompter.transcript());
    }
    EXPECT_EQ(said[0], "");
    EXPECT_EQ(said[1], "Ошибка:|Ошибка пpи чтении фоpмы!\n") << "no companion name to show";
    EXPECT_EQ(said[2], "");
}

TEST_F(DesignerWindowTest, AFullSheetStaysQuick) {
    Workbook book;
    TemplateFile::newTemplate(book);
    Sheet& big = book.sheet();
    big.setMaxCol(4);
    big.setMaxRow(kMaxRows);
    for (int r = 1; r <= kMaxRows; ++r) {
        big.setText(r, r % 2 ? 1 : 2, r % 2 ? w("IF A") : "row " + std::to_string(r));
    }
    const QString path = dir.filePath("big.rpt");
    ASSERT_TRUE(TemplateFile::save(path, book, TemplateFormat::Table, prompter));
    TMDIChild_1& d = open(path);
    ASSERT_EQ(sheet().maxRow(), kMaxRows);
    sheet().setText(kMaxRows, 3, "last");
    QElapsedTimer clock;
    clock.start();
    d.flushHistory();
    const qint64 snapshot = clock.elapsed();
    std::printf("one undo snapshot of %d rows: %lld ms\n", kMaxRows,
                static_cast<long long>(snapshot));
    EXPECT_LT(snapshot, 3000);
    clock.restart();
    d.designerKey(Qt::Key_F15, Qt::NoModifier);
    std::printf("one undo of %d rows: %lld ms\n", kMaxRows,
                static_cast<long long>(clock.elapsed()));
    EXPECT_EQ(text(kMaxRows, 3), "");
    EXPECT_EQ(sheet().maxRow(), kMaxRows);

    // F14 on a full sheet would push the last row out: nothing happens.
    sheet().setSelection({kMaxRows - 1, 1, kMaxRows - 1, kMaxCols});
    d.designerKey(Qt::Key_F14, Qt::NoModifier);
    EXPECT_EQ(text(kMaxRows, 2), "row " + std::to_string(kMaxRows));
    EXPECT_EQ(sheet().maxRow(), kMaxRows);
    // Alt with more digits than any line: the last row.
    d.view()->setFocus();
    for (int i = 0; i < 14; ++i) {
        QKeyEvent e(QEvent::KeyPress, Qt::Key_9, Qt::AltModifier, QStringLiteral("9"));
        QApplication::sendEvent(d.view(), &e);
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QApplication::sendEvent(d.view(), &release);
    EXPECT_EQ(d.editRow(), kMaxRows);
}

TEST_F(DesignerWindowTest, SearchInAnEmptySheetAndEdgesOfRowsAndColumns) {
    TMDIChild_1& d = open(QStringLiteral("Noname.rpt"));
    d.runSearchDialog = [](SearchDialog& s) {
        s.setSearchText(QStringLiteral("abc"));
        return true;
    };
    d.designerKey(Qt::Key_F11, Qt::NoModifier);
    d.designerKey(Qt::Key_F12, Qt::NoModifier);
    EXPECT_EQ(prompter.transcript(),
              "Внимание:|Обpазец: \"ABC\" не найден\nВнимание:|Обpазец: \"ABC\" не найден\n");
    EXPECT_FALSE(d.editorOpen());

    delete window;
    window = nullptr;
    open(writeTemplate());
    designer::setFixedHeight(sheet(), 3, 600);
    sheet().setText(3, designer::objectCol(sheet()), "OBJ records");
    const int cols = sheet().maxCol();
    sheet().setSelection({1, 3, kMaxRows, 3});
    window->designerKey(Qt::Key_F13, Qt::NoModifier);
    EXPECT_EQ(sheet().maxCol(), cols - 1);
    EXPECT_EQ(designer::fixedHeight(sheet(), 3), 600) << "the height column stays in place";
    EXPECT_EQ(text(3, designer::objectCol(sheet())), "OBJ records");
    sheet().setSelection({1, cols + 3, kMaxRows, cols + 4});
    window->designerKey(Qt::Key_F13, Qt::NoModifier);
    window->designerKey(Qt::Key_F14, Qt::NoModifier);
    EXPECT_EQ(sheet().maxCol(), cols - 1) << "columns right of the object column are no form";
    EXPECT_EQ(text(3, designer::objectCol(sheet())), "OBJ records");
    sheet().setSelection({1, 2, kMaxRows, 2});
    window->designerKey(Qt::Key_F14, Qt::NoModifier);
    EXPECT_EQ(designer::fixedHeight(sheet(), 3), 600);
    EXPECT_EQ(text(3, designer::objectCol(sheet())), "OBJ records");

    const int rows = sheet().maxRow();
    sheet().setSelection({rows + 2, 1, rows + 4, kMaxCols});
    window->designerKey(Qt::Key_F13, Qt::NoModifier);
    window->designerKey(Qt::Key_F14, Qt::NoModifier);
    EXPECT_EQ(sheet().maxRow(), rows) << "rows past the template are none of its rows";
    sheet().setSelection({rows, 1, kMaxRows, kMaxCols});
    window->designerKey(Qt::Key_F13, Qt::NoModifier);
    EXPECT_EQ(sheet().maxRow(), rows - 1);
}

TEST_F(DesignerWindowTest, AHugeClipboard) {
    TMDIChild_1& d = open(writeTemplate());
    const int rows = sheet().maxRow();
    QString many;
    for (int i = 0; i < kMaxRows + 10; ++i) {
        many += QStringLiteral("x\t") + QString::number(i) + QLatin1Char('\n');
    }
    QApplication::clipboard()->setText(many);
    sheet().setSelection(CellRange::cell(3, 2));
    d.view()->setFocus();
    QTest::keyClick(d.view(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Ошибка вставки!\n");
    EXPECT_EQ(sheet().maxRow(), rows);
    EXPECT_EQ(text(3, 3), "100");

    prompter.clear();
    many.truncate(many.indexOf(QStringLiteral("x\t20000\n")));
    QApplication::clipboard()->setText(many);
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(d.view(), Qt::Key_V, Qt::ControlModifier);
    std::printf("paste of 20000 lines: %lld ms\n", static_cast<long long>(clock.elapsed()));
    EXPECT_EQ(prompter.transcript(), "");
    EXPECT_EQ(sheet().maxRow(), rows + 20000 - 1);
    EXPECT_EQ(text(3 + 19999, 3), "19999");
    EXPECT_EQ(text(3 + 20000, 1), "ENDIF") << "the statements below moved down";
}

// What the user sees; set FC_SHOT to a file name to look at it.
TEST_F(DesignerWindowTest, Screenshot) {
    TMDIChild_1& d = open(writeTemplate());
    sheet().setColWidth(2, 4000);
    d.openEditor(2, 1);
    QApplication::processEvents();
    const QImage statement = d.grab().toImage();
    d.openEditor(3, 2);
    d.editor()->insertPlainText(QStringLiteral(" и ещё текст"));
    QApplication::processEvents();
    const QImage cell = d.grab().toImage();
    EXPECT_FALSE(statement.isNull());
    EXPECT_NE(statement, cell);
    if (const char* out = std::getenv("FC_SHOT")) {
        statement.save(QString::fromLocal8Bit(out) + QStringLiteral("-statement.png"));
        cell.save(QString::fromLocal8Bit(out) + QStringLiteral("-cell.png"));
    }
}

} // namespace
} // namespace fc
