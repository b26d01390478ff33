#pragma once

#include "components/platform/Prompter.h"
#include "exchange/StandInServer.h"
#include "results/ui/TMDIChild1.h"
#include "shell/AppSettings.h"
#include "shell/ui/TMainForm.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace fc::test {

// The main window with report windows over an exchange directory that the stand-in server
// answers from the demo answers.
struct ExchangeFixture : ::testing::Test {
    QTemporaryDir tmp;
    AppSettings settings;
    std::unique_ptr<TMainForm> form;
    ScriptedPrompter prompter;
    std::unique_ptr<StandInServer> server;

    void SetUp() override {
        sharedRunState() = SharedRunState(); // shared by all windows of the process
        QDir root(tmp.path());
        root.mkpath("x");
        root.mkpath("data");
        root.mkpath("start");
        for (const QString& f : QDir(FC_SOURCE_DIR "/demo/server").entryList(QDir::Files)) {
            QFile::copy(FC_SOURCE_DIR "/demo/server/" + f, tmp.path() + "/data/" + f);
        }
        settings.startDir = path("start");
        settings.serverDir = path("x");
        settings.currentFileName = path("start") + "/Noname";
        settings.setUserName("demo");
        settings.setPassword("pw");
        form = std::make_unique<TMainForm>(settings);
        form->setPrompter(&prompter);
        form->setReportFactory([this](ShellHost& host, long long designer) -> QWidget* {
            auto* w = new TMDIChild1(host, designer, &prompter);
            host.children().add(w);
            if (!w->start()) {
                w->deleteLater();
                return nullptr;
            }
            return w;
        });
        form->resize(1000, 700);
        form->show();
        server = std::make_unique<StandInServer>(path("x"), path("data"));
    }
    std::string path(const char* name) const { return tmp.path().toStdString() + "/" + name; }
};

} // namespace fc::test
