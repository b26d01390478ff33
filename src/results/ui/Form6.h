#pragma once

#include "results/Filter.h"
#include "results/FilterForm.h"

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace fc {

class Prompter;

// "Фильтp (в фоpме)": the in-form filter dialog, thin over FilterForm. One dialog serves every
// report window: the window loads its own filter into it before it is shown, and takes the
// fields back after "Подтвеpдить". exec() gives Accepted after "Подтвеpдить" (or "Снять
// фильтp") with complete bounds, Rejected after Escape.
class Form6 : public QDialog {
    Q_OBJECT
public:
    explicit Form6(QWidget* parent = nullptr, FilterLocale locale = FilterLocale::system());

    void load(const FilterForm& form);
    // The fields into `form` (its list items and caption stay as loaded).
    void store(FilterForm& form) const;
    // Shows the dialog modally for `form`; true with OK, and `form` holds the fields then.
    bool run(FilterForm& form, Prompter& prompter);

public slots:
    // "Подтвеpдить": bounds given by halves and unreadable amounts or dates are refused with a
    // message, the field in question focused and the dialog left open.
    void confirm();
    // "Очистить": every field emptied, the list deselected, Ncol emptied.
    void clearFields();
    // "Снять фильтp".
    void removeFilter();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* edit(int n) const { return edits_[static_cast<std::size_t>(n - 1)]; }
    QFrame* radioGroup(const char* name, QRadioButton* (&buttons)[3], QWidget* parent);

    FilterLocale locale_;
    Prompter* prompter_ = nullptr;
    QLineEdit* edits_[9] = {};
    QRadioButton* and_ = nullptr;
    QRadioButton* or_ = nullptr;
    QRadioButton* amountOps_[3] = {};
    QRadioButton* dateOps_[3] = {};
    QFrame* panel2_ = nullptr;
    QFrame* panel3_ = nullptr;
    QFrame* panel4_ = nullptr;
    QLabel* label11_ = nullptr;
    QComboBox* combo_ = nullptr;
    QLineEdit* ncol_ = nullptr;
};

// The application's in-form filter dialog: made hidden as a child of `mainWindow` on first use
// (the program makes it at start).
Form6* filterDialog(QWidget* mainWindow);

} // namespace fc
