#include "designer/DesignerSheet.h"

#include "designer/TemplateText.h"

namespace fc::designer {

bool isStatementRow(const Sheet& s, int row) { return !tpl::isBlank(statementText(s, row)); }

std::string statementText(const Sheet& s, int row) {
    const Cell* c = s.cell(row, kStatementCol);
    if (!c || !c->hasContent()) {
        return {};
    }
    return c->kind == ValueKind::Text && !c->formula ? c->text : s.entry(row, kStatementCol);
}

double fixedHeight(const Sheet& s, int row) {
    const Cell* c = s.cell(row, kHeightCol);
    if (!c) {
        return 0;
    }
    double h = 0;
    if (c->kind == ValueKind::Number) {
        h = c->number;
    } else if (c->kind == ValueKind::Text) {
        h = tpl::parseNumber(c->text).value_or(0);
    }
    return h > 0 ? h : 0;
}

void setFixedHeight(Sheet& s, int row, double twips) {
    if (twips > 0) {
        s.setNumber(row, kHeightCol, twips);
    } else {
        s.setText(row, kHeightCol, {});
    }
}

void applyNewSheetDefaults(Sheet& s) {
    s.setColWidth(1, 600);
    s.setColWidth(2, 1000);
    s.setMaxCol(20);
    s.setMaxRow(10);
}

} // namespace fc::designer
