#include "dialogs/ui/LauncherDialog.h"

#include "components/platform/Prompter.h"
#include "components/platform/ui/FileDialogFilter.h"
#include "components/text/Cp1251.h"

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

namespace fc {

namespace {

QString text(const char* utf8) { return cp1251::toQString(w(utf8)); }

// Programs carry no extension here, so the "programs" choice shows every file.
constexpr const char* kProgramFilter = "Пpогpаммы|*|*.rpt файлы|*.rpt";

bool startDetached(const ProcessPlan& plan) {
    if (plan.program.isEmpty()) {
        return false;
    }
    return QProcess::startDetached(plan.program, plan.arguments, plan.workingDirectory);
}

} // namespace

LauncherDialog::LauncherDialog(const QString& startDirectory, Prompter& prompter, QWidget* parent)
    : QDialog(parent), startDirectory_(startDirectory), prompter_(prompter),
      program_(new QComboBox(this)), directory_(new QLineEdit(this)),
      directoryButton_(new QToolButton(this)), browse_(new QPushButton(text("Обзоp"), this)),
      startButton_(new QPushButton(text("Стаpт"), this)), starter_(startDetached) {
    setObjectName(QStringLiteral("LauncherForm"));
    setWindowTitle(text("Запуск внешних пpиложений"));

    program_->setObjectName(QStringLiteral("ComboBox1"));
    program_->setEditable(true);
    program_->setInsertPolicy(QComboBox::NoInsert);
    program_->setMaxVisibleItems(12);
    program_->setMinimumWidth(380);
    program_->lineEdit()->installEventFilter(this);
    directory_->setObjectName(QStringLiteral("DirectoryEdit1"));
    directory_->setAcceptDrops(true);
    directory_->installEventFilter(this);
    QIcon folder = style()->standardIcon(QStyle::SP_DirOpenIcon);
    directoryButton_->setObjectName(QStringLiteral("DirectoryButton"));
    directoryButton_->setIcon(folder);
    browse_->setObjectName(QStringLiteral("BitBtn1"));
    browse_->setIcon(folder);
    startButton_->setObjectName(QStringLiteral("Button1"));
    startButton_->setDefault(true);

    auto* programLabel = new QLabel(text("Запустить пpогpамму:"), this);
    programLabel->setBuddy(program_);
    auto* directoryLabel = new QLabel(text("Рабочий каталог:"), this);
    directoryLabel->setBuddy(directory_);

    auto* grid = new QGridLayout(this);
    grid->addWidget(programLabel, 0, 0, 1, 2);
    grid->addWidget(program_, 1, 0);
    grid->addWidget(browse_, 1, 1);
    grid->addWidget(directoryLabel, 2, 0, 1, 2);
    auto* dirRow = new QHBoxLayout;
    dirRow->setSpacing(2);
    dirRow->addWidget(directory_);
    dirRow->addWidget(directoryButton_);
    grid->addLayout(dirRow, 3, 0);
    grid->addWidget(startButton_, 3, 1);

    connect(program_, qOverload<int>(&QComboBox::activated), this, [this](int i) {
        if (i >= 0 && static_cast<std::size_t>(i) < directories_.size()) {
            directory_->setText(cp1251::toQString(directories_[static_cast<std::size_t>(i)]));
        }
    });
    connect(browse_, &QPushButton::clicked, this, &LauncherDialog::browseProgram);
    connect(directoryButton_, &QToolButton::clicked, this, &LauncherDialog::browseDirectory);
    connect(startButton_, &QPushButton::clicked, this, &LauncherDialog::start);

    programChooser_ = [](QWidget* parent, const QString& dir) {
        return QFileDialog::getOpenFileName(parent, QString(), dir, dialogFilter(kProgramFilter));
    };
    load();
}

QString LauncherDialog::listPath() const {
    return QDir(startDirectory_).filePath(QStringLiteral("clw.pth"));
}

void LauncherDialog::load() {
    list_ = LauncherList::load(listPath());
    program_->clear();
    directories_.clear();
    for (const LauncherList::Entry& e : list_.entries()) {
        program_->addItem(cp1251::toQString(e.command));
        directories_.push_back(e.directory);
    }
    // The blank entry for a new command line.
    program_->addItem(QString());
    directories_.emplace_back();
    program_->setCurrentIndex(0);
    directory_->setText(cp1251::toQString(directories_.front()));
}

void LauncherDialog::start() {
    std::string command = cp1251::fromQString(program_->currentText());
    std::string directory = cp1251::fromQString(directory_->text().trimmed());
    list_.noteStarted(command, directory);
    QDir::setCurrent(startDirectory_);
    if (!list_.save(listPath())) {
        prompter_.error(w("Не могу создать файл ") + cp1251::fromQString(listPath()));
    }
    // Nothing is said when the program does not start: the dialog closes all the same.
    starter_(processPlan(command, directory));
    accept();
}

void LauncherDialog::browseProgram() {
    QString chosen = programChooser_(this, startDirectory_);
    if (!chosen.isEmpty()) {
        program_->setEditText(QDir::toNativeSeparators(chosen));
    }
}

void LauncherDialog::browseDirectory() {
    QString chosen =
        QFileDialog::getExistingDirectory(this, text("Рабочий каталог:"), directory_->text());
    if (!chosen.isEmpty()) {
        directory_->setText(QDir::toNativeSeparators(chosen));
    }
}

void LauncherDialog::done(int result) {
    QDir::setCurrent(startDirectory_);
    QDialog::done(result);
}

bool LauncherDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == program_->lineEdit() && event->type() == QEvent::MouseButtonDblClick) {
        browseProgram();
        return true;
    }
    if (watched == directory_) {
        if (event->type() == QEvent::DragEnter) {
            auto* e = static_cast<QDragEnterEvent*>(event);
            if (e->mimeData()->hasUrls()) {
                e->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* e = static_cast<QDropEvent*>(event);
            const QList<QUrl> urls = e->mimeData()->urls();
            if (!urls.isEmpty() && urls.front().isLocalFile()) {
                QFileInfo info(urls.front().toLocalFile());
                directory_->setText(QDir::toNativeSeparators(info.isDir() ? info.absoluteFilePath()
                                                                          : info.absolutePath()));
                e->acceptProposedAction();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace fc
