#include "components/platform/ui/QtPrompter.h"
#include "components/platform/ui/FileDialogFilter.h"
#include "components/text/Cp1251.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace fc {
namespace {

using Answer = Prompter::Answer;
using Buttons = Prompter::Buttons;

// What the box showed, and a way to answer it from inside its modal loop.
struct Seen {
    QString caption;
    QString text;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* parent = nullptr;
};

// Reads the box that is about to open into `seen`, then clicks the button labelled `press`
// (UTF-8), or presses Esc when it is empty.
void answerWith(const char* press, Seen* seen) {
    QTimer::singleShot(0, [seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            ADD_FAILURE() << "no message box";
            return;
        }
        seen->caption = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->parent = box->parentWidget();
        for (QAbstractButton* b : box->buttons()) {
            seen->buttons << b->text();
        }
        if (*press == 0) {
            box->reject();
            return;
        }
        for (QAbstractButton* b : box->buttons()) {
            if (b->text() == QString::fromUtf8(press)) {
                b->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << press;
        box->reject();
    });
}

struct PromptCase {
    const char* name;
    Buttons buttons;
    const char* press; // "" for Esc
    Answer expected;
};

class QtPrompterAnswers : public ::testing::TestWithParam<PromptCase> {};

TEST_P(QtPrompterAnswers, ButtonGivesItsAnswer) {
    const PromptCase& c = GetParam();
    QWidget owner;
    QtPrompter prompter(&owner);
    Seen seen;
    answerWith(c.press, &seen);
    EXPECT_EQ(prompter.ask(w("Внимание:"), w("Сохpанить изменения?"), c.buttons,
                           Prompter::Icon::Question),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, QtPrompterAnswers,
    ::testing::Values(PromptCase{"OkPressed", Buttons::Ok, "OK", Answer::Ok},
                      PromptCase{"OkEscape", Buttons::Ok, "", Answer::Ok},
                      PromptCase{"OkCancelOk", Buttons::OkCancel, "OK", Answer::Ok},
                      PromptCase{"OkCancelEscape", Buttons::OkCancel, "", Answer::Cancel},
                      PromptCase{"YesNoYes", Buttons::YesNo, "Да", Answer::Yes},
                      PromptCase{"YesNoNo", Buttons::YesNo, "Нет", Answer::No},
                      PromptCase{"YesNoEscape", Buttons::YesNo, "", Answer::No},
                      PromptCase{"ThreeCancel", Buttons::YesNoCancel, "Отмена", Answer::Cancel},
                      PromptCase{"ThreeNo", Buttons::YesNoCancel, "Нет", Answer::No},
                      PromptCase{"ThreeEscape", Buttons::YesNoCancel, "", Answer::Cancel},
                      PromptCase{"AllAll", Buttons::YesNoCancelAll, "Все", Answer::All},
                      PromptCase{"AllYes", Buttons::YesNoCancelAll, "Да", Answer::Yes}),
    [](const ::testing::TestParamInfo<PromptCase>& info) { return std::string(info.param.name); });

TEST(QtPrompter, ShowsCaptionTextIconAndButtonsOverItsOwner) {
    QWidget owner;
    QtPrompter prompter(&owner);
    Seen seen;
    answerWith("", &seen);
    prompter.ask(w("Ошибка:"), w("Не могу найти C:\\CACHE\\отчёт.out"), Buttons::YesNoCancelAll,
                 Prompter::Icon::Error);
    EXPECT_EQ(seen.caption, QStringLiteral("Ошибка:"));
    EXPECT_EQ(seen.text, QStringLiteral("Не могу найти C:\\CACHE\\отчёт.out"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.parent, &owner);
    QStringList sorted = seen.buttons;
    sorted.sort();
    QStringList expected{"Все", "Да", "Нет", "Отмена"};
    expected.sort();
    EXPECT_EQ(sorted, expected);
}

TEST(QtPrompter, OwnerGoneStillAsks) {
    auto* owner = new QWidget;
    QtPrompter prompter(owner);
    delete owner;
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            EXPECT_EQ(box->parentWidget(), nullptr);
            box->reject();
        }
    });
    EXPECT_EQ(prompter.ask("a", "b", Buttons::YesNo, Prompter::Icon::None), Answer::No);
}

TEST(DialogFilter, WindowsPairsBecomeQtFilters) {
    EXPECT_EQ(dialogFilter("RPT - Файлы|*.rpt|Excell '97|*.xls|VTS|*.vts|Все|*.*"),
              QStringLiteral("RPT - Файлы (*.rpt);;Excell '97 (*.xls);;VTS (*.vts);;Все (*)"));
    EXPECT_EQ(dialogFilter("Книги|*.xls;*.xlsx"), QStringLiteral("Книги (*.xls *.xlsx)"));
    EXPECT_EQ(dialogFilter("Без шаблона|"), QStringLiteral("Без шаблона ()"));
    EXPECT_EQ(dialogFilter("odd"), QString()) << "a description without patterns is dropped";
}

} // namespace
} // namespace fc
