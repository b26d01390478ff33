#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace fc {

class Workbook;
class Sheet;

// Writes a designer workbook as a template of the table format (or, for a single sheet of
// statements only, as a text form), in code page 866 with CR LF line ends.
class TableFormatWriter {
public:
    // Receives a sheet's row lines before they are appended after its font lines and gives
    // back what is to be appended (the save passes them through its staging file).
    using RowStage = std::function<std::string(std::string rows)>;

    explicit TableFormatWriter(const Workbook& book) : book_(book) {}

    // The digit lines of sheet `sheet`'s object image (1-based), written as its ";NOBJECTS[" block.
    void setObjectBlock(int sheet, std::string digitLines) {
        images_[sheet] = std::move(digitLines);
    }
    // An object block that could not be read, written back as its lines stand (in place of
    // an object image of the sheet).
    void setKeptObjectBlock(int sheet, std::string blockLines) {
        kept_[sheet] = std::move(blockLines);
    }
    // Placement records replacing the object column of a sheet's rows (without them the
    // records still waiting in the column, "OBJ=..." as read, are written as they are).
    void setPlacements(int sheet, std::map<int, std::string> recordsByRow) {
        placements_[sheet] = std::move(recordsByRow);
    }
    void setRowStage(RowStage stage) { stage_ = std::move(stage); }

    std::string write() const;

    // Whether the workbook is written as a text form: one sheet whose form cells say nothing,
    // without fixed heights, objects or statement fonts, and whose statements all read back
    // from a text form as they are.
    bool writesPlain() const;

private:
    std::string sheetLines(int index, int firstRow) const;
    std::string plainLines(int firstRow) const;

    const Workbook& book_;
    std::map<int, std::string> images_;
    std::map<int, std::string> kept_;
    std::map<int, std::map<int, std::string>> placements_;
    RowStage stage_;
};

} // namespace fc
