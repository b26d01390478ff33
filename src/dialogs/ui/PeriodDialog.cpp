#include "dialogs/ui/PeriodDialog.h"

#include "components/text/Cp1251.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>

#include <functional>

namespace fc {

namespace {

QString q(const char* utf8) { return cp1251::toQString(w(utf8)); }

constexpr int kMarkRole = Qt::UserRole;
const QColor kRed(255, 0, 0);

// The month list: Enter confirms, and a move with the keys counts as a click on the new line.
class MonthList : public QListWidget {
public:
    using QListWidget::QListWidget;
    std::function<void()> onEnter;
    std::function<void(int)> onMove;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
            e->accept();
            onEnter();
            return;
        }
        const int before = currentRow();
        QListWidget::keyPressEvent(e);
        if (currentRow() != before && currentRow() >= 0) {
            onMove(currentRow() + 1);
        }
    }
};

// A month line: its text, a red bar at the right edge through the months between the start
// and the end, and a short red tick after the day text of the start and end lines.
class MonthDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* w = opt.widget;
        QStyle* style = w ? w->style() : nullptr;
        if (style) {
            style->drawControl(QStyle::CE_ItemViewItem, &opt, p, w);
        }
        p->save();
        p->setFont(opt.font);
        const bool selected = opt.state & QStyle::State_Selected;
        p->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        const QRect r = opt.rect.adjusted(3, 0, -3, 0);
        p->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);

        const auto mark = static_cast<PeriodChooser::Mark>(index.data(kMarkRole).toInt());
        const int midY = opt.rect.center().y();
        if (mark == PeriodChooser::Mark::Between) {
            p->fillRect(QRect(opt.rect.right() - 4, opt.rect.top(), 3, opt.rect.height()), kRed);
        } else if (mark != PeriodChooser::Mark::None) {
            const int x = r.left() + opt.fontMetrics.horizontalAdvance(text.trimmed()) + 4;
            p->fillRect(QRect(x, midY - 1, 7, 3), kRed);
        }
        p->restore();
    }
};

void setLit(QLabel* label, bool lit) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText,
                 lit ? kRed : label->parentWidget()->palette().color(QPalette::WindowText));
    label->setPalette(pal);
}

} // namespace

PeriodDialog::PeriodDialog(AppSettings& settings, Prompter& prompter, QWidget* parent,
                           NameSource names)
    : QDialog(parent), chooser_(settings, prompter, *this, std::move(names)),
      months_(new MonthList(this)), calendar_(new QCalendarWidget(this)),
      startKey_(new QLabel(q("F4 - начало пеpиода"), this)),
      endKey_(new QLabel(q("F5 - конец пеpиода"), this)), year_(new QLabel(this)),
      ok_(new QPushButton(q("Подтвеpдить"), this)), cancel_(new QPushButton(q("Отменить"), this)),
      timer_(new QTimer(this)) {
    setWindowTitle(q("Установка отчетного пеpиода"));
    setObjectName("PeriodDialog");
    months_->setObjectName("monthList");
    calendar_->setObjectName("calendar");
    startKey_->setObjectName("startKeyLabel");
    endKey_->setObjectName("endKeyLabel");
    year_->setObjectName("yearText");
    ok_->setObjectName("okButton");
    cancel_->setObjectName("cancelButton");

    auto* list = static_cast<MonthList*>(months_);
    list->setItemDelegate(new MonthDelegate(list));
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int m = 1; m <= 12; ++m) {
        list->addItem(QString());
    }
    list->onEnter = [this] { confirm(); };
    list->onMove = [this](int month) {
        chooser_.monthClick(month);
        refresh();
    };
    connect(list, &QListWidget::clicked, this, [this](const QModelIndex& i) {
        chooser_.monthClick(i.row() + 1);
        refresh();
    });
    connect(list, &QListWidget::doubleClicked, this, [this](const QModelIndex& i) {
        chooser_.monthDoubleClick(i.row() + 1);
        refresh();
    });
    applyListFont();

    calendar_->setFirstDayOfWeek(Qt::Monday);
    calendar_->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calendar_->setLocale(QLocale(QLocale::Russian, QLocale::Russia));
    connect(calendar_, &QCalendarWidget::selectionChanged, this, [this] {
        if (!syncing_) {
            chooser_.setCalendarDay(calendar_->selectedDate().day());
        }
    });
    connect(calendar_, &QCalendarWidget::activated, this, [this](QDate d) {
        chooser_.setCalendarDay(d.day());
        chooser_.dayPick();
        refresh();
    });

    auto* grid = new QGridLayout(this);
    grid->addWidget(months_, 0, 0, 3, 1);
    grid->addWidget(calendar_, 0, 1, 1, 2);
    grid->addWidget(startKey_, 1, 1);
    grid->addWidget(endKey_, 2, 1);
    auto* yearRow = new QHBoxLayout;
    yearRow->addStretch();
    yearRow->addWidget(new QLabel(q("Год:"), this));
    yearRow->addWidget(year_);
    year_->setMinimumWidth(year_->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    grid->addLayout(yearRow, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    grid->addLayout(buttons, 3, 0, 1, 3);

    // Enter belongs to the month list and the calendar, never to a button.
    ok_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &PeriodDialog::confirm);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    timer_->setInterval(PeriodChooser::kYearPoll);
    connect(timer_, &QTimer::timeout, this, &PeriodDialog::tick);
    refresh();
}

void PeriodDialog::applyListFont() {
    QFont f(QStringLiteral("Courier New"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSize(monthListPointSize(logicalDpiY()));
    months_->setFont(f);
    const QFontMetrics fm(f);
    const int frame = 2 * months_->frameWidth();
    // The longest line: the name's 13 characters and "31..31", with room for the marks.
    months_->setFixedWidth(fm.horizontalAdvance(QString(20, QLatin1Char('0'))) + 20 + frame);
    months_->setFixedHeight(12 * (fm.height() + 2) + frame);
    for (int i = 0; i < months_->count(); ++i) {
        months_->item(i)->setSizeHint(QSize(0, fm.height() + 2));
    }
}

void PeriodDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (e->spontaneous()) {
        return;
    }
    applyListFont();
    chooser_.activate();
    refresh();
}

void PeriodDialog::keyPressEvent(QKeyEvent* e) {
    if (e->modifiers() == Qt::NoModifier && e->key() == Qt::Key_F4) {
        chooser_.startKey();
        refresh();
        return;
    }
    if (e->modifiers() == Qt::NoModifier && e->key() == Qt::Key_F5) {
        chooser_.endKey();
        refresh();
        return;
    }
    QDialog::keyPressEvent(e);
}

void PeriodDialog::confirm() {
    if (chooser_.confirm()) {
        accept();
    }
}

void PeriodDialog::tick() {
    chooser_.tick();
    refresh();
}

void PeriodDialog::setYearTimer(bool on) {
    if (on) {
        timer_->start();
    } else {
        timer_->stop();
    }
}

void PeriodDialog::focusMonthList() { months_->setFocus(); }

// A disabled calendar does not take the focus: the month list keeps it.
void PeriodDialog::focusCalendar() { calendar_->setFocus(); }

void PeriodDialog::refresh() {
    syncing_ = true;
    for (int m = 1; m <= 12; ++m) {
        QListWidgetItem* item = months_->item(m - 1);
        item->setText(cp1251::toQString(chooser_.monthLine(m)));
        item->setData(kMarkRole, static_cast<int>(chooser_.mark(m)));
    }
    months_->setCurrentRow(chooser_.selectedMonth() - 1);
    const int y = chooser_.calendarYear();
    const int m = chooser_.calendarMonth();
    // Only the selected month's days can be picked: a day always belongs to its month line.
    calendar_->setDateRange(QDate(y, m, 1), QDate(y, m, PeriodChooser::daysInMonth(y, m)));
    calendar_->setSelectedDate(QDate(y, m, chooser_.calendarDay()));
    calendar_->setCurrentPage(y, m);
    calendar_->setEnabled(chooser_.calendarEnabled());
    year_->setText(cp1251::toQString(chooser_.yearText()));
    setLit(startKey_, chooser_.litKey() == PeriodChooser::Key::Start);
    setLit(endKey_, chooser_.litKey() == PeriodChooser::Key::End);
    months_->viewport()->update();
    syncing_ = false;
}

bool runPeriodDialog(QWidget* parent, AppSettings& settings, Prompter& prompter) {
    if (parent == nullptr) {
        PeriodDialog dialog(settings, prompter);
        return dialog.exec() == QDialog::Accepted;
    }
    auto* dialog = parent->findChild<PeriodDialog*>(QString(), Qt::FindDirectChildrenOnly);
    if (dialog == nullptr) {
        dialog = new PeriodDialog(settings, prompter, parent);
    }
    return dialog->exec() == QDialog::Accepted;
}

} // namespace fc
