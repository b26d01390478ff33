#include "AnswerFixture.h"

#include <QFile>

namespace fc::test {

std::string AnswerFixture::fileText(const std::string& name) const {
    QFile f(QString::fromStdString(path(name)));
    if (!f.open(QIODevice::ReadOnly)) {
        return "<missing>";
    }
    return f.readAll().toStdString();
}

void AnswerFixture::writeFile(const std::string& name, const std::string& bytes) const {
    QFile f(QString::fromStdString(path(name)));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
}

} // namespace fc::test
