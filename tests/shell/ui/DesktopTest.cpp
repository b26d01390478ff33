// What the program looks like on a Linux desktop: Qt's own texts in Russian, a readable
// status bar while a designer has it disabled, and a main window that opens large.
#include "components/text/Cp1251.h"
#include "shell/AppSettings.h"
#include "shell/ui/CommandTable.h"
#include "shell/ui/MainStatusBar.h"
#include "shell/ui/QtTranslations.h"
#include "shell/ui/TMainForm.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTranslator>

#include <gtest/gtest.h>

namespace fc {
namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

QString withoutMnemonic(QString s) { return s.remove(QLatin1Char('&')); }

// Installs the translations for one case and takes them away again, so that the other
// cases of this binary see Qt as it starts.
struct QtTranslations : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(installQtTranslations(*qApp)); }
    void TearDown() override { qDeleteAll(qApp->findChildren<QTranslator*>()); }
};

TEST_F(QtTranslations, StandardButtonsAndDialogsSpeakRussian) {
    QMessageBox box(QMessageBox::Question, text("Внимание:"), text("?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(withoutMnemonic(box.button(QMessageBox::Yes)->text()), text("Да"));
    EXPECT_EQ(withoutMnemonic(box.button(QMessageBox::No)->text()), text("Нет"));
    EXPECT_EQ(withoutMnemonic(box.button(QMessageBox::Cancel)->text()), text("Отмена"));

    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(withoutMnemonic(buttons.button(QDialogButtonBox::Cancel)->text()), text("Отмена"));

    QColorDialog colours;
    colours.setOption(QColorDialog::DontUseNativeDialog);
    EXPECT_EQ(colours.windowTitle(), text("Выбор цвета"));
}

TEST_F(QtTranslations, LeaveTheProgramsOwnTextsAlone) {
    AppSettings settings;
    TMainForm form(settings);
    // Texts that read like Qt's own stay as the program has them.
    EXPECT_EQ(form.commands().action("WindowCascadeItem")->text(), text("&Cascade"));
    EXPECT_EQ(form.commands().action("WindowTileItem")->text(), text("&Tile"));
    EXPECT_EQ(form.commands().action("Undo1")->text(), text("Undo"));
    EXPECT_EQ(form.windowTitle(), cp1251::toQString(w("\"ЛДК\"-Констpуктоp фоpм")));
}

// The darkest pixel of a widget as it is painted now.
QColor darkest(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    QColor best = Qt::white;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.lightness() < best.lightness()) {
                best = c;
            }
        }
    }
    return best;
}

TEST(MainStatusBar, PanelTextsKeepTheirColourWhileTheBarIsDisabled) {
    MainStatusBar bar;
    bar.resize(700, 26);
    bar.show();
    const QColor ink = bar.palette().color(QPalette::Active, QPalette::WindowText);
    ASSERT_NE(ink.lightness(),
              bar.palette().color(QPalette::Disabled, QPalette::WindowText).lightness())
        << "this style does not grey disabled texts; nothing to check";
    bar.setEnabled(false); // as while a designer window is active
    bar.textPanel()->setText(cp1251::toQString(w("Неожиданный символ")));
    bar.restartPanel()->setText(cp1251::toQString(w("Поз.: ") + "12"));
    for (QWidget* panel :
         {static_cast<QWidget*>(bar.textPanel()), static_cast<QWidget*>(bar.restartPanel())}) {
        const QColor seen = darkest(panel);
        EXPECT_LE(std::abs(seen.lightness() - ink.lightness()), 40)
            << panel->objectName().toStdString() << " drawn in " << seen.name().toStdString()
            << ", text colour " << ink.name().toStdString();
    }
}

TEST(MainForm, OpensOverMostOfTheScreen) {
    AppSettings settings;
    TMainForm form(settings);
    form.showAtStart();
    QApplication::processEvents();
    const QRect available = form.screen()->availableGeometry();
    const QRect shown = form.frameGeometry().intersected(available);
    EXPECT_GE(shown.width() * 10, available.width() * 9) << shown.width();
    EXPECT_GE(shown.height() * 10, available.height() * 9) << shown.height();
}

} // namespace
} // namespace fc
