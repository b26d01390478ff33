#pragma once

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>
#include <QString>

namespace fc::test {

// The pages of a PDF file as its page objects count them (-1 when it cannot be read).
inline int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QString text = QString::fromLatin1(f.readAll());
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    int n = 0;
    for (auto it = page.globalMatch(text); it.hasNext(); it.next()) {
        ++n;
    }
    return n;
}

} // namespace fc::test
