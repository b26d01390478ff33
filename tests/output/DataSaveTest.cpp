#include "../exchange/FakeReportHost.h"
#include "../results/ActionFixture.h"

#include "components/platform/FileBytes.h"
#include "components/text/CodePage.h"
#include "components/text/TextOps.h"
#include "exchange/ReportRun.h"
#include "output/DataSave.h"
#include "results/ResultEdits.h"
#include "shell/AppSettings.h"

#include <QDir>
#include <QTemporaryDir>

namespace fc {
namespace {

const char F = '\xFA';

// A result with a save target and two save columns, in a window with a run over a temporary
// exchange directory.
struct DataSave : test::ActionFixture {
    QTemporaryDir tmp;
    AppSettings app;
    test::FakeReportHost reportHost;
    std::unique_ptr<ReportRun> run;
    std::unique_ptr<ResultSession> windowSession;

    void SetUp() override {
        ActionFixture::SetUp();
        QDir(tmp.path()).mkpath("x");
        app.startDir = tmp.path().toStdString();
        app.serverDir = app.startDir + "/x";
        app.currentFileName = app.startDir + "/Noname.rpt";
        app.setUserName("u");
        app.setPassword("p");
        app.nextReport = "R LIMITS";
        run = std::make_unique<ReportRun>(app, book, prompter, reportHost);
        run->create();
        windowSession =
            std::make_unique<ResultSession>(book, settings, prompter, status, run.get());
        windowSession->actions().shared = &shared;
        makeSheet(4, 4);
        settings.saveInstruction = codepage::toDos(w("ЛИМИТ"));
        settings.saveColumns = {2, std::nullopt, 4};
        for (int r = 2; r <= 5; ++r) {
            sheet.setText(r, 2, "6" + std::to_string(r) + "  ");
            sheet.setText(r, 4, w("сумма ") + std::to_string(r));
        }
    }
    std::string line(int r) const {
        return app.requestPrefix() + "R " + settings.saveInstruction + " " + F + "6" +
               std::to_string(r) + F + F + codepage::toDos(w("сумма ")) + std::to_string(r) + F;
    }
    QStringList requests() const {
        return QDir(tmp.path() + "/x").entryList({"*.in"}, QDir::Files, QDir::Name);
    }
};

TEST_F(DataSave, LinesCarryTheMarkedRowsInTheDosCodePage) {
    EXPECT_EQ(output::dataSaveLines(sheet, settings, app.requestPrefix()), "");
    sheet.setText(3, result::kMarkCol, "X");
    sheet.setText(5, 1, "x{77}y");
    EXPECT_EQ(output::dataSaveLines(sheet, settings, app.requestPrefix()),
              line(3) + "\n" + line(5));
}

TEST_F(DataSave, TwoMarkedRowsGoOutAsOneRequest) {
    edit::markRow(*windowSession, 2);
    edit::markRow(*windowSession, 4);
    ASSERT_EQ(sheetMark(), "X");
    shared.pendingForm = "stale";
    SaveFollowUp follow;
    follow.program = "viewer 62";
    EXPECT_EQ(output::saveData(*windowSession, host, follow), output::DataSaveResult::Sent);
    EXPECT_EQ(run->requestName().substr(0, 4), "save");
    EXPECT_EQ(run->requestName().size(), 8u);
    const std::string head = "u" + std::string(1, F) + "p" + F + text::fit(app.reportState(), 32) +
                             "WHO       Noname.rpt" + F;
    EXPECT_EQ(files::readAll(app.serverDir + "/" + run->requestName() + ".in").value_or("-"),
              head + line(2) + "\n" + line(4));
    EXPECT_EQ(sheetMark(), "");
    EXPECT_EQ(mark(2), "X"); // the row marks stay until the sheet is read again
    EXPECT_EQ(shared.pendingForm, "");
    EXPECT_EQ(shared.pendingProgram, "viewer 62");
    EXPECT_TRUE(run->answerPending());
}

TEST_F(DataSave, NoMarkedRowSendsNothingAndRunsWhatFollowsAtOnce) {
    const std::string base = run->nameBase();
    EXPECT_EQ(output::saveData(*windowSession, host, {}), output::DataSaveResult::NothingToSend);
    EXPECT_EQ(requests().size(), 1); // the report's own request only
    EXPECT_NE(run->nameBase(), base);
    EXPECT_EQ(run->requestName(), run->nameBase());

    SaveFollowUp form;
    form.form = "CARD 60";
    output::saveData(*windowSession, host, form);
    EXPECT_EQ(host.forms, std::vector<std::string>{"CARD 60"});

    Workbook parentBook;
    parentBook.sheet(1).setActiveCell(3, 2);
    host.parent = &parentBook;
    sheet.setActiveCell(2, 4);
    SaveFollowUp child;
    child.editChild = true;
    child.columnMap = "2:5";
    output::saveData(*windowSession, host, child);
    EXPECT_EQ(parentBook.sheet(1).text(3, 5), "62");
    EXPECT_EQ(host.closes, 1);
    EXPECT_FALSE(shared.editChild); // nothing waits for an answer
}

TEST_F(DataSave, AnEditThatCannotEndOrAMissingServerSavesNothing) {
    edit::markRow(*windowSession, 2);
    host.editStuck = true;
    EXPECT_EQ(output::saveData(*windowSession, host, {}), output::DataSaveResult::Refused);
    EXPECT_EQ(sheetMark(), "X");
    host.editStuck = false;
    EXPECT_EQ(output::saveData(session, host, {}), output::DataSaveResult::Refused); // no run
    // A window without a save target sends no rows.
    settings.saveInstruction.clear();
    EXPECT_EQ(output::saveData(*windowSession, host, {}), output::DataSaveResult::NothingToSend);
    EXPECT_EQ(requests().size(), 1);
}

} // namespace
} // namespace fc
