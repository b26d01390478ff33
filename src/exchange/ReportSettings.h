#pragma once

#include "designer/ObjectBlock.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace fc {

// What a report result sets in its window besides the sheet: the service instructions'
// effects, cleared at the start of each reading (ReportSettings::clear) and read by the
// window, the argument bar, the filter, totals, saving, printing and mail. Columns are
// 1-based sheet columns; texts are Windows-1251 unless a field says otherwise.
struct ReportSettings {
    static constexpr int kFiles = 10;

    // ---- set before reading by the window, kept by clear()
    std::string caption;     // window caption; ";SP=" puts the subtitle in front
    std::string fileCaption; // the caption the window has of its own (its template path)
    std::string positionKey; // column-2 text of the row to return to (re-run keeps it)
    int positionKeyCol = 0;  // the column the re-run was in
    bool openedFromDesigner = false;
    bool exclusive = false;     // the program was started with ";EXCL"
    std::string mainCaption;    // the main window's caption, for ";EXCL"
    std::string requestContext; // kept in the sheet's hidden column (row 3)
    bool filterActive = false;  // the in-form filter has a text or a chosen value

    // ---- window flags
    bool noSave = false, noPrint = false;
    bool autoAlways = false, autoSave = false, allowPaste = false, noCalendar = false;
    bool doNotBold = false, indexRerun = false, noArgs = false;
    bool cursor = false;  // ";KURSOR": arrow pointer, cursor row kept
    int savedPointer = 0; // mouse pointer to restore after waits
    bool restartClose = false, parentRerun = false, modalResult = false;
    std::array<bool, 5> displayParts{}; // ";DP1" to ";DP5"
    int headerRows = 0;                 // ";FZAG="
    std::optional<int> popupAllowance;  // ";ALLOWPOP=": the column for server menu items
    std::vector<std::string> popupItems;
    // ";POPUP=" ... "[" NAME "]": the report whose answer fills the pop-up menu each time it
    // opens (its items follow the window's own); empty: none is asked for.
    std::string popupReport;
    std::string subtitle;    // ";SP="
    std::string autoMessage; // ";AUTOMSG=" (the main window shows it)

    // ---- automatic re-run
    bool autoRerun = false; // the refresh timer is enabled after loading
    int autoRerunMs = 5000;
    std::string autoRerunText;

    // ---- saving, printing, mail
    std::string saveInstruction; // ";SAVE=" / ";SAVEBTN=", code page as sent
    std::vector<std::optional<int>> saveColumns;
    bool saveButton = false; // ";SAVE=" shows the save button, ";SAVEBTN=" does not
    std::string email;
    std::string printId; // ";PRNNUMBER="
    std::string pdfPrinter;
    struct SaveFile {
        std::string name;
        std::optional<int> column;
    };
    std::vector<SaveFile> saveFiles; // ";FSAVE[", at most kFiles

    // ---- columns
    std::vector<int> totalsColumns; // ";TOT="
    bool totals = false;
    std::vector<int> editColumns; // ";EDIT=" / ";EDIT"
    bool editable = false;
    bool editAll = false;           // ";EDIT" alone: every column
    std::array<int, 3> sortKeys{};  // ";SORT1=".."SORT3=": column, negative descending, 0 none
    std::vector<int> hiddenColumns; // ";COLH["
    std::vector<std::pair<int, int>> autoWidth;             // ";AUTOW[": first and last column
    std::vector<std::pair<int, std::string>> columnFormats; // ";FORMAT["
    std::optional<std::pair<int, int>> rowPattern;          // ";SETPAT="

    // ---- cursor position after loading (";POS=")
    bool positionSet = false;
    int positionRow = 0; // the row given, or the row found by the key
    std::string positionKeyWanted;
    int positionCol = 0;
    int cursorRow = 0; // the row whose column 2 equals the window's position key

    // ---- arguments and filter
    std::string argumentFile; // written by ";ARGS=" (path as used)
    bool argumentTree = false;
    int treeWidth = 0, treeColumn = 0;
    struct FilterList {
        std::string caption;
        std::string column;
        std::vector<std::string> values;
    };
    std::optional<FilterList> filterList; // ";FILTR" ... ";FEND"

    // ---- messages and state for the answer reader
    std::string statusMessage; // shown in maroon after loading
    bool recalcNotice = false; // "Идёт пеpесчет данных ..." in teal
    bool closeWindow = false;  // an "E-" line in row 1
    std::string windowCache;   // ";CACHE="
    bool hasObjects = false;
    std::vector<ObjectBlock> objectBlocks; // the drawn objects of sheet i + 1 (empty: none)
    struct ListBoxFill {
        std::string name;
        std::vector<std::string> items;
    };
    std::vector<ListBoxFill> listBoxes;
    std::vector<std::string> picturesWritten;
    std::vector<std::string> programsStarted;
    std::string index;             // ";INDEX=" (kept, not acted on)
    bool outdatedTemplate = false; // the user agreed to download a newer template
    bool runFilter = false;        // the filter is to be applied (it recomputes the totals)

    // Back to the state before any answer; the window's own fields above stay.
    void clear();
};

} // namespace fc
