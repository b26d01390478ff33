#pragma once

#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "exchange/AnswerReader.h"
#include "exchange/ReportSettings.h"
#include "results/ActionHost.h"
#include "results/ResultLayout.h"
#include "results/ResultSession.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fc::test {

inline std::string u8(std::string_view cp1251) { return cp1251::toUtf8(cp1251); }

// Records what the result commands ask of their window.
class FakeActionHost : public ActionHost {
public:
    bool stopEditing() override {
        ++stops;
        return !editStuck;
    }
    void editInCell(int row, int col) override { edits.push_back({row, col, false}); }
    void editOverlay(int row, int col) override { edits.push_back({row, col, true}); }
    void columnKey(int code) override { keys.push_back(code); }
    bool writeExportFiles() override {
        ++exports;
        return true;
    }
    void saveAndFollow(const SaveFollowUp& follow) override { saves.push_back(follow); }
    void openForm(const std::string& command) override { forms.push_back(command); }
    bool startProgram(const std::string& line) override {
        programs.push_back(line);
        return true;
    }
    Workbook* parentBook() override { return parent; }
    bool parentSaves() const override { return parentHasSave; }
    void closeWindow() override { ++closes; }

    struct Edit {
        int row, col;
        bool overlay;
    };
    bool editStuck = false;
    int stops = 0, exports = 0, closes = 0;
    std::vector<Edit> edits;
    std::vector<int> keys;
    std::vector<SaveFollowUp> saves;
    std::vector<std::string> forms;
    std::vector<std::string> programs;
    Workbook* parent = nullptr;
    bool parentHasSave = false;
};

// A result sheet of `rows` data rows under one heading row, columns 2..maxCol, in a session
// with a scripted prompter.
struct ActionFixture : ::testing::Test {
    Workbook book;
    ReportSettings settings;
    ScriptedPrompter prompter;
    KeptStatus status;
    ResultSession session{book, settings, prompter, status};
    SharedRunState shared;
    FakeActionHost host;
    Sheet& sheet = book.sheet(1);

    void SetUp() override { session.actions().shared = &shared; }

    // Heading row 1, data rows 2..rows+1.
    void makeSheet(int rows, int maxCol) {
        sheet.setMaxCol(maxCol);
        sheet.setMaxRow(rows + 1);
        sheet.setFixedRows(1, 1);
    }
    void editable(std::vector<int> cols) {
        settings.editColumns = std::move(cols);
        settings.editable = true;
    }
    void savable() {
        settings.saveInstruction = "UPDATE";
        settings.saveColumns = {2, 3};
    }
    void action(int row, std::string_view text) { sheet.setText(row, result::kActionCol, text); }
    std::string mark(int row) const { return sheet.text(row, result::kMarkCol); }
    std::string sheetMark() const { return sheet.text(sheet.maxRow() + 1, result::kMarkCol); }
};

} // namespace fc::test
