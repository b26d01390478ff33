#include "designer/ui/FormulaLineEditor.h"

#include "designer/FormulaLine.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QSyntaxHighlighter>
#include <QTextBlock>

namespace fc {

namespace {

class SpanHighlighter : public QSyntaxHighlighter {
public:
    explicit SpanHighlighter(QTextDocument* doc) : QSyntaxHighlighter(doc) {}
    std::function<std::vector<EditorSpan>(const QString&)> colouring;

protected:
    void highlightBlock(const QString& text) override {
        if (!colouring || currentBlock().blockNumber() != 0) {
            return;
        }
        for (const EditorSpan& s : colouring(text)) {
            QTextCharFormat f;
            f.setForeground(QColor(redOf(s.color), greenOf(s.color), blueOf(s.color)));
            f.setFontUnderline(s.underline);
            f.setFontStrikeOut(s.strikeout);
            setFormat(s.start, s.length, f);
        }
    }
};

} // namespace

FormulaLineEditor::FormulaLineEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabChangesFocus(false);
    document()->setDocumentMargin(1);
    highlighter_ = new SpanHighlighter(document());
    setUndoRedoEnabled(false);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        enforceLimit();
        noteChange();
    });
    hide();
}

void FormulaLineEditor::setText(const QString& text) {
    limit_ = std::max(formulaline::kMaxLength, static_cast<int>(text.size()));
    quiet_ = true;
    setPlainText(text);
    quiet_ = false;
    undo_.clear();
    last_ = text;
}

void FormulaLineEditor::noteChange() {
    const QString now = toPlainText();
    if (quiet_ || limiting_ || now == last_) {
        return;
    }
    undo_.push_back(last_);
    if (undo_.size() > 2) {
        undo_.pop_front();
    }
    last_ = now;
}

bool FormulaLineEditor::undoStep() {
    if (undo_.empty()) {
        return false;
    }
    const QString back = undo_.back();
    undo_.pop_back();
    quiet_ = true;
    setPlainText(back);
    quiet_ = false;
    last_ = back;
    setCaret(-1);
    return true;
}

void FormulaLineEditor::setCaret(int position) {
    QTextCursor c = textCursor();
    const int end = static_cast<int>(toPlainText().size());
    c.setPosition(position < 0 || position > end ? end : position);
    setTextCursor(c);
}

void FormulaLineEditor::selectRange(int start, int length) {
    QTextCursor c = textCursor();
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void FormulaLineEditor::setColouring(std::function<std::vector<EditorSpan>(const QString&)> f) {
    static_cast<SpanHighlighter*>(highlighter_)->colouring = std::move(f);
    highlighter_->rehighlight();
}

void FormulaLineEditor::recolour() { highlighter_->rehighlight(); }

void FormulaLineEditor::enforceLimit() {
    if (limiting_) {
        return;
    }
    const QString t = toPlainText();
    if (t.size() <= limit_) {
        return;
    }
    limiting_ = true;
    const int pos = std::min(caret(), limit_);
    setPlainText(t.left(limit_));
    setCaret(pos);
    limiting_ = false;
}

bool FormulaLineEditor::event(QEvent* e) {
    // Tab is the owner's (four blanks), not a focus move.
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            keyPressEvent(k);
            return true;
        }
    }
    return QPlainTextEdit::event(e);
}

void FormulaLineEditor::keyPressEvent(QKeyEvent* e) {
    if (keyHandler && keyHandler(e)) {
        e->accept();
        return;
    }
    if (e->matches(QKeySequence::Undo)) {
        undoStep();
        e->accept();
        return;
    }
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: e->accept(); return; // not taken as text
    default: break;
    }
    if (e->text().size() == 1 && e->text().front().isPrint() && toPlainText().size() >= limit_ &&
        !textCursor().hasSelection()) {
        e->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void FormulaLineEditor::insertFromMimeData(const QMimeData* source) {
    // Line breaks are kept: Enter splits the text at the first one.
    if (source->hasText()) {
        QString t = source->text();
        t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        t.replace(QLatin1Char('\t'), QLatin1String("    "));
        const int room = limit_ - static_cast<int>(toPlainText().size()) +
                         static_cast<int>(textCursor().selectedText().size());
        textCursor().insertText(t.left(std::max(room, 0)));
    }
}

void FormulaLineEditor::focusOutEvent(QFocusEvent* e) {
    QPlainTextEdit::focusOutEvent(e);
    if (e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason &&
        isVisible()) {
        emit left();
    }
}

} // namespace fc
