// The question panel, the single question controls and the value lists of the report window.
#include "results/ui/TMDIChild1.h"

#include "components/model/Sheet.h"
#include "components/platform/FileBytes.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/ReportRun.h"
#include "exchange/RequestName.h"
#include "exchange/RequestWriter.h"
#include "exchange/Requests.h"
#include "results/ReportArguments.h"
#include "results/ResultLayout.h"
#include "shell/AppSettings.h"
#include "shell/ShellHost.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace fc {

namespace {

QString q(std::string_view cp1251) { return cp1251::toQString(cp1251); }
std::string s(const QString& text) { return cp1251::fromQString(text); }

constexpr int kChoiceLines = 20;
constexpr int kInputHeight = 24;
// Room at the panel's right for the step buttons "<<" and " >>".
constexpr int kStepButtonsRoom = 80;
constexpr int kQuestionInterval = 200;

using Control = QuestionForm::Control;

int charsWidth(const QWidget* w, int chars) {
    return w->fontMetrics().horizontalAdvance(QString(std::clamp(chars, 1, 256), QLatin1Char('A')));
}

// Events of a watched widget go to `handler` first; true takes them.
class EventHook : public QObject {
public:
    EventHook(QObject* parent, std::function<bool(QEvent*)> handler)
        : QObject(parent), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return handler_(event) || QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(QEvent*)> handler_;
};

// The combo box of an argument the server asks for: its values come from the argument's value
// list, so opening it while it holds none asks for that list.
class ArgumentCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> onEmptyChoice;
    void showPopup() override {
        if (count() == 0) {
            if (onEmptyChoice) {
                onEmptyChoice();
            }
            return;
        }
        QComboBox::showPopup();
    }
};

} // namespace

void TMDIChild1::showQuestionPanel() {
    if (run_.questionPanelHidden()) {
        return;
    }
    if (Panel1_->isHidden()) {
        // A new round of questions: the inputs of the last one are done with.
        clearQuestionControls();
        session_.questions().clear();
    }
    Panel1_->show();
    FormResize();
}

bool TMDIChild1::questionPanelVisible() const { return !Panel1_->isHidden(); }

std::string TMDIChild1::rememberedAnswer() const {
    const QuestionPanel& panel = session_.questions();
    return panel.remembered(panel.size());
}

std::size_t TMDIChild1::addInput(QWidget* control, const QuestionForm& form) {
    QuestionPanel& panel = session_.questions();
    panel.truncate(inputs_.size()); // the panel's model and its widgets go together
    const std::size_t i = panel.add(form);
    control->setObjectName(QStringLiteral("question%1").arg(i + 1));
    control->hide();
    auto* label = new QLabel(Panel1_);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 128));
    label->setPalette(pal);
    label->hide();
    inputs_.push_back(control);
    inputLabels_.push_back(label);

    // Keys, entering and changes of the input; it finds its place when it acts, since the
    // inputs before it may have gone.
    auto indexOf = [this, control]() -> int {
        auto it = std::find(inputs_.begin(), inputs_.end(), control);
        return it == inputs_.end() ? -1 : static_cast<int>(it - inputs_.begin());
    };
    auto hook = [this, indexOf](QEvent* e) {
        const int k = indexOf();
        if (k < 0) {
            return false;
        }
        if (e->type() == QEvent::FocusIn) {
            enterInput(static_cast<std::size_t>(k));
        } else if (e->type() == QEvent::KeyPress) {
            return inputKey(static_cast<std::size_t>(k), static_cast<QKeyEvent*>(e));
        }
        return false;
    };
    control->installEventFilter(new EventHook(control, hook));
    auto changed = [this, indexOf] {
        if (const int k = indexOf(); k >= 0) {
            syncInput(static_cast<std::size_t>(k));
        }
    };
    if (auto* box = qobject_cast<QComboBox*>(control)) {
        if (QLineEdit* line = box->lineEdit()) {
            line->installEventFilter(new EventHook(line, hook));
            connect(line, &QLineEdit::textEdited, this, changed);
        }
        connect(box, &QComboBox::currentIndexChanged, this, changed);
        connect(box, &QComboBox::editTextChanged, this, changed);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        connect(edit, &QLineEdit::textChanged, this, changed);
    }
    syncInput(i);
    return i;
}

void TMDIChild1::syncInput(std::size_t i) {
    if (i >= inputs_.size() || i >= session_.questions().size()) {
        return;
    }
    QuestionPanel::Input& in = session_.questions().input(i);
    if (auto* box = qobject_cast<QComboBox*>(inputs_[i])) {
        in.index = box->currentIndex();
        in.text = s(box->currentText());
    } else if (auto* edit = qobject_cast<QLineEdit*>(inputs_[i])) {
        in.text = s(edit->text());
    }
}

void TMDIChild1::place_cbox(std::size_t i, const std::string& caption) {
    QWidget* control = inputs_[i];
    QLabel* label = inputLabels_[i];
    QuestionPanel::Box previous;
    int captionRight = 0;
    if (i > 0) {
        const QRect g = inputs_[i - 1]->geometry();
        previous = {g.x(), g.y(), g.width(), g.height()};
        captionRight = inputLabels_[i - 1]->geometry().right() + 1;
    }
    const int panelWidth = std::max(width(), Panel1_->width()) - kStepButtonsRoom;
    const QuestionPanel::Box b = QuestionPanel::place(
        i > 0 ? &previous : nullptr, captionRight, control->width(), control->height(), panelWidth);
    control->move(b.left, b.top);
    control->show();
    label->setText(q(caption));
    label->adjustSize();
    label->move(b.left + 5, b.top - 16);
    label->show();
    Panel1_->setMinimumHeight(std::max(56, b.top + b.height + 8));
    control->setFocus();
    enterInput(i);
}

void TMDIChild1::enterInput(std::size_t i) {
    if (i >= inputs_.size()) {
        return;
    }
    activeInput_ = static_cast<int>(i);
    const QRect g = inputs_[i]->geometry();
    but_next_->setFixedSize(20, 16);
    but_next_->move(g.right() + 1, g.y() + 4);
    but_next_->setEnabled(true);
    but_next_->show();
    but_next_->raise();
}

bool TMDIChild1::inputKey(std::size_t i, QKeyEvent* e) {
    QWidget* input = inputs_[i];
    auto* box = qobject_cast<QComboBox*>(input);
    auto* edit = box ? box->lineEdit() : qobject_cast<QLineEdit*>(input);
    auto go = [this](std::size_t k) {
        inputs_[k]->setFocus();
        enterInput(k);
        return true;
    };
    const bool alt = e->modifiers() & Qt::AltModifier;
    switch (e->key()) {
    case Qt::Key_Left: return alt && i > 0 ? go(i - 1) : false;
    case Qt::Key_Right: return alt && i + 1 < inputs_.size() ? go(i + 1) : false;
    case Qt::Key_Backspace:
        // At the start of a text, or in a list that has no text: back to the input before.
        if (i > 0 && (!edit || (edit->cursorPosition() == 0 && !edit->hasSelectedText()))) {
            return go(i - 1);
        }
        return false;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (box && !alt) {
            box->showPopup();
            return true;
        }
        return false;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (box && !box->isEditable()) {
            if (session_.questions().input(i).form.control == Control::Argument) {
                chooseReportList(i);
            } else {
                submitInput(box);
            }
            return true;
        }
        return false;
    default: return false;
    }
}

void TMDIChild1::showQuestion(const QuestionForm& f) {
    QWidget* control = nullptr;
    switch (f.control) {
    case Control::Choice: {
        auto* box = new QComboBox(Panel1_);
        ListBox2_->clear();
        for (const std::string& item : f.items) {
            box->addItem(q(item));
            ListBox2_->addItem(q(item));
        }
        box->setMaxVisibleItems(kChoiceLines);
        box->setFixedSize(charsWidth(this, f.widthChars), kInputHeight);
        box->setCurrentIndex(f.selected);
        labels_[0]->setText(q(f.caption));
        ListBox2_->setCurrentRow(0);
        // Twenty lines at most, as the drop-down shows; longer choices scroll.
        ListBox2_->setFixedHeight(std::clamp(f.listHeight, 18, kChoiceLines * 18));
        connect(box, &QComboBox::activated, this, [this, box] { submitInput(box); });
        control = box;
        break;
    }
    case Control::Suggestions: {
        auto* box = new QComboBox(Panel1_);
        box->setEditable(true);
        ComboBox1_->clear();
        for (const std::string& item : f.items) {
            box->addItem(q(item));
            ComboBox1_->addItem(q(item));
        }
        box->setFixedSize(std::max(100, charsWidth(this, f.widthChars)), kInputHeight);
        box->setEditText(q(f.text));
        if (f.maxLength) {
            box->lineEdit()->setMaxLength(*f.maxLength);
            ComboBox1_->lineEdit()->setMaxLength(*f.maxLength);
        }
        labels_[2]->setText(q(f.caption));
        connect(box->lineEdit(), &QLineEdit::returnPressed, this,
                [this, box] { submitInput(box); });
        connect(box, &QComboBox::activated, this, [this, box] { submitInput(box); });
        control = box;
        break;
    }
    case Control::Edit:
    case Control::Number: {
        auto* edit = new QLineEdit(Panel1_);
        edit->setText(q(f.text));
        Edit1_->setText(q(f.text));
        edit->setEchoMode(f.password ? QLineEdit::Password : QLineEdit::Normal);
        Edit1_->setEchoMode(edit->echoMode());
        if (f.maxLength) {
            edit->setMaxLength(*f.maxLength);
            Edit1_->setMaxLength(*f.maxLength);
        }
        edit->setFixedSize(f.widthChars > 0 ? charsWidth(this, f.widthChars) : f.widthPx,
                           kInputHeight);
        labels_[2]->setText(q(f.caption));
        connect(edit, &QLineEdit::returnPressed, this, [this, edit] { submitInput(edit); });
        control = edit;
        break;
    }
    case Control::Argument: {
        auto* box = new ArgumentCombo(Panel1_);
        box->setProperty("tag", f.multiChoice ? 10 : 0);
        for (const std::string& item : f.items) {
            box->addItem(q(item));
        }
        box->setCurrentIndex(f.selected);
        box->setFixedSize(f.widthPx, kInputHeight);
        auto choose = [this, box] {
            auto it = std::find(inputs_.begin(), inputs_.end(), box);
            if (it != inputs_.end()) {
                chooseReportList(static_cast<std::size_t>(it - inputs_.begin()));
            }
        };
        box->onEmptyChoice = choose;
        connect(box, &QComboBox::activated, this, choose);
        control = box;
        break;
    }
    case Control::FreeText: {
        auto* box = new QComboBox(Panel1_);
        box->setEditable(true);
        box->setFixedSize(f.widthPx, kInputHeight);
        connect(box->lineEdit(), &QLineEdit::returnPressed, this,
                [this, box] { submitInput(box); });
        control = box;
        break;
    }
    }
    if (!questionPanelVisible()) {
        // Without the panel the form's own controls ask: ListBox2, ComboBox1 or Edit1.
        control->deleteLater();
        singleQuestion_->show();
        const bool list = f.control == Control::Choice;
        const bool combo = f.control == Control::Suggestions;
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
    const std::size_t i = addInput(control, f);
    if (f.control == Control::FreeText) {
        QA_N2(i); // placed when the server has named the question
    } else {
        place_cbox(i, f.caption);
    }
}

void TMDIChild1::submitInput(QWidget* input) {
    const auto it = input ? std::find(inputs_.begin(), inputs_.end(), input)
                          : inputs_.begin() + std::clamp(activeInput_, 0, int(inputs_.size()));
    if (it == inputs_.end() || (*it)->isHidden()) { // an N2 question not named yet
        return;
    }
    const std::size_t i = static_cast<std::size_t>(it - inputs_.begin());
    for (std::size_t k = 0; k <= i; ++k) {
        syncInput(k);
    }
    // Later questions depend on this answer: the inputs after it go.
    for (std::size_t k = i + 1; k < inputs_.size(); ++k) {
        inputs_[k]->deleteLater();
        inputLabels_[k]->deleteLater();
    }
    inputs_.resize(i + 1);
    inputLabels_.resize(i + 1);
    if (Timer1_ && n2Input_ > i) {
        Timer1_->stop(); // the N2 question asked after it is gone
    }
    questions::submitAnswer(session_.questions(), run_, shell_.settings(), i);
    hideQuestionControls(); // a value list still open gives its place back to the sheet
}

void TMDIChild1::chooseReportList(std::size_t i) {
    if (i >= inputs_.size()) {
        return;
    }
    auto* box = qobject_cast<QComboBox*>(inputs_[i]);
    QuestionPanel& panel = session_.questions();
    syncInput(i);
    // The inputs after it go; an argument among them means the list must be asked anew.
    bool argumentFreed = false;
    for (std::size_t k = i + 1; k < inputs_.size(); ++k) {
        argumentFreed = argumentFreed || panel.input(k).form.control == Control::Argument;
        inputs_[k]->deleteLater();
        inputLabels_[k]->deleteLater();
    }
    inputs_.resize(i + 1);
    inputLabels_.resize(i + 1);
    panel.truncate(i + 1);

    AppSettings& app = shell_.settings();
    const std::string argument = text::trim(panel.input(i).form.argument);
    const std::string name = argument.substr(0, argument.find(' '));
    args::DEFARG(app, name);
    run_.setContext(app.requestPrefix() + "R " + name);
    const std::string entry = text::trim(s(box->currentText()));
    const int tag = box->property("tag").toInt();
    sharedRunState().currentValue = entry.substr(0, entry.find(' '));
    sharedRunState().multiChoice = tag >= 10;
    listFromInput_ = static_cast<int>(i);
    but_next_->hide();
    Panel1_->hide();
    Panel5_->hide();
    listPanel_->show();

    bool ask = true;
    if (entry.empty()) {
        shell_.setStatusText(2, "");
    } else {
        shell_.setStatusText(2, w("Обновить"));
        if (tag == 0) {
            box->setProperty("tag", 1);
        } else {
            ask = tag >= 10 || argumentFreed;
        }
    }
    if (ask) {
        run_.setRequestName(RandomFileName());
        run_.WriteZapros();
        return;
    }
    // The list shown before is still good: only the bar follows the chosen report.
    book_.sheet(1).setText(3, result::kStateCol, "");
    Arguments();
    QListWidget* list = tag >= 10 ? RListBox1_ : Listbox1_;
    list->show();
    list->setFocus();
}

void TMDIChild1::returnToPanel(const std::string& item) {
    const int i = listFromInput_;
    listFromInput_ = -1;
    listPanel_->hide();
    Panel5_->show();
    Panel1_->show();
    if (i < 0 || i >= static_cast<int>(inputs_.size())) {
        return;
    }
    auto* box = qobject_cast<QComboBox*>(inputs_[static_cast<std::size_t>(i)]);
    if (!box) {
        return;
    }
    if (item.empty()) {
        box->setFocus();
        return;
    }
    {
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItem(q(item));
        box->setCurrentIndex(0);
    }
    syncInput(static_cast<std::size_t>(i));
    submitInput(box);
}

void TMDIChild1::QA_N2(std::size_t i) {
    if (!Timer1_) {
        Timer1_ = new QTimer(this);
        Timer1_->setObjectName(QStringLiteral("Timer1"));
        connect(Timer1_, &QTimer::timeout, this, &TMDIChild1::Timer1Timer);
    }
    n2Input_ = i;
    n2Name_ = RandomFileName();
    const AppSettings& app = shell_.settings();
    RequestWriter writer(app, prompter_);
    const std::string& argument = session_.questions().input(i).form.argument;
    if (!writer.write(n2Name_, request::questionAnswer(app, argument), w("ФАЙЛ-ЗАПРОС: "))) {
        // No name will come: the question is asked under its own.
        place_cbox(i, session_.questions().input(i).form.caption);
        return;
    }
    Timer1_->start(kQuestionInterval);
}

void TMDIChild1::Timer1Timer() {
    RequestWriter writer(shell_.settings(), prompter_);
    const std::string path = writer.path(n2Name_, ".out");
    if (!files::exists(path)) {
        return;
    }
    Timer1_->stop();
    const std::string answer = files::readAll(path, 1 << 20).value_or("");
    files::remove(path);
    if (n2Input_ >= inputs_.size() || n2Input_ >= session_.questions().size()) {
        return;
    }
    const std::string caption =
        session_.questions().input(n2Input_).form.caption + " " + questions::n2Caption(answer);
    place_cbox(n2Input_, caption);
    auto* box = qobject_cast<QComboBox*>(inputs_[n2Input_]);
    if (box && box->currentText().isEmpty()) {
        box->showPopup();
    }
}

void TMDIChild1::stepBack() {
    if (listFromInput_ >= 0 && !listPanel_->isHidden()) {
        returnToPanel(""); // a list opened from the panel: back to its combo box
        return;
    }
    run_.stepBack();
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
    activeInput_ = -1;
    listFromInput_ = -1;
    if (Timer1_) {
        Timer1_->stop();
    }
    but_next_->hide();
}

bool TMDIChild1::collectQuestionPanel() {
    // The answers given so far are offered again when the questions come back; the restart
    // goes on and asks them.
    QuestionPanel& panel = session_.questions();
    if (panel.size() > 0) {
        panel.collect();
        panel.clear();
    }
    return false;
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
    TMP_LB_ = f.hiddenKeys;
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

void TMDIChild1::watchValueLists() {
    for (QListWidget* list : {Listbox1_, RListBox1_}) {
        list->installEventFilter(new EventHook(list, [this](QEvent* e) {
            if (e->type() == QEvent::FocusOut) {
                shell_.setStatusText(2, w("Рестаpт"));
            }
            return false;
        }));
    }
}

void TMDIChild1::checkListTicked(QListWidgetItem* item) {
    // A heading (first character blank) cannot be ticked.
    if (item->text().startsWith(QLatin1Char(' ')) && item->data(Qt::CheckStateRole).isValid()) {
        item->setData(Qt::CheckStateRole, QVariant()); // no tick, and no box either
        return;
    }
    const std::string key = questions::checkListKey(s(item->text()));
    auto at = std::find(TMP_LB_.begin(), TMP_LB_.end(), key);
    if (item->checkState() == Qt::Checked && at == TMP_LB_.end()) {
        TMP_LB_.push_back(key);
    } else if (item->checkState() != Qt::Checked && at != TMP_LB_.end()) {
        TMP_LB_.erase(at);
    }
    Button1_->setEnabled(!TMP_LB_.empty());
}

void TMDIChild1::chooseListItem(QListWidgetItem* item) {
    if (!item) {
        return;
    }
    const std::string key = s(item->data(Qt::UserRole).toString());
    sharedRunState().currentValue = key;
    if (listFromInput_ >= 0) {
        returnToPanel(s(item->text()).substr(item->text().startsWith(QLatin1Char(' ')) ? 1 : 0));
        return;
    }
    listPanel_->hide();
    Panel5_->show();
    run_.stepAnswer(key);
}

void TMDIChild1::confirmCheckList() {
    std::string keys;
    for (const std::string& k : TMP_LB_) {
        keys += (keys.empty() ? "" : "|") + k;
    }
    if (keys.empty()) {
        return;
    }
    sharedRunState().currentValue = keys;
    if (listFromInput_ >= 0) {
        returnToPanel(keys);
        return;
    }
    listPanel_->hide();
    Panel5_->show();
    run_.stepAnswer(keys);
}

} // namespace fc
