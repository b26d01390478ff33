#pragma once

// A designer window over a stand-in main window, in a temporary directory, for the designer
// window's tests.
#include "designer/ui/TMDIChild_1.h"

#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "designer/DesignerSheet.h"
#include "designer/TemplateFile.h"
#include "designer/ui/FormulaLineEditor.h"
#include "language/PrototypeTable.h"
#include "shell/AppSettings.h"
#include "shell/ChildRegistry.h"
#include "shell/ShellHost.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <map>

#include <gtest/gtest.h>

namespace fc::test {

// The main window as the designer sees it.
struct FakeHost : ShellHost {
    AppSettings appSettings;
    PrototypeTable table;
    ChildRegistry registry;
    std::map<std::string, bool> enabled;
    std::map<int, std::string> status;
    bool turbo = false;
    std::vector<std::string> runs;

    AppSettings& settings() override { return appSettings; }
    PrototypeTable& prototypes() override { return table; }
    ChildRegistry& children() override { return registry; }
    void updateMenuItems() override {}
    void setCommandEnabled(std::string_view n, bool on) override { enabled[std::string(n)] = on; }
    void setCommandChecked(std::string_view, bool) override {}
    bool commandChecked(std::string_view) const override { return false; }
    std::string statusText(int panel) const override {
        auto it = status.find(panel);
        return it == status.end() ? std::string() : it->second;
    }
    void setStatusText(int panel, std::string_view t) override { status[panel] = std::string(t); }
    int progressWidth() const override { return 100; }
    void showProgress(int, bool) override {}
    void showProgressNotice(std::string_view, Color) override {}
    void setTimeLabels(std::string_view, std::string_view) override {}
    void setTimeLabelsEnabled(bool) override {}
    bool turboDown() const override { return turbo; }
    void runReport(const std::string& request, long long handle) override {
        runs.push_back(cp1251::toUtf8(request) + (handle != 0 ? " linked" : ""));
    }
};

class DesignerFixture : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override { delete window; }

    // A template with statements in rows 1, 2 and 4 and a form row 3, saved in the table
    // format so that the row headings carry file lines.
    QString writeTemplate(const char* name = "form.rpt") {
        Workbook book;
        TemplateFile::newTemplate(book);
        Sheet& s = book.sheet();
        designer::applyNewSheetDefaults(s);
        s.setMaxCol(4);
        s.setMaxRow(5);
        s.setText(1, 1, w(";fix=2"));
        s.setText(2, 1, w("IF A"));
        s.setText(3, 2, w("Итого по счёту"));
        s.setText(3, 3, w("100"));
        s.setText(4, 1, w("ENDIF"));
        const QString path = dir.filePath(QString::fromLatin1(name));
        ScriptedPrompter quiet;
        EXPECT_TRUE(TemplateFile::save(path, book, TemplateFormat::Table, quiet));
        return path;
    }
    TMDIChild_1& open(const QString& path) {
        host.appSettings.currentFileName = cp1251::fromQString(path);
        delete window; // one window at a time
        window = new TMDIChild_1(host, prompter);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        window->resize(800, 500);
        window->show();
        QApplication::processEvents();
        return *window;
    }
    Sheet& sheet() { return window->workbook().sheet(); }
    std::string text(int r, int c) { return cp1251::toUtf8(sheet().text(r, c)); }
    QString editorText() { return window->editor()->text(); }
    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(window->editor(), static_cast<Qt::Key>(k), m);
    }
    void change() {
        window->flushHistory();
        QApplication::processEvents();
    }

    QTemporaryDir dir;
    FakeHost host;
    ScriptedPrompter prompter;
    TMDIChild_1* window = nullptr;
};

} // namespace fc::test
