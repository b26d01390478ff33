#include "exchange/ui/ConnectionDialog.h"

#include "components/text/Cp1251.h"
#include "shell/AppSettings.h"

#include <QApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStackedLayout>
#include <QTimer>
#include <QToolButton>

namespace fc {

namespace {

QString q(const char* utf8) { return cp1251::toQString(w(utf8)); }

QLabel* boldLabel(const char* utf8, QWidget* parent) {
    auto* l = new QLabel(q(utf8), parent);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

// A plug: green and joined when connected, red and apart when not.
QIcon plugIcon(bool connected) {
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor c = connected ? QColor(0, 140, 0) : QColor(190, 0, 0);
    p.setPen(QPen(c, 2));
    p.setBrush(c);
    const int gap = connected ? 0 : 4;
    p.drawRect(3, 8, 7 - gap / 2, 8);
    p.drawRect(14 + gap / 2, 8, 7 - gap / 2, 8);
    p.drawLine(0, 12, 3, 12);
    p.drawLine(21, 12, 24, 12);
    return QIcon(pm);
}

} // namespace

ConnectionDialog::ConnectionDialog(AppSettings& settings, PrototypeTable& prototypes,
                                   Prompter& prompter, QWidget* parent)
    : QDialog(parent), settings_(settings), connection_(settings, prototypes, prompter, *this),
      serverDir_(new QLineEdit(this)), user_(new QLineEdit(this)), password_(new QLineEdit(this)),
      reportsDir_(new QLineEdit(this)), register_(new QPushButton(q("Регистpация"), this)),
      registering_(new QLabel(q("Регистpация"), this)), timer_(new QTimer(this)) {
    setWindowTitle(q("Подключение к сеpвеpу "));
    setObjectName("ConnectionDialog");
    serverDir_->setObjectName("serverDir");
    user_->setObjectName("user");
    password_->setObjectName("password");
    password_->setEchoMode(QLineEdit::Password);
    reportsDir_->setObjectName("reportsDir");
    register_->setObjectName("registerButton");
    registering_->setObjectName("registeringPanel");
    registering_->setAlignment(Qt::AlignCenter);
    registering_->setAutoFillBackground(true);
    QPalette pal = registering_->palette();
    pal.setColor(QPalette::Window, QColor(0, 255, 0));
    registering_->setPalette(pal);

    auto* grid = new QGridLayout(this);
    auto addDir = [&](int row, const char* label, QLineEdit* edit, const char* title) {
        grid->addWidget(boldLabel(label, this), row, 0);
        grid->addWidget(edit, row, 1);
        auto* b = new QToolButton(this);
        b->setText("...");
        b->setToolTip(q("Обзоp"));
        connect(b, &QToolButton::clicked, this, [this, edit, title] { browse(edit, title); });
        grid->addWidget(b, row, 2);
    };
    addDir(0, "Каталог обмена:", serverDir_, "Поиск каталога обмена с сеpвеpом");
    grid->addWidget(boldLabel("Имя:", this), 1, 0);
    grid->addWidget(user_, 1, 1, 1, 2);
    grid->addWidget(boldLabel("Паpоль:", this), 2, 0);
    grid->addWidget(password_, 2, 1, 1, 2);
    addDir(3, "Искать *.rpt в:", reportsDir_, "Поиск каталога с *.rpt файлами");
    // The lime panel covers the button while a registration is outstanding.
    stack_ = new QStackedLayout;
    stack_->addWidget(register_);
    stack_->addWidget(registering_);
    grid->addLayout(stack_, 4, 0, 1, 3);

    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &ConnectionDialog::tick);
    connect(register_, &QPushButton::clicked, this, &ConnectionDialog::registerNow);

    serverDir_->setText(cp1251::toQString(settings.serverDir));
    user_->setText(cp1251::toQString(settings.userName()));
    password_->setText(cp1251::toQString(settings.password()));
    reportsDir_->setText(cp1251::toQString(settings.reportsDir));
}

QIcon ConnectionDialog::connectedIcon() { return plugIcon(true); }
QIcon ConnectionDialog::notConnectedIcon() { return plugIcon(false); }

void ConnectionDialog::registerNow() {
    connection_.registration(
        cp1251::fromQString(serverDir_->text()), cp1251::fromQString(user_->text()),
        cp1251::fromQString(password_->text()), cp1251::fromQString(reportsDir_->text()));
}

void ConnectionDialog::requestRecompile() { connection_.recompile(); }

void ConnectionDialog::tick() { connection_.tick(); }

void ConnectionDialog::showEvent(QShowEvent* e) {
    setBusy(false);
    QDialog::showEvent(e);
}

void ConnectionDialog::setConnected(bool connected, const std::string& hint) {
    emit connectionChanged(connected, cp1251::toQString(hint));
}

void ConnectionDialog::setRegistering(bool on) {
    stack_->setCurrentWidget(on ? static_cast<QWidget*>(registering_) : register_);
}

void ConnectionDialog::setBusy(bool busy) { busy_.set(busy); }

void ConnectionDialog::setTimer(bool on, int intervalMs) {
    if (on) {
        timer_->start(intervalMs);
    } else {
        timer_->stop();
    }
}

void ConnectionDialog::closeDialog() {
    if (isVisible()) {
        accept();
    }
}

void ConnectionDialog::browse(QLineEdit* edit, const char* title) {
    QString dir = QFileDialog::getExistingDirectory(this, q(title), edit->text());
    if (!dir.isEmpty()) {
        edit->setText(QDir::toNativeSeparators(dir));
    }
}

} // namespace fc
