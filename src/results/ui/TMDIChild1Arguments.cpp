// The argument bar and tree of the report window, its argument keys, the default lookup and the
// answer cache.
#include "results/ui/TMDIChild1.h"

#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "components/ui/SheetView.h"
#include "exchange/AnswerCache.h"
#include "results/ArgumentBar.h"
#include "results/ArgumentState.h"
#include "results/ResultLayout.h"
#include "results/ui/ArgumentBarWidget.h"
#include "shell/AppSettings.h"
#include "shell/ShellHost.h"

#include <QFrame>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace fc {

namespace {

QString q(std::string_view cp1251) { return cp1251::toQString(cp1251); }

// Shift+F1 .. Shift+F24: the function keys a keyboard can give.
constexpr int kArgumentKeys = 24;

} // namespace

void TMDIChild1::buildArgumentWidgets() {
    // The tree at the sheet's left, in a splitter with it.
    auto* sheetLayout = static_cast<QVBoxLayout*>(Panel5_->layout());
    Splitter1_ = new QSplitter(Qt::Horizontal, Panel5_);
    Splitter1_->setObjectName(QStringLiteral("Splitter1"));
    Splitter1_->setChildrenCollapsible(false);
    TreeView1_ = new QTreeWidget(Splitter1_);
    TreeView1_->setObjectName(QStringLiteral("TreeView1"));
    TreeView1_->setHeaderHidden(true);
    TreeView1_->setColumnCount(1);
    sheetLayout->removeWidget(view_);
    Splitter1_->addWidget(TreeView1_);
    Splitter1_->addWidget(view_);
    Splitter1_->setStretchFactor(1, 1);
    sheetLayout->addWidget(Splitter1_);
    TreeView1_->hide();
    connect(TreeView1_, &QTreeWidget::itemExpanded, this, &TMDIChild1::treeItemExpanded);
    connect(TreeView1_, &QTreeWidget::itemClicked, this, &TMDIChild1::treeItemChosen);
    connect(TreeView1_, &QTreeWidget::itemActivated, this, &TMDIChild1::treeItemChosen);

    // The bar under the sheet.
    argBar_ = new ArgumentBarWidget(this);
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    layout->insertWidget(layout->indexOf(Panel5_) + 1, argBar_);
    connect(argBar_, &ArgumentBarWidget::argumentClicked, this, &TMDIChild1::Arg_ButtonClick);
    connect(argBar_, &ArgumentBarWidget::secondMarkerClicked, this, &TMDIChild1::FPanelClick);

    // The hidden menu of the argument keys; the sheet takes the keys themselves, so that they
    // win over the main menu's (Shift+F7 is also "Создать") while it has the focus.
    argsMenu_ = new QMenu(this);
    argsMenu_->setObjectName(QStringLiteral("Args"));
    argsMenu_->menuAction()->setVisible(false);
    // It takes the place kept for it among the pop-up menu's own items.
    if (auto* slot = menu_->findChild<QAction*>(QStringLiteral("Args"))) {
        argsMenu_->menuAction()->setObjectName(QStringLiteral("Args"));
        menu_->insertAction(slot, argsMenu_->menuAction());
        menu_->removeAction(slot);
        delete slot;
    }
    view_->installEventFilter(
        new KeyInterceptor(this, [this](int key, Qt::KeyboardModifiers mods, bool press) {
            return argumentKey(key, mods, press);
        }));
}

bool TMDIChild1::argumentKey(int key, Qt::KeyboardModifiers mods, bool press) {
    const int i = key - Qt::Key_F1;
    if ((mods & ~Qt::KeypadModifier) != Qt::ShiftModifier || i < 0 || i >= kArgumentKeys ||
        i >= static_cast<int>(session_.arguments().table.size())) {
        return false;
    }
    if (press) {
        NewItemClick(i);
    }
    return true;
}

void TMDIChild1::Arguments() {
    ReportArguments& bar = session_.arguments();
    BarSource source;
    source.noArgs = run_.flags().noArgs;
    source.treeMode = reportSettings_.argumentTree;
    source.treeWidth = reportSettings_.treeWidth;
    source.treeColumn = reportSettings_.treeColumn;
    args::Arguments(bar, book_.sheet(1), run_.context(), shell_.settings(), source);

    argsMenu_->clear();
    argBar_->clear();
    argBar_->hide();
    TreeView1_->clear();
    TreeView1_->hide();
    if (!bar.shown) {
        return;
    }
    if (bar.treeMode) {
        TreeView1_->show();
        const int width = bar.treeWidth > 0 ? bar.treeWidth : 150;
        Splitter1_->setSizes({width, std::max(1, Splitter1_->width() - width)});
    }
    argBar_->setVisible(!bar.treeMode || bar.toggleFound);
    argBar_->setArguments(bar.table, bar.treeMode);
    argBar_->setMarkers(bar.current, bar.pending, bar.second);

    for (std::size_t i = 0; i < bar.table.size(); ++i) {
        QAction* a = argsMenu_->addAction(QStringLiteral("arg%1").arg(i));
        if (i < static_cast<std::size_t>(kArgumentKeys)) {
            // Shown in the menu; the sheet's key handling carries it out.
            a->setShortcut(QKeySequence(Qt::SHIFT | static_cast<Qt::Key>(Qt::Key_F1 + int(i))));
            a->setShortcutContext(Qt::WidgetShortcut);
        }
        const int index = static_cast<int>(i);
        connect(a, &QAction::triggered, this, [this, index] { NewItemClick(index); });
    }
    if (!bar.treeMode) {
        return;
    }
    const QSignalBlocker quiet(TreeView1_);
    const std::vector<std::string> rows = args::treeChildren(book_.sheet(1), bar.treeColumn);
    for (std::size_t i = 0; i < bar.table.size(); ++i) {
        auto* node = new QTreeWidgetItem(TreeView1_, {q(bar.table[i].caption)});
        if (static_cast<int>(i) != bar.current) {
            new QTreeWidgetItem(node, {QStringLiteral("-")});
            continue;
        }
        QList<QTreeWidgetItem*> children;
        children.reserve(static_cast<int>(rows.size()));
        for (const std::string& r : rows) {
            children.push_back(new QTreeWidgetItem({q(r)}));
        }
        node->addChildren(children);
        const bool toggle = args::splitKey(bar.table[i].key).kind == args::KeyParts::Kind::Toggle;
        node->setExpanded(!toggle);
        if (node->childCount() > 0) {
            TreeView1_->scrollToItem(node->child(0));
        }
    }
}

void TMDIChild1::Res_arg() {
    if (argBar_ && !argBar_->isHidden()) {
        argBar_->relayout();
    }
}

void TMDIChild1::Arg_ButtonClick(int index) {
    ReportArguments& bar = session_.arguments();
    const args::ArgumentChoice c =
        args::Arg_ButtonClick(session_, shell_.settings(), *this, ctx_.world, index);
    using Action = args::ArgumentChoice::Action;
    if (c.action == Action::Rerun || c.action == Action::FromCache) {
        argBar_->setMarkers(bar.current, bar.pending, bar.second);
    } else if (c.action != Action::None) {
        view_->setFocus(); // a command acts on the sheet's row
    }
}

void TMDIChild1::NewItemClick(int index) { Arg_ButtonClick(index); }

void TMDIChild1::FPanelClick() {
    const QString caption = argBar_->secondMarker()->text().trimmed();
    for (int i = 0; i < argBar_->count(); ++i) {
        if (argBar_->button(i)->text().trimmed() == caption) {
            Arg_ButtonClick(i);
            return;
        }
    }
}

void TMDIChild1::treeItemExpanded(QTreeWidgetItem* item) {
    if (treeReentry_ || item->parent()) {
        return;
    }
    // Expanding a node chooses its argument; the tree opens when the answer comes.
    treeReentry_ = true;
    item->setExpanded(false);
    treeReentry_ = false;
    Arg_ButtonClick(TreeView1_->indexOfTopLevelItem(item));
}

void TMDIChild1::treeItemChosen(QTreeWidgetItem* item) {
    if (!item || !item->parent()) {
        return;
    }
    Sheet& sheet = book_.sheet(1);
    const int row =
        args::treeRow(sheet, session_.arguments().treeColumn, cp1251::fromQString(item->text(0)));
    if (row > 0) {
        sheet.setTopLeft(row, sheet.leftCol());
        sheet.setActiveCell(row, sheet.activeCell().col);
    }
    view_->setFocus();
}

void TMDIChild1::argumentSettled() {
    ReportArguments& bar = session_.arguments();
    if (bar.pending) {
        bar.pending = false;
        argBar_->setMarkers(bar.current, false, bar.second);
    }
}

void TMDIChild1::restart() {
    // A list opened from the server's list of reports is refreshed, not restarted.
    if (shell_.statusText(2) == w("Обновить")) {
        run_.ReRun();
        return;
    }
    run_.Restart();
}

void TMDIChild1::lookupDefaultArgument(const std::string& reportName) {
    args::DEFARG(shell_.settings(), reportName);
}

std::string TMDIChild1::defaultArgument(const std::string& argument) {
    args::DEFARG(shell_.settings(), argument);
    return argument;
}

bool TMDIChild1::takeFromCache(const std::string& line) {
    AppSettings& app = shell_.settings();
    if (!LoadFromCache(book_, line, app.reportState(), app.startDir, app.serverDir)) {
        return false;
    }
    // The copy's state block belongs to the window that stored it: its names, links to other
    // windows and contexts go, and this window's own take their place.
    Sheet& sheet = book_.sheet(1);
    for (int row : {1, 2, 4, 5, 37, 41}) {
        if (!sheet.text(row, result::kStateCol).empty()) {
            sheet.setText(row, result::kStateCol, "");
        }
    }
    run_.setContext(app.requestPrefix() + line);
    run_.setRequestName(run_.nameBase());
    listPanel_->hide();
    Panel1_->hide();
    Panel5_->show();
    view_->setFocus();
    setCaption(templatePath_);
    Arguments();
    view_->viewport()->update();
    return true;
}

} // namespace fc
