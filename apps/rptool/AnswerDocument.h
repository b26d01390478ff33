#pragma once

#include "exchange/AnswerFormat.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fc {
class Workbook;
struct ReportSettings;
} // namespace fc

namespace rptool {

// What reading one answer produced, printed as the JSON document of read-answer and run.
struct AnswerDocument {
    std::string answer; // the answer file as named on the command line or in the exchange
    std::string status; // the status line as sent
    std::optional<std::string> format;       // "table", "ext", "turbo" when a result was read
    std::optional<std::string> templatePath; // the companion of an ext or turbo result
    const fc::ReportSettings* window = nullptr;
    std::optional<fc::answers::Question> question;
    std::vector<std::pair<std::string, std::string>> messages; // caption and text shown
    const fc::Workbook* workbook = nullptr;                    // dumped when given
    // What the result commands left, when a result was read: status panel 1 as the window
    // shows it, the number of marked records, the quick sum's panel (none: hidden).
    bool resultState = false;
    std::string statusText;
    int markedRecords = 0;
    std::optional<double> quickSum;
};

std::string answerDocument(const AnswerDocument& doc);

} // namespace rptool
