#include "output/SendMail.h"

#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"

#include <QProcess>
#include <QStringList>

namespace fc::output {

namespace {

// How long the composer's starter may take to hand over before it is left running: a mail
// program it starts may keep it waiting until the message is done.
constexpr int kHandOverMs = 5000;

QString q(const std::string& cp1251) { return cp1251::toQString(cp1251); }

} // namespace

QStringList mailArguments(const MailMessage& m) {
    QStringList args{QStringLiteral("--utf8")};
    if (!m.subject.empty()) {
        args << QStringLiteral("--subject") << q(m.subject);
    }
    if (!m.body.empty()) {
        args << QStringLiteral("--body") << q(m.body);
    }
    for (const std::string& a : m.attachments) {
        args << QStringLiteral("--attach") << files::toNative(a);
    }
    if (!m.to.empty()) {
        args << q(m.to);
    }
    return args;
}

bool SendMail(const MailMessage& message, Prompter& prompter) {
    auto* composer = new QProcess;
    composer->start(QStringLiteral("xdg-email"), mailArguments(message));
    bool ok = composer->waitForStarted(kHandOverMs);
    if (ok && composer->waitForFinished(kHandOverMs)) {
        ok = composer->exitStatus() == QProcess::NormalExit && composer->exitCode() == 0;
        delete composer;
    } else if (ok) {
        // Still composing: it goes when it is done.
        QObject::connect(composer, &QProcess::finished, composer, &QObject::deleteLater);
    } else {
        delete composer;
    }
    if (!ok) {
        prompter.ask("Error", "Error while trying to send email", Prompter::Buttons::Ok,
                     Prompter::Icon::Error);
    }
    return ok;
}

} // namespace fc::output
