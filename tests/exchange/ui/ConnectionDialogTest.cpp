#include "exchange/ui/ConnectionDialog.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "exchange/StandInServer.h"
#include "language/PrototypeTable.h"
#include "shell/AppSettings.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace fc {
namespace {

TEST(ConnectionDialog, RegistersThroughTheButton) {
    QTemporaryDir tmp;
    QDir(tmp.path()).mkpath("x");
    QDir(tmp.path()).mkpath("data");
    const std::string root = tmp.path().toStdString();
    ASSERT_TRUE(files::writeAtomic(root + "/data/PROTO.RPT", "fa %\r\n"));
    AppSettings settings;
    settings.startDir = root;
    PrototypeTable prototypes;
    ScriptedPrompter prompter;
    ConnectionDialog dialog(settings, prototypes, prompter);
    QSignalSpy changed(&dialog, &ConnectionDialog::connectionChanged);

    dialog.findChild<QLineEdit*>("serverDir")->setText(tmp.path() + "/x");
    dialog.findChild<QLineEdit*>("user")->setText("ivan");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("password")->echoMode(), QLineEdit::Password);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QPushButton*>("registerButton"), Qt::LeftButton);
    EXPECT_TRUE(dialog.findChild<QLabel*>("registeringPanel")->isVisible());
    EXPECT_EQ(dialog.connection().state(), Connection::State::Registering);

    StandInServer(root + "/x", root + "/data").pollOnce();
    dialog.tick();
    // Seen once, the answer may still be being written: looked at again shortly.
    EXPECT_TRUE(dialog.findChild<QLabel*>("registeringPanel")->isVisible());
    dialog.tick();
    EXPECT_FALSE(dialog.findChild<QLabel*>("registeringPanel")->isVisible());
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_TRUE(changed[0][0].toBool());
    EXPECT_EQ(changed[0][1].toString(), QString::fromUtf8("Каталог обмена: ") + tmp.path() + "/x");
    EXPECT_EQ(settings.userName(), "ivan");
    EXPECT_TRUE(files::exists(root + "/klp.opt"));
    EXPECT_FALSE(ConnectionDialog::connectedIcon().isNull());
}

} // namespace
} // namespace fc
