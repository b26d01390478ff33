#include "exchange/Connection.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "exchange/StandInServer.h"
#include "language/PrototypeTable.h"
#include "shell/AppSettings.h"
#include "shell/SettingsFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

class FakeView : public ConnectionView {
public:
    void setConnected(bool on, const std::string& h) override {
        connected = on;
        hint = cp1251::toUtf8(h);
    }
    void setRegistering(bool on) override { registering = on; }
    void setBusy(bool b) override { busy = b; }
    void setTimer(bool on, int ms) override {
        timer = on;
        interval = ms;
    }
    void closeDialog() override { closed = true; }

    bool connected = false, registering = false, busy = false, timer = false, closed = false;
    int interval = 0;
    std::string hint;
};

class ConnectionFixture : public ::testing::Test {
protected:
    ConnectionFixture()
        : server(root() + "/exchange", root() + "/data"),
          connection(settings, prototypes, prompter, view, [] { return std::string("reg00001"); }) {
        QDir(tmp.path()).mkpath("exchange");
        QDir(tmp.path()).mkpath("data");
        QDir(tmp.path()).mkpath("start");
        settings.startDir = root() + "/start";
        put("data/PROTO.RPT", codepage::toDos("* prototypes\r\nfa %, %\r\nsum % = %\r\n"));
    }
    std::string root() const { return tmp.path().toStdString(); }
    std::string exchange() const { return root() + "/exchange"; }
    void put(const std::string& rel, const std::string& bytes) {
        ASSERT_TRUE(files::writeAtomic(root() + "/" + rel, bytes));
    }
    std::string start(const char* file) const {
        return files::readAll(settings.startDir + "/" + file).value_or("<none>");
    }
    bool registerNow(const std::string& dir) {
        return connection.registration("  " + dir + " ", " ivan ", " pw ", "/reports ");
    }
    QStringList exchangeFiles() const {
        return QDir(tmp.path() + "/exchange").entryList(QDir::Files, QDir::Name);
    }

    QTemporaryDir tmp;
    AppSettings settings;
    PrototypeTable prototypes;
    ScriptedPrompter prompter;
    FakeView view;
    StandInServer server;
    Connection connection;
};

TEST_F(ConnectionFixture, RegistersWithTheServer) {
    ASSERT_TRUE(registerNow(exchange()));
    EXPECT_EQ(settings.serverDir, exchange());
    EXPECT_EQ(settings.userName(), "ivan");
    EXPECT_EQ(settings.reportsDir, "/reports ");
    EXPECT_EQ(start("path.wd"), "/reports \r\n");
    EXPECT_TRUE(view.registering && view.busy && view.timer);
    EXPECT_EQ(view.interval, 3000);
    EXPECT_EQ(connection.state(), Connection::State::Registering);
    EXPECT_EQ(start("klp.opt"), "<none>"); // only after success

    EXPECT_EQ(server.pollOnce(), 1);
    connection.tick();
    // An answer seen for the first time may still be growing: looked at again shortly.
    EXPECT_EQ(connection.state(), Connection::State::Registering);
    EXPECT_TRUE(view.timer);
    EXPECT_EQ(view.interval, 200);
    connection.tick();
    EXPECT_EQ(connection.state(), Connection::State::Connected);
    EXPECT_TRUE(view.connected && view.closed);
    EXPECT_FALSE(view.registering || view.busy || view.timer);
    EXPECT_EQ(view.hint, "Каталог обмена: " + exchange());
    EXPECT_EQ(prototypes.count(), 3);
    EXPECT_EQ(prototypes.name(3), "sum");
    EXPECT_TRUE(exchangeFiles().isEmpty()); // answer read and deleted
    EXPECT_EQ(start("klf.opt"), " \r\n \r\n1\r\n1\r\n31\r\n12\r\n");
    settings::Connection stored = settings::parseKlp(start("klp.opt"));
    EXPECT_EQ(stored.serverDir, exchange());
    EXPECT_EQ(stored.userName, "ivan");
    EXPECT_EQ(stored.password, "pw");
    EXPECT_EQ(prompter.transcript(), "");
}

TEST_F(ConnectionFixture, ExistingPeriodFileIsKept) {
    put("start/klf.opt", "mine\r\n");
    registerNow(exchange());
    server.pollOnce();
    connection.tick();
    connection.tick();
    EXPECT_EQ(start("klf.opt"), "mine\r\n");
}

TEST_F(ConnectionFixture, ServerThatNeverAnswers) {
    put("start/klp.opt", "old");
    registerNow(exchange());
    connection.tick();
    EXPECT_EQ(connection.state(), Connection::State::NotConnected);
    EXPECT_FALSE(view.connected);
    EXPECT_EQ(view.hint, "Подключение к ЛДК-сеpвеpу");
    EXPECT_EQ(prompter.transcript(), "Внимание:|Сеpвеp не обслуживает каталог обмена!\n");
    EXPECT_EQ(start("klp.opt"), "old");
    EXPECT_EQ(exchangeFiles(), QStringList{"reg00001.in"}); // the request stays for the server
    connection.tick();                                      // one look only
    EXPECT_EQ(prompter.shown().size(), 1u);
}

TEST_F(ConnectionFixture, ErrorAnswerShowsItsFirstLine) {
    put("data/PROTO.RPT", codepage::toDos(w("E-Пользователь не найден\nsecond line\n")));
    registerNow(exchange());
    server.pollOnce();
    connection.tick();
    connection.tick();
    EXPECT_EQ(prompter.transcript(), "Ошибка:|E-Пользователь не найден\n");
    EXPECT_EQ(connection.state(), Connection::State::NotConnected);
    EXPECT_EQ(start("klp.opt"), "<none>");
    EXPECT_TRUE(exchangeFiles().isEmpty());
}

TEST_F(ConnectionFixture, OnlyTheFirst256BytesAreExamined) {
    put("data/PROTO.RPT", "E-" + std::string(400, 'x'));
    registerNow(exchange());
    server.pollOnce();
    connection.tick();
    connection.tick();
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].text, "E-" + std::string(254, 'x'));

    put("data/PROTO.RPT", std::string(300, ' ') + "E-late\r\n");
    prompter.clear();
    registerNow(exchange());
    server.pollOnce();
    connection.tick();
    connection.tick();
    EXPECT_EQ(connection.state(), Connection::State::Connected);
}

TEST_F(ConnectionFixture, MissingServerDirectory) {
    EXPECT_FALSE(registerNow(root() + "/nowhere"));
    EXPECT_EQ(prompter.transcript(), "Ошибка подключения к ЛДК-серверу:|Не могу создать файл "
                                     "запpоса к серверу в \"" +
                                         root() + "/nowhere\"\n");
    EXPECT_FALSE(view.timer);
    EXPECT_EQ(connection.state(), Connection::State::NotConnected);
    EXPECT_FALSE(QDir(tmp.path() + "/nowhere").exists());
}

TEST_F(ConnectionFixture, RecompilePollsUntilTheAnswer) {
    settings.serverDir = exchange();
    ASSERT_TRUE(connection.recompile());
    EXPECT_EQ(view.interval, 500);
    connection.tick();
    connection.tick();
    EXPECT_TRUE(view.timer); // no time-out
    EXPECT_TRUE(prompter.shown().empty());
    put("data/FORM.txt", codepage::toDos(w("Готово: 12 форм")));
    server.pollOnce();
    connection.tick();
    EXPECT_TRUE(view.timer); // seen once: it may still be growing
    connection.tick();
    EXPECT_FALSE(view.timer);
    EXPECT_EQ(prompter.transcript(), "Внимание:|Готово: 12 форм\n");
    EXPECT_TRUE(exchangeFiles().isEmpty());

    prompter.clear();
    settings.serverDir = root() + "/nowhere";
    EXPECT_FALSE(connection.recompile());
    EXPECT_EQ(prompter.transcript(),
              "Ошибка:|Не могу создать файл запpоса в " + root() + "/nowhere\n");
}

} // namespace
} // namespace fc
