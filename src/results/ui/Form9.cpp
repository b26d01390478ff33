#include "results/ui/Form9.h"

#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "results/ArgumentFile.h"
#include "shell/AppSettings.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace fc {

namespace {

QString q(std::string_view cp1251) { return cp1251::toQString(cp1251); }
std::string s(const QString& text) { return cp1251::fromQString(text); }

// The grid has 30 rows, and more when the file is longer: no line is left out.
constexpr int kGridRows = 30;
// Argument files are small; a larger file is not one.
constexpr std::uint64_t kFileLimit = std::uint64_t(16) << 20;

// The renaming edit: upper case, Enter renames, Escape gives up.
class RenameEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    std::function<void(bool)> done;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter ||
             e->key() == Qt::Key_Escape) &&
            done) {
            done(e->key() != Qt::Key_Escape);
            return;
        }
        QLineEdit::keyPressEvent(e);
    }
};

} // namespace

Form9::Form9(AppSettings& settings, Prompter& prompter, QWidget* parent)
    : QDialog(parent), settings_(settings), prompter_(prompter) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(q(w("Аpгументы фоpм")));
    auto* layout = new QVBoxLayout(this);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ListBox1"));
    grid_ = new QTableWidget(kGridRows, 2, this);
    grid_->setObjectName(QStringLiteral("StringGrid1"));
    grid_->setHorizontalHeaderLabels({q(w("  Название")), q(w("  [F1]"))});
    grid_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    grid_->verticalHeader()->setSectionsMovable(true);
    grid_->hide();
    layout->addWidget(list_);
    layout->addWidget(grid_);
    auto* buttons = new QHBoxLayout;
    add_ = new QPushButton(q(w("Добавить")), this);
    add_->setObjectName(QStringLiteral("Button2"));
    delete_ = new QPushButton(q(w("Удалить")), this);
    delete_->setObjectName(QStringLiteral("Button3"));
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("Button1"));
    ok_->hide();
    buttons->addWidget(add_);
    buttons->addWidget(delete_);
    buttons->addStretch();
    buttons->addWidget(ok_);
    layout->addLayout(buttons);
    auto* edit = new RenameEdit(list_);
    edit->setObjectName(QStringLiteral("Edit1"));
    edit->hide();
    connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& t) {
        const int at = edit->cursorPosition();
        edit->setText(t.toUpper());
        edit->setCursorPosition(at);
    });
    edit->done = [this, edit](bool accept) {
        const std::string typed = s(edit->text().trimmed());
        if (accept && !renameSelected(typed)) {
            return; // the message was shown; the edit stays for another name
        }
        edit->hide();
        list_->setFocus();
    };
    rename_ = edit;
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { openFile(s(item->text())); });
    connect(ok_, &QPushButton::clicked, this, [this] { saveFile(); });
    connect(add_, &QPushButton::clicked, this, [this] { addFile(); });
    connect(delete_, &QPushButton::clicked, this, [this] { deleteFile(); });
    resize(420, 480);
}

void Form9::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (grid_->isHidden()) {
        refreshList();
    }
}

std::string Form9::pathOf(const std::string& listed) const {
    // Listed upper-cased: the file on disk may be named in any case.
    return files::findIgnoringCase(files::join(settings_.startDir, listed));
}

void Form9::refreshList() {
    list_->clear();
    const QDir dir(files::toNative(settings_.startDir.empty() ? "." : settings_.startDir));
    QStringList names;
    for (const QString& f :
         dir.entryList({QStringLiteral("*.arg")}, QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        names.push_back(f.toUpper());
    }
    names.removeDuplicates();
    list_->addItems(names);
}

void Form9::showList(bool list) {
    list_->setVisible(list);
    add_->setVisible(list);
    delete_->setVisible(list);
    grid_->setVisible(!list);
    ok_->setVisible(!list);
}

void Form9::openFile(const std::string& name) {
    const std::string path = pathOf(name);
    std::optional<std::string> bytes = files::readAll(path, kFileLimit);
    if (!bytes) {
        prompter_.error(w("Не могу открыть файл ") + path);
        return;
    }
    const std::vector<args::EditorRow> rows = args::editorRows(*bytes);
    grid_->clearContents();
    grid_->setRowCount(std::max<int>(kGridRows, static_cast<int>(rows.size()) + 1));
    for (int r = 0; r < grid_->rowCount(); ++r) {
        // Rows moved by the user last time come back in order.
        const int from = grid_->verticalHeader()->visualIndex(r);
        if (from != r) {
            grid_->verticalHeader()->moveSection(from, r);
        }
    }
    for (std::size_t r = 0; r < rows.size(); ++r) {
        grid_->setItem(static_cast<int>(r), 0, new QTableWidgetItem(q(rows[r].caption)));
        grid_->setItem(static_cast<int>(r), 1, new QTableWidgetItem(q(rows[r].key)));
    }
    open_ = path;
    showList(false);
    grid_->setFocus();
}

bool Form9::saveFile() {
    std::vector<args::EditorRow> rows;
    for (int v = 0; v < grid_->rowCount(); ++v) {
        const int r = grid_->verticalHeader()->logicalIndex(v); // the order the user sees
        const QTableWidgetItem* caption = grid_->item(r, 0);
        const QTableWidgetItem* key = grid_->item(r, 1);
        rows.push_back(
            {caption ? s(caption->text()) : std::string(), key ? s(key->text()) : std::string()});
    }
    if (!files::writeAtomic(open_, args::editorFileBytes(rows))) {
        prompter_.error(w("Не могу создать файл ") + open_);
        return false;
    }
    showList(true);
    refreshList();
    return true;
}

void Form9::addFile() {
    const std::string name = "NONAME.ARG";
    const std::string path = pathOf(name);
    if (!files::exists(path) && !files::writeAtomic(path, "")) {
        prompter_.error(w("Не могу создать файл ") + path);
        return;
    }
    refreshList();
    const QList<QListWidgetItem*> found = list_->findItems(q(name), Qt::MatchExactly);
    if (!found.isEmpty()) {
        list_->setCurrentItem(found.front());
    }
    startRenaming();
}

void Form9::startRenaming() {
    QListWidgetItem* item = list_->currentItem();
    if (!item) {
        return;
    }
    QString base = item->text();
    if (base.endsWith(QLatin1String(".ARG"))) {
        base.chop(4);
    }
    rename_->setText(base);
    rename_->setGeometry(list_->visualItemRect(item));
    rename_->show();
    rename_->selectAll();
    rename_->setFocus();
}

bool Form9::renameSelected(const std::string& name) {
    QListWidgetItem* item = list_->currentItem();
    if (!item) {
        return true;
    }
    const std::string from = pathOf(s(item->text()));
    const std::string upper = cp1251::upper(name);
    const std::string to = files::join(settings_.startDir, upper + ".ARG");
    if (upper.empty() || upper.find_first_of("/\\") != std::string::npos || to == from) {
        return to == from;
    }
    const std::string clash = files::findIgnoringCase(to);
    if ((files::exists(clash) && clash != from) || !files::rename(from, to)) {
        prompter_.error(w("Невозможно переименовать файл \"") + from + w("\" в \"") + to + "\"!");
        return false;
    }
    refreshList();
    const QList<QListWidgetItem*> found = list_->findItems(q(upper + ".ARG"), Qt::MatchExactly);
    if (!found.isEmpty()) {
        list_->setCurrentItem(found.front());
    }
    return true;
}

void Form9::deleteFile() {
    QListWidgetItem* item = list_->currentItem();
    if (!item) {
        return;
    }
    files::remove(pathOf(s(item->text())));
    refreshList();
}

} // namespace fc
