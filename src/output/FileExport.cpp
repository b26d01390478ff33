#include "output/FileExport.h"

#include "components/model/Sheet.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/ReportSettings.h"
#include "results/ResultSession.h"

#include <QSaveFile>

#include <memory>
#include <vector>

namespace fc::output {

namespace {

struct ExportFile {
    std::string name;
    std::string bytes;
    std::string line; // the current row's cells
};

} // namespace

bool DoFSave(ResultSession& session) {
    const Sheet& s = session.sheet();
    const std::vector<ReportSettings::SaveFile>& saveSlots = session.settings().saveFiles;
    // Slots of the same name write one file, in slot order, wherever they stand.
    std::vector<ExportFile> files;
    std::vector<std::size_t> fileOf;
    for (const ReportSettings::SaveFile& slot : saveSlots) {
        std::size_t f = 0;
        while (f < files.size() && files[f].name != slot.name) {
            ++f;
        }
        if (f == files.size()) {
            files.push_back({slot.name, {}, {}});
        }
        fileOf.push_back(f);
    }
    if (files.empty()) {
        return true;
    }
    // Each file gets a line for every row in which one of its saveSlots has a cell that is not
    // blank: those cells' texts as they stand, ended by CR LF.
    std::vector<bool> wrote(files.size());
    for (int r = 1; r <= s.maxRow(); ++r) {
        std::fill(wrote.begin(), wrote.end(), false);
        for (std::size_t i = 0; i < saveSlots.size(); ++i) {
            if (!saveSlots[i].column) {
                continue;
            }
            const std::string text = s.text(r, *saveSlots[i].column);
            if (text::trim(text).empty()) {
                continue;
            }
            ExportFile& f = files[fileOf[i]];
            if (!wrote[fileOf[i]]) {
                f.line.clear();
                wrote[fileOf[i]] = true;
            }
            f.line += text;
        }
        for (std::size_t f = 0; f < files.size(); ++f) {
            if (wrote[f]) {
                files[f].bytes += files[f].line;
                files[f].bytes += "\r\n";
            }
        }
    }
    // Every file is made before any is written, and each appears whole or not at all.
    std::vector<std::unique_ptr<QSaveFile>> out;
    for (const ExportFile& f : files) {
        auto file = std::make_unique<QSaveFile>(files::toNative(f.name));
        if (!file->open(QIODevice::WriteOnly)) {
            session.prompter().error(w("Не могу создать файл ") + f.name);
            return false;
        }
        out.push_back(std::move(file));
    }
    for (std::size_t f = 0; f < files.size(); ++f) {
        const std::string& bytes = files[f].bytes;
        if (out[f]->write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size()) ||
            !out[f]->commit()) {
            session.prompter().error(w("Не могу создать файл ") + files[f].name);
            return false;
        }
    }
    return true;
}

} // namespace fc::output
