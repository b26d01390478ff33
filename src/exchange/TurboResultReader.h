#pragma once

#include "components/model/Workbook.h"
#include "exchange/ReadState.h"
#include "exchange/ServiceInstructions.h"

#include <string>
#include <string_view>
#include <vector>

namespace fc {

struct ResultContext;

// `read_table_ex`: a report result in the turbo format. The answer carries the data rows;
// the form (formats, formulas, widths, print settings) comes from the template's companion
// workbook, whose rows are copied under the data. Line by line for the ext variant, in one
// byte pass and one paste for the turbo variant (";turbo").
class TurboResultReader {
public:
    explicit TurboResultReader(ResultContext& ctx);
    ~TurboResultReader();
    // `templatePath`: the companion workbook (".vts") of the template the answer names.
    void read(const std::string& templatePath);

private:
    struct TemplateRow;

    bool loadTemplate(const std::string& path);
    bool versionIsCurrent();
    void prepare();
    void readLines();
    void dataRow(std::string line);
    void totalsRow(int row);
    void turboPass();
    bool turboInstructions();
    void lastRowChecks();
    void keepToLastRow();
    std::string rowText(int row) const;
    void finish();
    void copyTemplateRow(int templateRow, int first, int last);
    const TemplateRow& templateRow(int n);
    void showError(const std::string& text);

    ResultContext& ctx_;
    ReadState st_;
    ServiceInstructions instructions_;
    Workbook template_;
    double answerVersion_ = 0;
    bool stringFlag_ = false;
    bool turboVariant_ = false;
    int totalsFrom_ = 0; // first row of the current totals group
    std::vector<TemplateRow> rows_;
};

void read_table_ex(ResultContext& ctx, const std::string& templatePath);

} // namespace fc
