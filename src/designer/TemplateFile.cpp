#include "designer/TemplateFile.h"

#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "designer/DesignerSheet.h"
#include "designer/ObjectImage.h"
#include "designer/ObjectTransfer.h"
#include "designer/TableFormatWriter.h"
#include "designer/TemplateMessages.h"
#include "designer/TemplateReader.h"
#include "designer/TurboReader.h"
#include "designer/TurboWriter.h"

#include "components/format/FileType.h"
#include "components/text/Cp1251.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

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

// The name a layout line gives its companion, kept to a plain file name so that a template
// cannot point the reader at files elsewhere.
QString companionIn(const QString& dir, const std::string& name) {
    std::string base = name;
    const std::size_t slash = base.find_last_of("/\\");
    if (slash != std::string::npos) {
        base.erase(0, slash + 1);
    }
    if (base.empty() || base == "." || base == "..") {
        return {};
    }
    return dir + QLatin1Char('/') + cp1251::toQString(base);
}

// The sheet-numbered temporary files of the object images go to a folder of their own, so that
// neither the current directory nor another save is disturbed.
std::string workFolder(const QTemporaryDir& dir) { return cp1251::fromQString(dir.path()); }

// Each sheet's object image, read back into an object workbook, gives the sheet its objects.
// A block that cannot be read is kept as it stands, with the records left in the object column.
void placeObjects(Workbook& book, TemplateReadReport& report, KeptObjectBlocks& kept) {
    if (!report.hasObjects()) {
        return;
    }
    QTemporaryDir dir;
    const ObjectImage image(workFolder(dir));
    for (std::size_t i = 0; i < report.objectBlocks.size(); ++i) {
        const ObjectBlock& block = report.objectBlocks[i];
        const int sheet = static_cast<int>(i) + 1;
        // An empty block holds no objects; one whose digits could not all be read does.
        if (!block.present || (block.bytes.empty() && block.complete) || sheet > book.numSheets()) {
            continue;
        }
        Workbook objects;
        std::string error;
        if (!dir.isValid() || !image.decode(sheet, block, objects, error)) {
            ++report.unreadableObjectBlocks; // the records stay in the object column
            kept[book.sheet(sheet).name()] = block.lines;
            continue;
        }
        objects::place(book.sheet(sheet), objects.sheet(1));
    }
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

bool TemplateFile::canReplace(const QString& path) {
    const QFileInfo info(path);
    if (!info.absoluteDir().exists() || info.isDir()) {
        return false;
    }
    if (!info.exists()) {
        return true;
    }
    const QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.isWritable() && (info.permissions() & anyWrite) != 0;
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
    if (result.layout == TemplateLayout::Ext || result.layout == TemplateLayout::Turbo) {
        const QString dir = QFileInfo(path).absolutePath();
        auto loader = [&](const std::string& name, Workbook& companion) {
            const QString file = companionIn(dir, name);
            if (file.isEmpty()) {
                return -1; // a layout line that names no companion: the template is damaged
            }
            if (!QFileInfo::exists(file)) {
                return 0;
            }
            std::string error;
            return readWorkbookFile(file, companion, error) != 0 ? 1 : -1;
        };
        TurboReader::Result r = TurboReader(options).read(bytes, loader, fresh);
        result.report = std::move(r.report);
        result.companionMissing = r.companionMissing;
        result.companionDamaged = r.companionDamaged;
        book.swapContents(fresh);
        setBusy(book, false);
        if (r.companionMissing) {
            prompter.error(templatemsg::companionMissing() + r.companion);
        } else if (r.companionDamaged) {
            prompter.error(templatemsg::readError());
        } else if (result.report.unreadableLines > 0) {
            prompter.error(templatemsg::readError());
        }
        return result;
    }
    const TemplateLayout readAs =
        result.layout == TemplateLayout::Text ? TemplateLayout::Text : TemplateLayout::Table;
    result.report = TemplateReader(options).read(bytes, readAs, fresh);
    placeObjects(fresh, result.report, result.keptBlocks);
    book.swapContents(fresh);
    setBusy(book, false);
    if (result.report.unreadableLines > 0 || result.report.unreadableObjectBlocks > 0) {
        prompter.error(templatemsg::readError());
    }
    if (result.report.truncated || result.report.textFormFull) {
        prompter.warning(templatemsg::notAllLoaded());
    }
    return result;
}

QString TemplateFile::companionPath(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (name.size() > 4 && name.at(name.size() - 4) == QLatin1Char('.')) {
        return path.left(path.size() - 3) + QStringLiteral("vts");
    }
    return path + QStringLiteral(".vts");
}

void TemplateFile::showMisplacedObject(Workbook& book, int sheet, int id, Prompter& prompter) {
    Sheet& s = book.sheet(sheet);
    book.setCurrentSheet(sheet);
    if (DrawnObject* o = s.object(id)) {
        s.setActiveCell(static_cast<int>(std::min(o->y1, o->y2)) + 1,
                        static_cast<int>(std::min(o->x1, o->x2)) + 1);
        for (DrawnObject& other : s.objects()) {
            other.selected = other.id == id;
        }
    }
    setBusy(book, false);
    prompter.error(templatemsg::objectPlacement());
}

bool TemplateFile::saveExtended(const QString& path, Workbook& book, bool turbo,
                                Prompter& prompter) {
    if (book.numSheets() > 1) {
        prompter.message(templatemsg::turboSaveCaption(), templatemsg::turboManySheets(),
                         Prompter::Icon::Error);
        return false;
    }
    if (!canReplace(path) || !canReplace(companionPath(path))) {
        prompter.warning(templatemsg::turboSaveError());
        return false;
    }
    setBusy(book, true);
    Workbook companion;
    const Sheet& sheet = book.sheet(1);
    companion.setDefaultFont(book.defaultFont().name, book.defaultFont().size);
    companion.sheet(1).setMaxRow(2);
    companion.sheet(1).setMaxCol(sheet.maxCol());
    objects::Collected moved = objects::collect(sheet, companion.sheet(1), turbo);
    if (moved.misplaced) {
        showMisplacedObject(book, 1, moved.misplaced, prompter);
        return false;
    }
    const QString companionFile = companionPath(path);
    TurboWriter writer(book, turbo, cp1251::fromQString(QFileInfo(companionFile).fileName()),
                       TurboWriter::stampNow());
    writer.setPlacements(std::move(moved.records));
    std::string text;
    if (!writer.write(text, companion)) {
        setBusy(book, false);
        prompter.error(templatemsg::turboVerticalMerge());
        return false;
    }
    const QString tmpPath = path + QStringLiteral(".tmp");
    QFile out(tmpPath);
    std::string error;
    bool ok = out.open(QIODevice::WriteOnly | QIODevice::Truncate) && writeAll(out, text);
    out.close();
    ok = ok && out.error() == QFileDevice::NoError &&
         writeWorkbookFile(companionFile, kFileNative, companion, error) &&
         replaceFile(tmpPath, path);
    setBusy(book, false);
    if (!ok) {
        out.remove();
        prompter.warning(templatemsg::turboSaveError());
        return false;
    }
    book.setModified(false);
    return true;
}

bool TemplateFile::save(const QString& path, Workbook& book, TemplateFormat format,
                        Prompter& prompter, const KeptObjectBlocks* kept) {
    if (format != TemplateFormat::Table) {
        return saveExtended(path, book, format == TemplateFormat::Turbo, prompter);
    }
    if (!canReplace(path)) {
        prompter.error(templatemsg::saveError());
        return false;
    }
    const QString tmpPath = path + QStringLiteral(".tmp");
    const QString stage = stagingPath(path);
    setBusy(book, true);
    TableFormatWriter writer(book);
    // Objects first: a misplaced one stops the save before anything is written.
    QTemporaryDir dir;
    const ObjectImage image(workFolder(dir));
    bool imagesOk = true;
    for (int i = 1; i <= book.numSheets(); ++i) {
        const Sheet& sheet = book.sheet(i);
        if (sheet.objects().empty()) {
            // Records still waiting in the object column are written as they are, with the
            // block they came with when it could not be read.
            if (kept != nullptr && objects::hasWaitingRecords(sheet)) {
                auto k = kept->find(sheet.name());
                if (k != kept->end()) {
                    writer.setKeptObjectBlock(i, k->second);
                }
            }
            continue;
        }
        Workbook objects;
        objects.setDefaultFont(book.defaultFont().name, book.defaultFont().size);
        objects::Collected moved = objects::collect(sheet, objects.sheet(1), false);
        if (moved.misplaced) {
            showMisplacedObject(book, i, moved.misplaced, prompter);
            return false;
        }
        std::string lines, error;
        imagesOk = imagesOk && dir.isValid() && image.encode(i, objects, lines, error);
        writer.setObjectBlock(i, std::move(lines));
        writer.setPlacements(i, std::move(moved.records));
    }
    auto fail = [&](QFile& out) {
        out.close();
        out.remove();
        QFile::remove(stage);
        setBusy(book, false);
        prompter.error(templatemsg::saveError());
        return false;
    };
    QFile out(tmpPath);
    if (!imagesOk || !out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return fail(out);
    }
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
