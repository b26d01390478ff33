#pragma once

#include <QLineEdit>

namespace fc {

// The in-cell editor: a frameless line laid over the cell. It only reports how the user left
// it; the view decides what ending means (commit through the sheet, move, veto).
class CellEditor : public QLineEdit {
    Q_OBJECT
public:
    enum class End { Enter, ShiftEnter, Tab, BackTab, Up, Down, Left, Right, Escape, FocusOut };
    Q_ENUM(End)

    explicit CellEditor(QWidget* parent);

    // `typing`: started by a typed character, so arrows leave the editor as they would move on
    // the sheet; otherwise (F2, double click) they move the caret.
    void begin(const QString& text, bool typing);
    bool typing() const { return typing_; }
    // Hides without reporting a focus loss.
    void quietHide();

signals:
    void finished(fc::CellEditor::End how);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    bool typing_ = false;
    bool hiding_ = false;
};

} // namespace fc
