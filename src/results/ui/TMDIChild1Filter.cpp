// The report window's filters: the in-form filter of the sheet (Form6), the list filter of the
// value lists (Form2), the filter after each answer, and the filter's rows of the hidden state
// block as the window is left and activated again.
#include "results/ui/TMDIChild1.h"

#include "components/text/Cp1251.h"
#include "components/ui/SheetView.h"
#include "results/Filter.h"
#include "results/ListFilter.h"
#include "results/Marks.h"
#include "results/QuestionPanel.h"
#include "results/Sorting.h"
#include "results/ViewBlock.h"
#include "results/ui/Form2.h"
#include "results/ui/Form6.h"
#include "shell/AppSettings.h"
#include "shell/ShellHost.h"

#include <QLabel>
#include <QListWidget>

#include <algorithm>

namespace fc {

namespace {

QString q(std::string_view cp1251) { return cp1251::toQString(cp1251); }
std::string s(const QString& text) { return cp1251::fromQString(text); }

} // namespace

QWidget* TMDIChild1::mainWindow() const { return dynamic_cast<QWidget*>(&shell_); }

void TMDIChild1::openFilter() {
    if (!listPanel_->isHidden()) {
        openListFilter();
    } else {
        openSheetFilter();
    }
}

void TMDIChild1::openSheetFilter() {
    {
        BusyCursor busy;
        busy.set(true);
        prepareFilter(session_);
    }
    Form6* dialog = filterDialog(mainWindow());
    if (!dialog->run(session_.view.filter.form, prompter_)) {
        return;
    }
    view_->setFocus();
    BusyCursor busy;
    busy.set(true);
    Filtr(session_);
    viewChanged();
}

void TMDIChild1::openListFilter() {
    QListWidget* list = RListBox1_->isHidden() ? Listbox1_ : RListBox1_;
    const bool checkList = list == RListBox1_;
    const std::optional<std::string> what = listFilterDialog(mainWindow())->run();
    if (!what) {
        return;
    }
    QLabel* label6 = labels_[5];
    if (what->empty()) {
        // The whole list again, from the server.
        label6->hide();
        ReRunFiltr(run_, shell_.settings(), randomNames());
        return;
    }
    struct Line {
        QString text;
        QVariant key;
        bool checkable = false;
    };
    std::vector<Line> lines;
    std::vector<std::string> texts;
    lines.reserve(static_cast<std::size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        Line l{item->text(), item->data(Qt::UserRole),
               (item->flags() & Qt::ItemIsUserCheckable) != 0};
        texts.push_back(s(item->text()));
        lines.push_back(std::move(l));
    }
    const std::vector<std::size_t> kept = filterListLines(texts, *what);
    list->setUpdatesEnabled(false);
    {
        const QSignalBlocker block(list);
        list->clear();
        for (std::size_t i : kept) {
            auto* item = new QListWidgetItem(lines[i].text, list);
            item->setData(Qt::UserRole, lines[i].key);
            if (checkList && lines[i].checkable) {
                // TMP_LB keeps every tick, also of lines an earlier filter took away.
                const std::string key = questions::checkListKey(texts[i]);
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                const bool ticked = std::find(TMP_LB_.begin(), TMP_LB_.end(), key) != TMP_LB_.end();
                item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
            } else if (checkList) {
                item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
            }
        }
    }
    list->setUpdatesEnabled(true);
    if (list->count() > 0) {
        list->setCurrentRow(0);
    }
    label6->setText(q(w("Фильтp включен")));
    label6->show();
    list->setFocus();
}

void TMDIChild1::applyFilter() {
    filterAfterAnswer(session_, true);
    viewChanged();
}

void TMDIChild1::filterAgain() {
    filterAfterAnswer(session_, false);
    viewChanged();
}

void TMDIChild1::writeOwnState() { writeViewBlock(session_); }

void TMDIChild1::activateView() {
    readViewBlock(session_);
    const FilterForm& form = session_.view.filter.form;
    reportSettings_.filterActive = !form.blank();
    filterDialog(mainWindow())->load(form);
    const std::string now = statusText();
    const bool waiting = now.find(w("Ожидание")) != std::string::npos;
    std::string status = filterStatus(session_);
    if (status.empty() && waiting) {
        status = now;
    }
    const bool only = run_.flags().onlyMarked; // row 28, read back by the run
    shell_.setCommandChecked("p1", only);
    if (only && status.find(w("Только выделенные")) == std::string::npos) {
        status += w("   Только выделенные стpоки");
    }
    if (!waiting) {
        status = replaceSortNote(status, sortNote(session_.view.sort));
    }
    setStatusText(status);
}

} // namespace fc
