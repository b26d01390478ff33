#pragma once

#include "language/EditorCheck.h"

#include <QPlainTextEdit>

#include <deque>
#include <functional>

class QSyntaxHighlighter;

namespace fc {

// The formula line editor: a borderless one-line rich text over a cell, hidden until used.
// It keeps at most 218 characters and takes no tabs or returns of its own; its keys go to
// the owner first (`keyHandler` returns true for a key it handled), and it reports leaving.
class FormulaLineEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit FormulaLineEditor(QWidget* parent = nullptr);

    QString text() const { return toPlainText(); }
    // A text longer than the limit is kept whole; typing cannot make it longer.
    void setText(const QString& text);
    int limit() const { return limit_; }
    int caret() const { return textCursor().position(); }
    void setCaret(int position);
    void selectRange(int start, int length);

    // How the text is coloured (statement lines); none: one colour.
    void setColouring(std::function<std::vector<EditorSpan>(const QString&)> colouring);
    void recolour();

    std::function<bool(QKeyEvent*)> keyHandler;

signals:
    // Focus went to another widget of the program (not a dialog or a menu).
    void left();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool event(QEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void enforceLimit();

    QSyntaxHighlighter* highlighter_ = nullptr;
    void noteChange();
    bool undoStep();

    bool limiting_ = false;
    int limit_ = 218;
    // The editor undoes two steps at most.
    std::deque<QString> undo_;
    QString last_;
    bool quiet_ = false;
};

} // namespace fc
