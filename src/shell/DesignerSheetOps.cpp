#include "shell/DesignerSheetOps.h"

#include "components/model/Workbook.h"

namespace fc {

namespace {

void showTabs(Workbook& book) {
    ViewOptions v = book.view();
    v.showTabs = true;
    book.setView(v);
}

std::string_view trimmed(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

} // namespace

void addDesignerSheet(Workbook& book) {
    book.setNumSheets(book.numSheets() + 1);
    showTabs(book);
    book.setCurrentSheet(book.numSheets());
}

void insertDesignerSheet(Workbook& book) {
    int at = book.currentSheet();
    int before = book.numSheets();
    book.insertSheets(at, 1);
    showTabs(book);
    if (book.numSheets() > before) {
        book.setCurrentSheet(at);
    }
}

bool deleteDesignerSheet(Workbook& book) {
    if (book.numSheets() <= 1) {
        return false;
    }
    book.deleteSheets(book.currentSheet(), 1);
    return true;
}

void setDesignerScale(Workbook& book, int percent) {
    ViewOptions v = book.view();
    v.viewScale = percent;
    book.setView(v);
}

void setDesignerGrid(Workbook& book, bool on) {
    ViewOptions v = book.view();
    v.showGridLines = on;
    book.setView(v);
    for (int i = 1; i <= book.numSheets(); ++i) {
        book.sheet(i).print().gridLines = on;
    }
}

std::string turboCaption(std::string_view caption, bool down) {
    std::size_t at = caption.find("[ext]");
    if (down) {
        return at == std::string_view::npos ? std::string(caption) + " [ext]"
                                            : std::string(caption);
    }
    return std::string(trimmed(caption.substr(0, at)));
}

} // namespace fc
