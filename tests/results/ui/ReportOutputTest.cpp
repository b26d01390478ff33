#include "../../support/PdfPages.h"
#include "ExchangeFixture.h"

#include "components/format/XlsReader.h"
#include "components/model/Sheet.h"
#include "components/platform/FileBytes.h"
#include "components/print/PageLayout.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/ui/PageSetupDialog.h"
#include "components/ui/PrintDialogs.h"
#include "components/ui/SheetView.h"
#include "output/OutputNames.h"
#include "output/ui/CopiesDialog.h"
#include "results/ResultLayout.h"
#include "shell/ui/CommandTable.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

namespace fc {
namespace {

std::string u8(std::string_view cp1251) { return cp1251::toUtf8(cp1251); }

// A report window with its result, and the output commands reached through the main menu.
struct ReportOutput : test::ExchangeFixture {
    TMDIChild1* report = nullptr;
    int printDialogs = 0;
    int copiesAsked = 0;
    QString pdfOut;

    void open(const char* request) {
        form->runReport(request, 0);
        QMdiSubWindow* sub = form->mdiArea()->activeSubWindow();
        ASSERT_NE(sub, nullptr);
        report = qobject_cast<TMDIChild1*>(sub->widget());
        ASSERT_NE(report, nullptr);
        ASSERT_GE(server->pollOnce(), 1);
        report->pollAnswer();
        QCoreApplication::processEvents();
        pdfOut = QString::fromStdString(path("printed.pdf"));
        // The copies dialog and the print dialog answer as a user would; the "printer" is a
        // PDF file.
        report->outputDialogs.copies = [this](CopiesDialog& d) {
            ++copiesAsked;
            EXPECT_EQ(d.copiesBox()->minimum(), 1);
            EXPECT_EQ(d.copiesBox()->maximum(), 1000);
            EXPECT_EQ(d.copies(), 1);
            d.copiesBox()->setValue(3);
            return true;
        };
        report->outputDialogs.print = [this](QPrinter& p) {
            ++printDialogs;
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdfOut);
            return true;
        };
    }
    void menu(const char* name) { form->commands().action(name)->trigger(); }
    QStringList requests() const {
        return QDir(QString::fromStdString(path("x"))).entryList({"*.in"}, QDir::Files);
    }
    int pages() const {
        return static_cast<int>(
            print::PageLayout(report->workbook().sheet(1), report->sheetView()->measurer())
                .pages()
                .size());
    }
};

TEST_F(ReportOutput, SavingToAWorkbookLeavesTheWindowWhole) {
    open("R SALES");
    QString proposed, filter;
    const QString chosen = QString::fromStdString(path("sales"));
    report->outputDialogs.saveFile = [&](const QString& name, const QString& f) {
        proposed = name;
        filter = f;
        return chosen;
    };
    const QString cwd = QDir::currentPath();
    menu("FileSaveItem"); // "Сохpанить" (F2): key 129
    EXPECT_EQ(proposed.toStdString(), u8(output::cleanTitle(report->caption())) + ".xls");
    EXPECT_EQ(filter, QStringLiteral("Excell 97|*.xls|Excel 2007|*.xlsx"));
    EXPECT_EQ(QDir::currentPath(), cwd);
    Workbook back;
    std::string error;
    ASSERT_TRUE(readXls(path("sales.xls"), back, error)) << error;
    EXPECT_EQ(u8(back.sheet().text(9, 2)), "ИТОГО:");
    EXPECT_EQ(back.sheet().text(3, result::kActionCol), "") << "no row actions in the file";
    // The window still drills down and keeps its marks.
    EXPECT_EQ(report->workbook().sheet(1).text(3, result::kActionCol), "{2}K01|");

    report->outputDialogs.saveFile = [&](const QString&, const QString&) {
        return QString::fromStdString(path("missing/sales.xls"));
    };
    menu("FileSaveItem");
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Ошибка сохранения!\n");
    prompter.clear();
    report->outputDialogs.saveFile = [](const QString&, const QString&) { return QString(); };
    menu("FileSaveItem");
    EXPECT_EQ(prompter.transcript(), "") << "cancelled: nothing written, nothing said";
}

TEST_F(ReportOutput, PrintingAsksForCopiesAndLogsWhenTheAnswerAsks) {
    open("R SHIPMENTS");
    EXPECT_EQ(report->reportSettings().printId, w("Отгр"));
    const QStringList before = requests();
    menu("N3"); // "Печать" (F5): key 130
    EXPECT_EQ(copiesAsked, 1);
    EXPECT_EQ(printDialogs, 1) << "three copies: once with the dialog, twice without";
    EXPECT_EQ(test::pdfPages(pdfOut), pages());
    EXPECT_GT(pages(), 1);
    const QStringList after = requests();
    ASSERT_EQ(after.size(), before.size() + 1) << "the print log request";
    QString log;
    for (const QString& f : after) {
        if (!before.contains(f)) {
            log = f;
        }
    }
    const std::string bytes = files::readAll(path("x") + "/" + log.toStdString()).value();
    EXPECT_NE(bytes.find(codepage::toDos(w("E [SED 'ОтгрPRINTED','1']"))), std::string::npos);
    EXPECT_NE(bytes.find("WHO       "), std::string::npos);
    EXPECT_EQ(prompter.transcript(), "");

    // Escape in the copies dialog prints nothing; a cancelled print dialog logs nothing.
    report->outputDialogs.copies = [](CopiesDialog& d) {
        QTest::keyClick(&d, Qt::Key_Escape);
        return d.result() == QDialog::Accepted;
    };
    menu("N3");
    EXPECT_EQ(printDialogs, 1);
    report->outputDialogs.copies = [](CopiesDialog&) { return true; };
    report->outputDialogs.print = [](QPrinter&) { return false; };
    menu("N3");
    EXPECT_EQ(requests().size(), after.size());
}

TEST_F(ReportOutput, NoPrintLogWithoutAPrintLogName) {
    open("R SALES");
    const QStringList before = requests();
    menu("N3");
    EXPECT_EQ(printDialogs, 1);
    EXPECT_TRUE(QFile::exists(pdfOut));
    EXPECT_EQ(requests(), before);
}

TEST_F(ReportOutput, ThePreviewShowsThePagesAndPrintsFromThere) {
    open("R SHIPMENTS");
    int shown = 0;
    report->outputDialogs.preview = [&](PrintPreviewDialog& p) {
        shown = p.pageCount();
        if (const char* dir = std::getenv("FC_OUTPUT_PICTURES")) {
            // What the user sees, for looking at.
            p.show();
            QTest::qWait(100);
            p.grab().save(QString::fromLocal8Bit(dir) + "/preview.png");
            CopiesDialog copies;
            copies.show();
            QTest::qWait(50);
            copies.grab().save(QString::fromLocal8Bit(dir) + "/copies.png");
        }
        p.findChild<QPushButton*>("NextPage")->click();
        EXPECT_EQ(p.currentPage(), 2);
        return true; // "Печать"
    };
    menu("pPreview");
    EXPECT_EQ(shown, pages());
    EXPECT_EQ(copiesAsked, 1) << "printing from the preview is the print command";
    EXPECT_EQ(printDialogs, 1);
}

TEST_F(ReportOutput, PdfExportTakesItsTitleFromTheCaption) {
    open("R SHIPMENTS");
    QString proposed;
    report->outputDialogs.saveFile = [&](const QString& name, const QString&) {
        proposed = name;
        return QString::fromStdString(path("shipments"));
    };
    menu("pPdf"); // key 132
    EXPECT_EQ(proposed.toStdString(), u8(output::cleanTitle(report->caption())) + ".pdf");
    EXPECT_EQ(proposed.indexOf(QLatin1Char(':')), -1);
    EXPECT_EQ(test::pdfPages(QString::fromStdString(path("shipments.pdf"))), pages());
    const std::string pdf = files::readAll(path("shipments.pdf")).value();
    EXPECT_NE(pdf.find("/Title"), std::string::npos);

    // ";PDF_PRINTER=" naming no printer of this system: the file dialog again.
    report->reportSettings().pdfPrinter = "\\\\server\\PDF";
    report->outputDialogs.saveFile = [&](const QString&, const QString&) {
        return QString::fromStdString(path("gone/x.pdf"));
    };
    menu("pPdf");
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Ошибка экспорта в PDF " + path("gone/x.pdf") + "\n");
}

TEST_F(ReportOutput, MailSendsTheReportAndTheWindowKeepsItsKeys) {
    open("R SHIPMENTS");
    QDir(tmp.path()).mkpath("bin");
    QDir(tmp.path()).mkpath("mailtmp");
    QFile script(tmp.filePath("bin/xdg-email"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$FC_MAIL_LOG\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray pathVar = qgetenv("PATH");
    const QByteArray tmpVar = qgetenv("TMPDIR");
    qputenv("PATH", tmp.filePath("bin").toLocal8Bit() + ":" + pathVar);
    qputenv("TMPDIR", tmp.filePath("mailtmp").toLocal8Bit());
    qputenv("FC_MAIL_LOG", tmp.filePath("mail-args").toLocal8Bit());
    menu("SendMail"); // "Отправить по почте" (F6)
    qputenv("PATH", pathVar);
    tmpVar.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpVar);

    const std::string attachment = tmp.filePath("mailtmp").toStdString() + "/" +
                                   u8(output::cleanTitle(report->caption())) + ".xls";
    const std::string args = files::readAll(tmp.filePath("mail-args").toStdString()).value_or("");
    EXPECT_EQ(args, "--utf8\n--subject\n" + u8(report->caption()) + "\n--body\n  \n--attach\n" +
                        attachment + "\nbuh@example.org\n");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(attachment)));
    EXPECT_EQ(report->workbook().sheet(1).text(3, result::kActionCol).substr(0, 6), "{2}S00");
    EXPECT_EQ(prompter.transcript(), "");

    qputenv("PATH", tmp.filePath("nothing-here").toLocal8Bit());
    menu("SendMail");
    qputenv("PATH", pathVar);
    EXPECT_EQ(prompter.transcript(), "Error|Error while trying to send email\n");
}

TEST_F(ReportOutput, PageSetupOfAReportWindow) {
    open("R SALES");
    report->outputDialogs.pageSetup = [](PageSetupDialog& d) {
        d.landscapeBox()->setChecked(true);
        d.headerEdit()->setText(QStringLiteral("&CСтраница &P из &N"));
        return true;
    };
    menu("ppp1"); // "Паpаметpы стpаницы"
    const PrintSettings& p = report->workbook().sheet(1).print();
    EXPECT_TRUE(p.landscape);
    EXPECT_EQ(u8(p.header), "&CСтраница &P из &N");
}

// Run by tests/output/cups_print.sh with a CUPS queue that writes each job as a PDF file.
TEST_F(ReportOutput, ThreeCopiesOnARealPrinter) {
    const QString queue = qEnvironmentVariable("FC_CUPS_PRINTER");
    const QDir out(qEnvironmentVariable("FC_CUPS_OUT"));
    if (queue.isEmpty()) {
        GTEST_SKIP() << "no CUPS queue: tests/output/cups_print.sh runs this with one";
    }
    open("R SHIPMENTS");
    report->outputDialogs.print = [&](QPrinter& p) {
        ++printDialogs;
        p.setPrinterName(queue); // the user's choice in the print dialog
        return true;
    };
    menu("N3");
    EXPECT_EQ(printDialogs, 1);
    QElapsedTimer waited;
    waited.start();
    // A job's file is there from its first byte: it is done when it ends its PDF.
    auto done = [&] {
        const QStringList pdfs = out.entryList({"*.pdf"}, QDir::Files);
        return pdfs.size() >= 3 && std::all_of(pdfs.begin(), pdfs.end(), [&](const QString& f) {
                   QFile file(out.filePath(f));
                   return file.open(QIODevice::ReadOnly) &&
                          file.readAll().trimmed().endsWith("%%EOF");
               });
    };
    while (!done() && waited.elapsed() < 60000) {
        QTest::qWait(200);
    }
    const QStringList pdfs = out.entryList({"*.pdf"}, QDir::Files);
    ASSERT_EQ(pdfs.size(), 3) << "three copies, each a job of its own";
    for (const QString& f : pdfs) {
        EXPECT_EQ(test::pdfPages(out.filePath(f)), pages()) << f.toStdString();
    }
    EXPECT_EQ(prompter.transcript(), "");
}

} // namespace
} // namespace fc
