#pragma once

#include "dialogs/PeriodChooser.h"

#include <QDialog>

class QCalendarWidget;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

namespace fc {

class Prompter;

// "Установка отчетного пеpиода", thin over PeriodChooser. The main window creates it once and
// shows it modally from "Отчетный пеpиод"; exec() gives Accepted after "Подтвеpдить" (the
// settings, the request prefix and "klf.opt" then hold the new period) and Rejected after
// "Отменить" or Esc (nothing changed). The year timer keeps running while the dialog is hidden,
// so a late answer is still taken from the server directory.
class PeriodDialog : public QDialog, private PeriodView {
    Q_OBJECT
public:
    PeriodDialog(AppSettings& settings, Prompter& prompter, QWidget* parent = nullptr,
                 NameSource names = randomNames());

    PeriodChooser& chooser() { return chooser_; }

public slots:
    // "Подтвеpдить".
    void confirm();
    // The year timer's tick (also called by tests).
    void tick();

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void setYearTimer(bool on) override;
    void focusMonthList() override;
    void focusCalendar() override;
    void refresh();
    void applyListFont();

    PeriodChooser chooser_;
    QListWidget* months_;
    QCalendarWidget* calendar_;
    QLabel* startKey_;
    QLabel* endKey_;
    QLabel* year_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QTimer* timer_;
    bool syncing_ = false;
};

// Shows the period dialog of `parent` modally, creating it on first use as a child of `parent`
// (so it lives, with its year timer, as long as the main window). Without a parent the dialog
// lasts for this call only. True when it ended with OK.
bool runPeriodDialog(QWidget* parent, AppSettings& settings, Prompter& prompter);

} // namespace fc
