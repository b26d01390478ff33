#include "ExchangeFixture.h"

#include "components/model/Sheet.h"
#include "components/platform/FileBytes.h"
#include "components/text/Cp1251.h"
#include "exchange/ResultRows.h"
#include "results/ui/TMDIChild1.h"
#include "shell/ui/MainStatusBar.h"
#include "shell/ui/TMainForm.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <cstdlib>

namespace fc {
namespace {

using answers::kMaxResultCols;
using answers::kMaxResultRows;

// A report whose answer is longer and wider than a result: the user runs it and is told.
struct ResultLimitsWindow : test::ExchangeFixture {};

TEST_F(ResultLimitsWindow, ALongAndWideAnswerStopsAtTheLimitsAndTheWindowSaysSo) {
    std::string answer = ";table\r\n;col3\r\n&&\r\n&002r1|0000lb\r\n&250wide|0000lb\r\n";
    for (int r = 2; r <= kMaxResultRows + 5; ++r) {
        answer += "&&\r\n&002r" + std::to_string(r) + "|0000lb\r\n";
    }
    answer += "Z"; // the server's framing byte
    ASSERT_TRUE(files::writeAtomic(path("data") + "/BIG.out", answer));

    form->runReport("R BIG", 0);
    QMdiSubWindow* sub = form->mdiArea()->subWindowList().value(0);
    ASSERT_NE(sub, nullptr);
    auto* w = qobject_cast<TMDIChild1*>(sub->widget());
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(server->pollOnce(), 1);
    w->pollAnswer();
    QCoreApplication::processEvents();

    const Sheet& s = w->workbook().sheet(1);
    EXPECT_EQ(s.maxRow(), kMaxResultRows);
    EXPECT_EQ(s.text(kMaxResultRows, 2), "r65528");
    EXPECT_EQ(s.text(1, kMaxResultCols + 1), "");
    const std::string told = "Результат длиннее листа: показаны первые 65528 строк, остальные "
                             "строки ответа не прочитаны. Результат шире листа: ячейки правее "
                             "столбца 249 не прочитаны.";
    EXPECT_EQ(prompter.transcript(), "Внимание:|" + told + "\n");
    EXPECT_EQ(form->mainStatusBar()->progressPanel()->notice().toStdString(),
              "Показаны 65528 стр., 249 стлб.");
    if (const char* file = std::getenv("FC_LIMITS_SHOT")) {
        form->grab().save(QString::fromLocal8Bit(file)); // for looking at
    }
}

} // namespace
} // namespace fc
