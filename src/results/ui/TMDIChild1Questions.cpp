// The question panel, the single question controls and the value lists of the report window.
#include "results/ui/TMDIChild1.h"

#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/ReportRun.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

namespace fc {

namespace {

QString q(std::string_view cp1251) { return cp1251::toQString(cp1251); }
std::string s(const QString& text) { return cp1251::fromQString(text); }

constexpr int kFirstInputX = 8;
constexpr int kInputTop = 22;
constexpr int kChoiceLines = 20;

int charsWidth(const QWidget* w, int chars) {
    return w->fontMetrics().horizontalAdvance(QString(std::clamp(chars, 1, 256), QLatin1Char('A')));
}

} // namespace

void TMDIChild1::showQuestionPanel() {
    if (!run_.questionPanelHidden()) {
        Panel1_->show();
        FormResize();
    }
}

bool TMDIChild1::questionPanelVisible() const { return !Panel1_->isHidden(); }

std::string TMDIChild1::rememberedAnswer() const { return {}; }

void TMDIChild1::place_cbox(QWidget* control, const std::string& caption) {
    int x = kFirstInputX;
    if (!inputs_.empty()) {
        // A caption wider than its control keeps the next one off it.
        const QWidget* last = inputs_.back();
        x = std::max(last->x() + last->width(), inputLabels_.back()->geometry().right()) + 30;
    }
    control->move(x, kInputTop);
    control->show();
    auto* label = new QLabel(q(caption), Panel1_);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 128));
    label->setPalette(pal);
    label->adjustSize();
    label->move(x + 5, kInputTop - 16);
    label->show();
    inputs_.push_back(control);
    inputLabels_.push_back(label);
    but_next_->move(x + control->width() + 2,
                    kInputTop + (control->height() - but_next_->height()) / 2);
    but_next_->show();
    but_next_->raise();
    control->setFocus();
}

void TMDIChild1::showQuestion(const QuestionForm& f) {
    QWidget* control = nullptr;
    using C = QuestionForm::Control;
    switch (f.control) {
    case C::Choice: {
        auto* box = new QComboBox(Panel1_);
        ListBox2_->clear();
        for (const std::string& item : f.items) {
            box->addItem(q(item));
            ListBox2_->addItem(q(item));
        }
        box->setMaxVisibleItems(kChoiceLines);
        box->setFixedSize(charsWidth(this, f.widthChars), 24);
        box->setCurrentIndex(f.selected);
        labels_[0]->setText(q(f.caption));
        ListBox2_->setCurrentRow(0);
        // Twenty lines at most, as the drop-down shows; longer choices scroll.
        ListBox2_->setFixedHeight(std::clamp(f.listHeight, 18, kChoiceLines * 18));
        connect(box, QOverload<int>::of(&QComboBox::activated), this,
                [this, box] { submitInput(box); });
        control = box;
        break;
    }
    case C::Suggestions: {
        auto* box = new QComboBox(Panel1_);
        box->setEditable(true);
        ComboBox1_->clear();
        for (const std::string& item : f.items) {
            box->addItem(q(item));
            ComboBox1_->addItem(q(item));
        }
        box->setFixedSize(std::max(100, charsWidth(this, f.widthChars)), 24);
        box->setEditText(q(f.text));
        if (f.maxLength) {
            box->lineEdit()->setMaxLength(*f.maxLength);
            ComboBox1_->lineEdit()->setMaxLength(*f.maxLength);
        }
        labels_[2]->setText(q(f.caption));
        connect(box->lineEdit(), &QLineEdit::returnPressed, this,
                [this, box] { submitInput(box); });
        control = box;
        break;
    }
    case C::Edit:
    case C::Number: {
        auto* edit = new QLineEdit(Panel1_);
        edit->setText(q(f.text));
        Edit1_->setText(q(f.text));
        edit->setEchoMode(f.password ? QLineEdit::Password : QLineEdit::Normal);
        Edit1_->setEchoMode(edit->echoMode());
        if (f.maxLength) {
            edit->setMaxLength(*f.maxLength);
            Edit1_->setMaxLength(*f.maxLength);
        }
        edit->setFixedSize(f.widthChars > 0 ? charsWidth(this, f.widthChars) : f.widthPx, 24);
        labels_[2]->setText(q(f.caption));
        connect(edit, &QLineEdit::returnPressed, this, [this, edit] { submitInput(edit); });
        control = edit;
        break;
    }
    case C::Argument: {
        auto* box = new QComboBox(Panel1_);
        // Its values come with the argument's value list; until then a value can be typed.
        box->setEditable(true);
        box->setProperty("tag", f.multiChoice ? 10 : 0);
        for (const std::string& item : f.items) {
            box->addItem(q(item));
        }
        box->setCurrentIndex(f.selected);
        box->setFixedSize(f.widthPx, 24);
        connect(box, QOverload<int>::of(&QComboBox::activated), this,
                [this, box] { submitInput(box); });
        connect(box->lineEdit(), &QLineEdit::returnPressed, this,
                [this, box] { submitInput(box); });
        control = box;
        break;
    }
    case C::FreeText: {
        auto* edit = new QLineEdit(Panel1_);
        edit->setFixedSize(f.widthPx, 24);
        connect(edit, &QLineEdit::returnPressed, this, [this, edit] { submitInput(edit); });
        control = edit;
        break;
    }
    }
    control->setObjectName(QStringLiteral("question%1").arg(inputs_.size() + 1));
    if (!questionPanelVisible()) {
        // Without the panel the form's own controls ask: ListBox2, ComboBox1 or Edit1.
        control->deleteLater();
        singleQuestion_->show();
        const bool list = f.control == C::Choice;
        const bool combo = f.control == C::Suggestions;
        labels_[0]->setVisible(list);
        labels_[2]->setVisible(!list);
        ListBox2_->setVisible(list);
        ComboBox1_->setVisible(combo);
        Edit1_->setVisible(!list && !combo);
        if (combo) {
            ComboBox1_->setEditText(q(f.text));
        }
        QWidget* focus = list    ? static_cast<QWidget*>(ListBox2_)
                         : combo ? static_cast<QWidget*>(ComboBox1_)
                                 : static_cast<QWidget*>(Edit1_);
        focus->setFocus();
        return;
    }
    inputForms_.push_back(f);
    place_cbox(control, f.caption);
}

void TMDIChild1::submitInput(QWidget* input) {
    auto it = std::find(inputs_.begin(), inputs_.end(), input);
    // An answered input is disabled: Enter and the list's own signal never send it twice.
    if (it == inputs_.end() || !input->isEnabled()) {
        return;
    }
    const QuestionForm& f = inputForms_[static_cast<std::size_t>(it - inputs_.begin())];
    std::string value;
    if (auto* box = qobject_cast<QComboBox*>(input)) {
        if (f.control == QuestionForm::Control::Choice) {
            value = std::to_string(box->currentIndex() + 1);
        } else {
            value = s(box->currentText());
            if (f.control == QuestionForm::Control::Argument) {
                value = value.substr(0, value.find(' '));
            }
        }
    } else if (auto* edit = qobject_cast<QLineEdit*>(input)) {
        value = s(edit->text());
    }
    // Later questions depend on this answer: the inputs after it go.
    for (auto k = it + 1; k != inputs_.end(); ++k) {
        const std::size_t i = static_cast<std::size_t>(k - inputs_.begin());
        inputLabels_[i]->deleteLater();
        (*k)->deleteLater();
    }
    const std::size_t keep = static_cast<std::size_t>(it - inputs_.begin()) + 1;
    inputs_.resize(keep);
    inputLabels_.resize(keep);
    inputForms_.resize(keep);
    input->setEnabled(false);
    but_next_->hide();
    run_.stepAnswer(value);
}

void TMDIChild1::stepBack() {
    const std::string before = run_.stepContext();
    run_.stepBack();
    if (run_.stepContext() == before) {
        return; // nothing was answered yet
    }
    // The open question and the answer taken back go; the server asks that one again.
    std::size_t keep = inputs_.size();
    if (keep > 0 && inputs_[keep - 1]->isEnabled()) {
        --keep;
    }
    if (keep > 0) {
        --keep;
    }
    for (std::size_t i = keep; i < inputs_.size(); ++i) {
        inputs_[i]->deleteLater();
        inputLabels_[i]->deleteLater();
    }
    inputs_.resize(keep);
    inputLabels_.resize(keep);
    inputForms_.resize(keep);
    but_next_->hide();
}

void TMDIChild1::clearQuestionControls() {
    for (QWidget* w : inputs_) {
        w->deleteLater();
    }
    for (QLabel* l : inputLabels_) {
        l->deleteLater();
    }
    inputs_.clear();
    inputLabels_.clear();
    inputForms_.clear();
    but_next_->hide();
}

void TMDIChild1::showArgumentList() {
    listPanel_->show();
    Listbox1_->show();
    Listbox1_->setFocus();
}

void TMDIChild1::showValueList(const ValueListForm& f) {
    labels_[5]->hide();
    but_next_->hide();
    ListBox2_->hide();
    QListWidget* list = f.checkList ? RListBox1_ : Listbox1_;
    (f.checkList ? Listbox1_ : RListBox1_)->hide();
    // Lists of a hundred thousand values come: one line height for all and no painting
    // while they fill keep that to a fraction of a second.
    list->setUpdatesEnabled(false);
    list->setUniformItemSizes(true);
    const QSignalBlocker block(list);
    list->clear();
    QStringList texts;
    texts.reserve(static_cast<int>(f.items.size()));
    for (const std::string& t : f.items) {
        texts.push_back(q(t));
    }
    list->addItems(texts); // one insertion, not one per value
    {
        // The view asks for keys and ticks when it paints; it need not hear of each one.
        const QSignalBlocker quiet(list->model());
        for (std::size_t i = 0; i < f.items.size(); ++i) {
            QListWidgetItem* item = list->item(static_cast<int>(i));
            item->setData(Qt::UserRole, q(f.keys[i]));
            // A heading (first character blank) shows no tick box: it cannot be ticked.
            if (!f.checkList) {
                continue;
            }
            if (!f.items[i].empty() && f.items[i][0] == ' ') {
                item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
            } else {
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(f.checked[i] ? Qt::Checked : Qt::Unchecked);
            }
        }
    }
    if (f.selected >= 0) {
        list->setCurrentRow(f.selected);
    } else if (!f.items.empty()) {
        list->setCurrentRow(0);
    }
    list->setUpdatesEnabled(true);
    Panel5_->hide();
    listPanel_->show();
    list->show();
    list->setFocus();
    // Captions are cut to what the list's width holds.
    const int chars = std::max(1, static_cast<int>(list->width() * 0.125) - 1);
    auto cut = [chars](const std::string& t) {
        return t.substr(0, static_cast<std::size_t>(chars));
    };
    labels_[1]->setText(q(cut(f.upper)));
    labels_[3]->setText(q(cut(f.lower)));
    labels_[1]->setVisible(!f.upper.empty());
    labels_[3]->show();
    Button1_->setEnabled(f.confirmEnabled);
    if (list->currentRow() >= 0) {
        list->scrollToItem(list->currentItem());
    }
}

void TMDIChild1::chooseListItem(QListWidgetItem* item) {
    if (!item) {
        return;
    }
    const std::string key = s(item->data(Qt::UserRole).toString());
    sharedRunState().currentValue = key;
    listPanel_->hide();
    Panel5_->show();
    run_.stepAnswer(key);
}

void TMDIChild1::confirmCheckList() {
    std::string keys;
    for (int i = 0; i < RListBox1_->count(); ++i) {
        QListWidgetItem* item = RListBox1_->item(i);
        if (item->checkState() == Qt::Checked) {
            keys += (keys.empty() ? "" : "|") + s(item->data(Qt::UserRole).toString());
        }
    }
    if (keys.empty()) {
        return;
    }
    sharedRunState().currentValue = keys;
    listPanel_->hide();
    Panel5_->show();
    run_.stepAnswer(keys);
}

} // namespace fc
