#include "shell/MenuUpdate.h"

#include "components/model/Workbook.h"

namespace fc {

namespace {

const std::vector<std::string_view> kSave = {"FileSaveItem", "SpeedButton2"};
const std::vector<std::string_view> kPrint = {"N3", "SpeedButton3", "pPreview"};
const std::vector<std::string_view> kDesigner = {
    "CutItem",      "CopyItem", "PasteItem", "p6",           "p12",     "p13",   "Edit1", "N11",
    "SpeedButton6", "N7",       "p2_",       "SpeedButton5", "MaxCol1", "p11",   "p7",    "N8",
    "N4",           "Undo1",    "ReDo1",     "extd",         "N5",      "RxB11", "RxB13"};
const std::vector<std::string_view> kReport = {"SendMail", "pp2", "N9", "p1", "p2", "StatusBar1"};
const std::vector<std::string_view> kChildren = {
    "p3",   "WindowCascadeItem", "WindowTileItem", "WindowArrangeItem", "WindowMinimizeItem",
    "ppp1", "Options1"};
const std::vector<std::string_view> kNever = {"p1_", "SpeedButton4", "RxB12"};

void put(std::vector<CommandEnabled>& out, const std::vector<std::string_view>& names,
         bool enabled) {
    for (std::string_view n : names) {
        out.push_back({n, enabled});
    }
}

} // namespace

std::vector<CommandEnabled> updateMenuItems(const MenuContext& c) {
    bool children = c.childCount > 0;
    bool designer = children && c.active == ChildKind::Designer;
    bool report = children && c.active == ChildKind::Report;
    std::vector<CommandEnabled> out;
    put(out, kSave, children && !c.noSave);
    put(out, kPrint, children && !c.noPrint);
    put(out, kDesigner, designer);
    put(out, kReport, report);
    // The PDF export prints through a PDF printer, so ";NON_PRINT" forbids it as well.
    out.push_back({"pPdf", report && !c.noPrint});
    put(out, kChildren, children);
    // "Отчетный пеpиод": locked while the active report window's answer said ";NO_CALENDAR".
    out.push_back({"p4", children && !(report && c.noCalendar)});
    put(out, kNever, false);
    out.push_back({"Turbo", c.extdDown});
    return out;
}

const std::vector<std::string_view>& hiddenMenuItems() {
    static const std::vector<std::string_view> names = {"pExcel1", "N16"};
    return names;
}

EditMenuNarrowing narrowEditMenu(const Workbook& book) {
    CellRange first = book.sheet().selectionRange(0).normalized();
    return {first.wholeCols() || first.wholeRows(), book.numSheets() > 1};
}

} // namespace fc
