#pragma once

#include "designer/SheetReadContext.h"
#include "designer/TemplateLayout.h"

#include <QString>

#include <map>
#include <string>

namespace fc {

class Workbook;
class Prompter;

// The layouts a template is saved in.
enum class TemplateFormat { Table, Ext, Turbo };

// Object blocks that could not be read, by the name of their sheet: each block's lines as the
// file had them (";NOBJECTS[" to ";]OBJECTS"). Saving writes such a block back unchanged for a
// sheet that still has the placement records it was read with and no objects of its own.
using KeptObjectBlocks = std::map<std::string, std::string>;

struct TemplateLoadResult {
    bool opened = false; // false: the file could not be read and the workbook is unchanged
    TemplateLayout layout = TemplateLayout::Table;
    TemplateReadReport report;
    bool companionMissing = false; // extended layout: loading stopped at the layout line
    bool companionDamaged = false;
    KeptObjectBlocks keptBlocks;

    // Everything in the file was read.
    bool whole() const {
        return opened && report.unreadableLines == 0 && report.unreadableObjectBlocks == 0 &&
               !report.truncated && !companionMissing && !companionDamaged;
    }
};

// Loading and saving template files with the program's messages. Loading fills a fresh
// workbook and swaps it into `book`, so that listeners stay attached; a file that cannot be
// opened leaves `book` as it was. Saving writes "<name>.tmp" (with the row lines staged in
// the name's "tmp" file) and replaces the template only when everything was written.
class TemplateFile {
public:
    // "Noname.rpt" stands for a new template and is never read.
    static bool isNewTemplateName(const QString& path);
    // False when a save to the path cannot succeed: its directory is missing, or the file is
    // there and marked read-only (the save replaces files by renaming, which would otherwise
    // go past the mark).
    static bool canReplace(const QString& path);
    // An empty template: default font "Fixedsys" 10, the active cell at row 1, column 1.
    static void newTemplate(Workbook& book);

    static TemplateLoadResult load(const QString& path, Workbook& book, Prompter& prompter,
                                   const TemplateReadOptions& options = {});
    // False when nothing was saved (the message has been shown). `kept` gives back the object
    // blocks a load could not read (table format).
    static bool save(const QString& path, Workbook& book, TemplateFormat format, Prompter& prompter,
                     const KeptObjectBlocks* kept = nullptr);

    // The staging file of a save: the template name with "tmp" for its extension.
    static QString stagingPath(const QString& path);
    // The companion workbook of the extended layout: the name with "vts" for its extension.
    static QString companionPath(const QString& path);

private:
    static bool saveExtended(const QString& path, Workbook& book, bool turbo, Prompter& prompter);
    static void showMisplacedObject(Workbook& book, int sheet, int id, Prompter& prompter);
};

} // namespace fc
