#pragma once

#include <map>
#include <string>
#include <string_view>

namespace fc {

class Workbook;

// Writes a one-sheet designer workbook in the extended layout: the template text with the
// statements and the form rows' texts (the ext variant as tab-separated lines, the turbo
// variant as "printstr" statements), and the companion workbook with the form rows' formats,
// the column widths, print settings and default font.
class TurboWriter {
public:
    TurboWriter(const Workbook& book, bool turbo, std::string companionName, double stamp)
        : book_(book), turbo_(turbo), companionName_(std::move(companionName)), stamp_(stamp) {}

    // Placement records by row, from moving the drawn objects into the companion.
    void setPlacements(std::map<int, std::string> records) { records_ = std::move(records); }

    // The template text (code page 866, CR LF) and the companion's rows. False, with the
    // first such row in `badRow`, when the turbo variant meets a vertically merged cell.
    bool write(std::string& text, Workbook& companion, int* badRow = nullptr) const;

    // Days since 30 December 1899 with the fraction of the day, to about 11 digits.
    static double stampNow();
    static std::string formatStamp(double stamp);

    // The companion row number in front of a turbo form row's statement field (`statement`
    // trimmed, "*" for none).
    static std::string turboRowNumber(int n, std::string_view statement);

    // The longest line of the ext variant; longer form rows continue on the next line.
    static constexpr std::size_t kMaxLine = 254;

private:
    bool isFormRow(int row) const;
    std::string fields(int row) const;

    const Workbook& book_;
    bool turbo_;
    std::string companionName_;
    double stamp_;
    std::map<int, std::string> records_;
};

} // namespace fc
