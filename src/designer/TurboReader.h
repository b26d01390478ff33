#pragma once

#include "designer/SheetReadContext.h"

#include <functional>
#include <string>
#include <string_view>

namespace fc {

class Workbook;

// Reads a template of the extended layout (ext or turbo variant) together with its companion
// workbook, which gives the form rows their formats and the sheet its column widths, print
// settings, default font and drawn objects.
class TurboReader {
public:
    // Reads the companion named in the layout line into the workbook: 1 when read, 0 when
    // there is no such file, -1 when it cannot be read.
    using CompanionLoader = std::function<int(const std::string& name, Workbook& companion)>;

    struct Result {
        TemplateReadReport report;
        bool turbo = false;
        std::string companion;         // the name in the layout line
        bool companionMissing = false; // loading stopped there
        bool companionDamaged = false;
        int objectsPlaced = 0;
    };

    explicit TurboReader(TemplateReadOptions options = {}) : options_(options) {}

    // Fills `book` (reset first); what came before a missing companion is kept.
    Result read(std::string_view bytes, const CompanionLoader& loadCompanion, Workbook& book) const;

    // The companion's name in a layout line: after ";ext=" up to " ;".
    static std::string companionName(std::string_view layoutLine);

private:
    TemplateReadOptions options_;
};

} // namespace fc
