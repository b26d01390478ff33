#include "results/ui/Form6.h"

#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace fc {

namespace {

QString q(std::string_view cp1251) { return cp1251::toQString(cp1251); }
QString qu(const char* utf8) { return cp1251::toQString(w(utf8)); }
std::string s(const QString& text) { return cp1251::fromQString(text); }

constexpr int kComboRows = 25;

// Upper case as typed, the caret kept where it was.
void forceUpper(QLineEdit* e) {
    QObject::connect(e, &QLineEdit::textEdited, e, [e](const QString& t) {
        const QString up = t.toUpper();
        if (up != t) {
            const int at = e->cursorPosition();
            e->setText(up);
            e->setCursorPosition(at);
        }
    });
}

} // namespace

Form6::Form6(QWidget* parent, FilterLocale locale) : QDialog(parent), locale_(std::move(locale)) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(qu("Фильтp (в фоpме)"));
    for (int i = 0; i < 9; ++i) {
        edits_[i] = new QLineEdit(this);
        edits_[i]->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
    }
    auto* layout = new QVBoxLayout(this);

    // Strings.
    auto* strings = new QFrame(this);
    strings->setObjectName(QStringLiteral("Panel1"));
    strings->setFrameShape(QFrame::StyledPanel);
    auto* sl = new QGridLayout(strings);
    sl->addWidget(new QLabel(qu("Текст:"), strings), 0, 0);
    sl->addWidget(edit(1), 0, 1);
    auto* group1 = new QFrame(strings);
    group1->setObjectName(QStringLiteral("RadioGroup1"));
    auto* g1 = new QHBoxLayout(group1);
    g1->setContentsMargins(4, 0, 4, 0);
    and_ = new QRadioButton(qu("и"), group1);
    or_ = new QRadioButton(qu("или"), group1);
    and_->setChecked(true);
    g1->addWidget(and_);
    g1->addWidget(or_);
    sl->addWidget(group1, 0, 2);
    sl->addWidget(edit(2), 0, 3);
    forceUpper(edit(1));
    forceUpper(edit(2));
    layout->addWidget(strings);

    // Amounts and dates: a radio group, one value, and the two bounds.
    auto rangePanel = [&](const char* name, const char* caption, QRadioButton*(&ops)[3],
                          const char* group, int firstEdit, bool dates) {
        auto* panel = new QFrame(this);
        panel->setObjectName(QLatin1String(name));
        panel->setFrameShape(QFrame::StyledPanel);
        auto* grid = new QGridLayout(panel);
        grid->addWidget(new QLabel(qu(caption), panel), 0, 0);
        grid->addWidget(radioGroup(group, ops, panel), 0, 1);
        grid->addWidget(edit(firstEdit), 0, 2);
        grid->addWidget(new QLabel(qu("от"), panel), 0, 3);
        grid->addWidget(edit(firstEdit + 1), 0, 4);
        grid->addWidget(new QLabel(qu("до"), panel), 0, 5);
        grid->addWidget(edit(firstEdit + 2), 0, 6);
        for (int i = 0; i < 3; ++i) {
            edit(firstEdit + i)->installEventFilter(this);
            if (dates) {
                auto* hint = new QLabel(q(locale_.dateHint()), panel);
                hint->setObjectName(QStringLiteral("DateHint%1").arg(i + 1));
                grid->addWidget(hint, 1, 2 + 2 * i);
            }
        }
        // Typing a bound means a range: the single value goes.
        for (int i = 1; i <= 2; ++i) {
            connect(edit(firstEdit + i), &QLineEdit::textEdited, this,
                    [this, firstEdit] { edit(firstEdit)->clear(); });
        }
        layout->addWidget(panel);
        return panel;
    };
    panel2_ = rangePanel("Panel2", "Сумма:", amountOps_, "RadioGroup2", 3, false);
    panel3_ = rangePanel("Panel3", "Дата:", dateOps_, "RadioGroup3", 6, true);

    // The value list.
    panel4_ = new QFrame(this);
    panel4_->setObjectName(QStringLiteral("Panel4"));
    panel4_->setFrameShape(QFrame::StyledPanel);
    auto* ll = new QVBoxLayout(panel4_);
    label11_ = new QLabel(panel4_);
    label11_->setObjectName(QStringLiteral("Label11"));
    combo_ = new QComboBox(panel4_);
    combo_->setObjectName(QStringLiteral("ComboBox1"));
    combo_->setMaxVisibleItems(kComboRows);
    combo_->setMinimumContentsLength(30);
    ll->addWidget(label11_);
    ll->addWidget(combo_);
    edit(9)->setParent(panel4_);
    edit(9)->hide();
    panel4_->hide();
    layout->addWidget(panel4_);
    ncol_ = new QLineEdit(this);
    ncol_->setObjectName(QStringLiteral("Ncol"));
    ncol_->hide();

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(qu("Подтвеpдить"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* clear = new QPushButton(qu("Очистить"), this);
    clear->setObjectName(QStringLiteral("clearButton"));
    auto* remove = new QPushButton(qu("Снять фильтp"), this);
    remove->setObjectName(QStringLiteral("removeButton"));
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(clear);
    buttons->addWidget(remove);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &Form6::confirm);
    connect(clear, &QPushButton::clicked, this, &Form6::clearFields);
    connect(remove, &QPushButton::clicked, this, &Form6::removeFilter);
    hide();
}

QFrame* Form6::radioGroup(const char* name, QRadioButton* (&buttons)[3], QWidget* parent) {
    auto* group = new QFrame(parent);
    group->setObjectName(QLatin1String(name));
    auto* l = new QHBoxLayout(group);
    l->setContentsMargins(4, 0, 4, 0);
    const char* texts[] = {"<", "=", ">"};
    for (int i = 0; i < 3; ++i) {
        buttons[i] = new QRadioButton(QLatin1String(texts[i]), group);
        l->addWidget(buttons[i]);
    }
    buttons[FilterForm::Equal]->setChecked(true);
    return group;
}

bool Form6::eventFilter(QObject* watched, QEvent* event) {
    // The amount fields take "." and "," as the decimal separator, the date fields "/", ","
    // and "." as the date separator.
    if (event->type() == QEvent::KeyPress) {
        auto* e = static_cast<QKeyEvent*>(event);
        auto* field = qobject_cast<QLineEdit*>(watched);
        const QString t = e->text();
        const bool amount = field == edit(3) || field == edit(4) || field == edit(5);
        const bool date = field == edit(6) || field == edit(7) || field == edit(8);
        if (field &&
            ((amount && (t == "." || t == ",")) || (date && (t == "/" || t == "," || t == ".")))) {
            const char sep = amount ? locale_.decimal : locale_.dateSeparator;
            field->insert(QString(QLatin1Char(sep)));
            emit field->textEdited(field->text());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Form6::load(const FilterForm& f) {
    const std::string* texts[] = {&f.s1,       &f.s2,   &f.amount,   &f.amountFrom,
                                  &f.amountTo, &f.date, &f.dateFrom, &f.dateTo};
    for (int i = 0; i < 8; ++i) {
        edits_[i]->setText(q(*texts[i]));
    }
    (f.orMode ? or_ : and_)->setChecked(true);
    amountOps_[std::clamp(f.amountOp, 0, 2)]->setChecked(true);
    dateOps_[std::clamp(f.dateOp, 0, 2)]->setChecked(true);
    panel2_->setEnabled(f.rangesEnabled);
    panel3_->setEnabled(f.rangesEnabled);
    label11_->setText(q(f.listCaption));
    edit(9)->setText(q(f.listColumn));
    combo_->clear();
    QStringList shown;
    shown.reserve(static_cast<int>(f.listItems.size()));
    for (const std::string& item : f.listItems) {
        shown.push_back(q(FilterForm::display(item)));
    }
    combo_->addItems(shown);
    for (int i = 0; i < combo_->count(); ++i) {
        combo_->setItemData(i, q(f.listItems[static_cast<std::size_t>(i)]));
    }
    int chosen = -1;
    if (f.chosen) {
        chosen = combo_->findData(q(*f.chosen));
        if (chosen < 0) {
            combo_->addItem(q(FilterForm::display(*f.chosen)), q(*f.chosen));
            chosen = combo_->count() - 1;
        }
    }
    combo_->setCurrentIndex(chosen);
    panel4_->setVisible(f.listShown);
    ncol_->setText(q(f.ncol));
}

void Form6::store(FilterForm& f) const {
    std::string* texts[] = {&f.s1,       &f.s2,   &f.amount,   &f.amountFrom,
                            &f.amountTo, &f.date, &f.dateFrom, &f.dateTo};
    for (int i = 0; i < 8; ++i) {
        *texts[i] = s(edits_[i]->text().trimmed());
    }
    f.orMode = or_->isChecked();
    for (int i = 0; i < 3; ++i) {
        if (amountOps_[i]->isChecked()) {
            f.amountOp = i;
        }
        if (dateOps_[i]->isChecked()) {
            f.dateOp = i;
        }
    }
    f.listColumn = s(edit(9)->text().trimmed());
    if (combo_->currentIndex() >= 0) {
        f.chosen = s(combo_->currentData().toString());
    } else {
        f.chosen.reset();
    }
    f.ncol = s(ncol_->text().trimmed());
}

bool Form6::run(FilterForm& form, Prompter& prompter) {
    prompter_ = &prompter;
    load(form);
    edit(1)->setFocus();
    const bool ok = exec() == QDialog::Accepted;
    prompter_ = nullptr;
    if (ok) {
        store(form);
    }
    return ok;
}

void Form6::confirm() {
    FilterForm f;
    f.rangesEnabled = panel2_->isEnabled();
    store(f);
    if (std::optional<FormProblem> p = checkForm(f, locale_)) {
        if (prompter_) {
            prompter_->warning(p->message);
        }
        edit(p->field)->setFocus();
        return;
    }
    accept();
}

void Form6::clearFields() {
    for (int i = 0; i < 8; ++i) {
        edits_[i]->clear();
    }
    combo_->setCurrentIndex(-1);
    ncol_->clear();
}

void Form6::removeFilter() {
    clearFields();
    confirm();
}

Form6* filterDialog(QWidget* mainWindow) {
    auto* dialog =
        mainWindow ? mainWindow->findChild<Form6*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!dialog) {
        dialog = new Form6(mainWindow);
    }
    return dialog;
}

} // namespace fc
