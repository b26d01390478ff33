#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace fc {

// "Поиск": the text to find (upper case) and, when ticked, its replacement.
class SearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit SearchDialog(QWidget* parent = nullptr);

    QString searchText() const;
    void setSearchText(const QString& text);
    bool replacing() const;
    QString replacement() const;
    void setReplacing(bool on, const QString& replacement = {});

    QLineEdit* searchEdit() const { return find_; }

private:
    QLineEdit* find_;
    QCheckBox* replaceBox_;
    QLineEdit* replace_;
};

// "Кол-во столбцов/стpок:": two counters, columns up to the last form column the object
// column leaves room for, rows up to the sheet's last row.
class ColsRowsDialog : public QDialog {
    Q_OBJECT
public:
    explicit ColsRowsDialog(QWidget* parent = nullptr);

    int cols() const;
    int rows() const;
    void setCounts(int cols, int rows);

private:
    QSpinBox* cols_;
    QSpinBox* rows_;
};

} // namespace fc
