#include "shell/ui/BasicDesignerWindow.h"

#include "components/text/Cp1251.h"
#include "shell/AppSettings.h"
#include "shell/ShellHost.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QVBoxLayout>

namespace fc {

namespace {

// Stands in for the sheet view: an empty grid with headings.
class GridPlaceholder : public QWidget, public WorkbookListener {
public:
    GridPlaceholder(Workbook& book, QWidget* parent) : QWidget(parent), book_(book) {
        book_.addListener(this);
        setObjectName(QStringLiteral("vbvbn"));
        setFocusPolicy(Qt::StrongFocus);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, Qt::white);
        setPalette(pal);
    }
    ~GridPlaceholder() override { book_.removeListener(this); }

    void viewChanged() override { update(); }
    void layoutChanged() override { update(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const int hw = 40, hh = 20, cw = 72, rh = 18;
        double scale = book_.view().viewScale / 100.0;
        int w = int(cw * scale), h = int(rh * scale);
        QColor head(236, 236, 236), line(215, 215, 215);
        p.fillRect(0, 0, width(), hh, head);
        p.fillRect(0, 0, hw, height(), head);
        p.setPen(line);
        if (book_.view().showGridLines) {
            for (int x = hw; x < width(); x += w) {
                p.drawLine(x, hh, x, height());
            }
            for (int y = hh; y < height(); y += h) {
                p.drawLine(hw, y, width(), y);
            }
        }
        p.setPen(QColor(90, 90, 90));
        int col = 0;
        for (int x = hw; x < width() && col < 26; x += w, ++col) {
            p.drawText(QRect(x, 0, w, hh), Qt::AlignCenter, QString(QChar('A' + col)));
            p.drawLine(x, 0, x, hh);
        }
        int row = 1;
        for (int y = hh; y < height(); y += h, ++row) {
            p.drawText(QRect(0, y, hw, h), Qt::AlignCenter, QString::number(row));
            p.drawLine(0, y, hw, y);
        }
    }

private:
    Workbook& book_;
};

} // namespace

QWidget* createSheetView(Workbook& book, QWidget* parent) {
    return new GridPlaceholder(book, parent);
}

BasicDesignerWindow::BasicDesignerWindow(ShellHost& host, QWidget* parent)
    : QWidget(parent), view_(createSheetView(book_, this)) {
    setObjectName(QStringLiteral("MDIChild_1"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    setCaption(host.settings().currentFileName);
    resize(640, 400);
}

// The view listens to the workbook, so it must go before the workbook does.
BasicDesignerWindow::~BasicDesignerWindow() { delete view_; }

std::string BasicDesignerWindow::componentName() const { return cp1251::fromQString(objectName()); }

void BasicDesignerWindow::activateChild() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        if (sub->mdiArea() != nullptr) {
            sub->mdiArea()->setActiveSubWindow(sub);
        }
    }
    activateWindow();
}

void BasicDesignerWindow::designerKey(int, Qt::KeyboardModifiers) {
    // The designer's own commands arrive with the designer proper.
}

void BasicDesignerWindow::refreshSheetProperties() { view_->update(); }

void BasicDesignerWindow::focusSheet() { view_->setFocus(); }

std::string BasicDesignerWindow::caption() const { return cp1251::fromQString(windowTitle()); }

void BasicDesignerWindow::setCaption(const std::string& caption) {
    setWindowTitle(cp1251::toQString(caption));
}

} // namespace fc
