#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <utility>

class QListWidget;

namespace fc {

class PrototypeTable;

// The fact prototype list: every prototype line of the table, in Windows-1251, refilled each
// time the dialog is shown. Enter or a double click hands the chosen line to the insert
// target (the active designer, which puts it into a new row) and closes; Escape closes.
// The table is read, not owned, and must outlive the dialog.
class PrototypeListDialog : public QDialog {
    Q_OBJECT
public:
    using InsertTarget = std::function<void(const std::string& windowsLine)>;

    explicit PrototypeListDialog(const PrototypeTable& table, QWidget* parent = nullptr);

    void setInsertTarget(InsertTarget target) { target_ = std::move(target); }
    void refill();
    QListWidget* list() const { return list_; }

    // "Fixedsys" where it is installed, else a monospace family that is.
    static QFont listFont();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void choose(int row);

    const PrototypeTable& table_;
    QListWidget* list_ = nullptr;
    InsertTarget target_;
};

} // namespace fc
