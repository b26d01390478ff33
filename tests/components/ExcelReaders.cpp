#include "ExcelReaders.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>

namespace fc::test {

QJsonObject runReader(const std::string& script, const std::string& file, std::string& skip,
                      std::string& error, const std::string& option) {
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!QFile::exists(python)) {
        skip = "/usr/bin/python3 is not installed";
        return {};
    }
    QStringList args{
        QString::fromStdString(std::string(FC_SOURCE_DIR) + "/tests/components/excel/" + script)};
    if (!option.empty()) {
        args << QString::fromStdString(option);
    }
    args << QString::fromStdString(file);
    QProcess p;
    p.start(python, args);
    if (!p.waitForFinished(120000)) {
        error = script + " did not finish";
        return {};
    }
    if (p.exitCode() == 3) {
        skip = script + ": the Python module it needs (python3-xlrd or python3-openpyxl) "
                        "is not installed";
        return {};
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        error = script + " failed: " + p.readAllStandardError().toStdString();
        return {};
    }
    QJsonParseError pe;
    QJsonDocument doc = QJsonDocument::fromJson(p.readAllStandardOutput(), &pe);
    if (pe.error != QJsonParseError::NoError) {
        error = script + " printed no JSON: " + pe.errorString().toStdString();
        return {};
    }
    return doc.object();
}

TempDir::TempDir() {
    QTemporaryDir d(QDir::tempPath() + "/fc-excel-XXXXXX");
    d.setAutoRemove(false);
    dir_ = d.path().toStdString();
}

TempDir::~TempDir() { QDir(QString::fromStdString(dir_)).removeRecursively(); }

std::string TempDir::path(const std::string& name) const { return dir_ + "/" + name; }

} // namespace fc::test
