#include "designer/TemplateFile.h"

#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "designer/DesignerSheet.h"
#include "designer/TableFormatWriter.h"
#include "designer/TemplateMessages.h"
#include "designer/TemplateReader.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace fc {

namespace {

bool readAll(const QString& path, std::string& out) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return false;
    }
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        return false;
    }
    out.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

bool writeAll(QFile& f, const std::string& bytes) {
    const qint64 n = static_cast<qint64>(bytes.size());
    return f.write(bytes.data(), n) == n && f.flush();
}

// Replaces `to` by `from` in one step, so that no moment leaves the template missing.
bool replaceFile(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

void setBusy(Workbook& book, bool busy) {
    ViewOptions v = book.view();
    v.mousePointer = busy ? 11 : 0;
    book.setView(v);
}

} // namespace

bool TemplateFile::isNewTemplateName(const QString& path) {
    return QFileInfo(path).fileName().compare(QStringLiteral("Noname.rpt"), Qt::CaseInsensitive) ==
           0;
}

void TemplateFile::newTemplate(Workbook& book) {
    Workbook fresh;
    fresh.setDefaultFont("Fixedsys", 10);
    designer::applyNewSheetDefaults(fresh.sheet(1));
    fresh.sheet(1).setActiveCell(1, 1);
    book.swapContents(fresh);
}

QString TemplateFile::stagingPath(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    // A name without a three-letter extension, or one already ending in "tmp", would make the
    // staging file collide with another file: it gets a suffix of its own instead.
    if (name.size() > 4 && name.at(name.size() - 4) == QLatin1Char('.') &&
        !name.endsWith(QStringLiteral("tmp"), Qt::CaseInsensitive)) {
        return path.left(path.size() - 3) + QStringLiteral("tmp");
    }
    return path + QStringLiteral(".stage");
}

TemplateLoadResult TemplateFile::load(const QString& path, Workbook& book, Prompter& prompter,
                                      const TemplateReadOptions& options) {
    TemplateLoadResult result;
    if (isNewTemplateName(path)) {
        newTemplate(book);
        result.opened = true;
        return result;
    }
    std::string bytes;
    if (!readAll(path, bytes)) {
        prompter.error(templatemsg::cannotOpen());
        return result;
    }
    setBusy(book, true);
    result.opened = true;
    result.layout = detectLayout(bytes);
    Workbook fresh;
    const TemplateLayout readAs =
        result.layout == TemplateLayout::Text ? TemplateLayout::Text : TemplateLayout::Table;
    result.report = TemplateReader(options).read(bytes, readAs, fresh);
    book.swapContents(fresh);
    setBusy(book, false);
    if (result.report.unreadableLines > 0) {
        prompter.error(templatemsg::readError());
    }
    if (result.report.truncated) {
        prompter.warning(templatemsg::notAllLoaded());
    }
    return result;
}

bool TemplateFile::save(const QString& path, Workbook& book, TemplateFormat format,
                        Prompter& prompter) {
    (void)format;
    const QString tmpPath = path + QStringLiteral(".tmp");
    const QString stage = stagingPath(path);
    setBusy(book, true);
    auto fail = [&](QFile& out) {
        out.close();
        out.remove();
        QFile::remove(stage);
        setBusy(book, false);
        prompter.error(templatemsg::saveError());
        return false;
    };
    QFile out(tmpPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return fail(out);
    }
    TableFormatWriter writer(book);
    bool warned = false;
    writer.setRowStage([&](std::string rows) {
        QFile st(stage);
        if (st.open(QIODevice::WriteOnly | QIODevice::Truncate) && writeAll(st, rows)) {
            st.close();
            if (st.open(QIODevice::ReadOnly)) {
                QByteArray back = st.readAll();
                if (static_cast<std::size_t>(back.size()) == rows.size()) {
                    return std::string(back.constData(), rows.size());
                }
            }
        }
        // The rows are still at hand: the save goes on without the staging file.
        if (!warned) {
            warned = true;
            prompter.error(templatemsg::stagingError());
        }
        return rows;
    });
    const std::string bytes = writer.write();
    if (!writeAll(out, bytes)) {
        return fail(out);
    }
    out.close();
    if (out.error() != QFileDevice::NoError || !replaceFile(tmpPath, path)) {
        return fail(out);
    }
    QFile::remove(stage);
    book.setModified(false);
    setBusy(book, false);
    return true;
}

} // namespace fc
