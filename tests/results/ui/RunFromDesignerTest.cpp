// A template runs from the designer through the main window, the exchange directory and the
// stand-in server, and the server's error comes back to the designer's line.
#include "ExchangeFixture.h"

#include "components/model/Sheet.h"
#include "components/platform/FileBytes.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "designer/ui/TMDIChild_1.h"

#include <QCoreApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace fc {
namespace {

struct RunFromDesigner : test::ExchangeFixture {
    void SetUp() override {
        ExchangeFixture::SetUp();
        form->setDesignerFactory(
            [this](ShellHost& host) -> QWidget* { return new TMDIChild_1(host, prompter); });
    }

    // Opens `name` from the start directory in a designer window.
    TMDIChild_1* openTemplate(const char* name, const std::string& bytes) {
        EXPECT_TRUE(files::writeAtomic(path("start") + "/" + name, bytes));
        settings.currentFileName = path("start") + "/" + name;
        form->createDesigner();
        QMdiSubWindow* sub = form->mdiArea()->currentSubWindow();
        return sub ? qobject_cast<TMDIChild_1*>(sub->widget()) : nullptr;
    }
    TMDIChild1* reportWindow() const {
        for (QMdiSubWindow* sub : form->mdiArea()->subWindowList()) {
            if (auto* w = qobject_cast<TMDIChild1*>(sub->widget())) {
                return w;
            }
        }
        return nullptr;
    }
};

const char kTemplate[] = ";table\r\n;maxcol=4\r\n* Sales\r\nIF A=1\r\n&&\r\n&2 Text|1111lb\r\n"
                         "ENDIF\r\n";

TEST_F(RunFromDesigner, F8SavesSendsTheTemplateAndShowsTheResult) {
    TMDIChild_1* d = openTemplate("sales.rpt", kTemplate);
    ASSERT_NE(d, nullptr);
    d->designerKey(Qt::Key_F8, Qt::NoModifier);
    TMDIChild1* w = reportWindow();
    ASSERT_NE(w, nullptr) << prompter.transcript();
    // The request carries the saved template: the server sees a "G" request for its name.
    ASSERT_GE(server->pollOnce(), 1);
    w->pollAnswer();
    QCoreApplication::processEvents();
    EXPECT_EQ(cp1251::toUtf8(w->workbook().sheet(1).text(9, 2)), "ИТОГО:") << prompter.transcript();
    EXPECT_TRUE(prompter.shown().empty()) << prompter.transcript();
}

TEST_F(RunFromDesigner, AnErrorAnswerSelectsTheTemplateLine) {
    TMDIChild_1* d = openTemplate("bad.rpt", kTemplate);
    ASSERT_NE(d, nullptr);
    QPointer<TMDIChild_1> designer(d);
    d->designerKey(Qt::Key_F8, Qt::NoModifier);
    TMDIChild1* w = reportWindow();
    ASSERT_NE(w, nullptr) << prompter.transcript();
    QPointer<TMDIChild1> report(w);

    // The server numbers the lines of the file as it was saved and sent.
    QFile sent(QString::fromStdString(path("start") + "/bad.rpt"));
    ASSERT_TRUE(sent.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = sent.readAll().split('\n');
    int line = 0;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed() == "IF A=1") {
            line = i + 1;
        }
    }
    ASSERT_GT(line, 0);
    const std::string error = "E-Неизвестное слово:" + std::to_string(line) + ":3";
    ASSERT_TRUE(files::writeAtomic(path("data") + "/BAD.out",
                                   codepage::toDos(cp1251::fromUtf8(error + "\r\n"))));
    ASSERT_GE(server->pollOnce(), 1);
    w->pollAnswer();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(prompter.transcript(), "Ошибка:|" + error + "\n");
    EXPECT_TRUE(report.isNull()) << "the report window closes";
    ASSERT_FALSE(designer.isNull());
    ASSERT_TRUE(designer->editorOpen());
    EXPECT_EQ(designer->workbook().sheet().text(designer->editRow(), 1), "IF A=1");
}

} // namespace
} // namespace fc
