#pragma once

#include <string>

namespace fc {

class Workbook;

// What follows a data save once the server has taken it (or at once when there was nothing
// to send): a report to open, a program to start, or, for a window opened to edit one row of
// the window that opened it, copying values back into that row and closing.
struct SaveFollowUp {
    std::string form;    // "NAME args [;size=...]", opened as run_form opens it
    std::string program; // a command line, its "%N" already replaced
    bool editChild = false;
    std::string columnMap; // "p:q;p:q": source column here, target column in the parent
};

// What the result commands need from the window they act in (the report window, or rptool's
// stand-in for it). Rows and columns are 1-based.
class ActionHost {
public:
    virtual ~ActionHost() = default;

    // Commits the overlay editor and ends the sheet's in-cell edit; false when the edit could
    // not be ended.
    virtual bool stopEditing() = 0;
    // Opens the sheet's in-cell editor on the cell, or the overlay editor over it.
    virtual void editInCell(int row, int col) = 0;
    virtual void editOverlay(int row, int col) = 0;
    // A double click on a column that neither acts nor edits: the private key 135 + column
    // for the main window.
    virtual void columnKey(int code) = 0;
    // ";fsave": the answer's export files; false when one could not be written.
    virtual bool writeExportFiles() = 0;
    // "Сохpанить данные", then `follow`.
    virtual void saveAndFollow(const SaveFollowUp& follow) = 0;
    // Opens another report from this window (run_form), this window being its parent.
    virtual void openForm(const std::string& command) = 0;
    // Writes the handle file "fh" and starts the program; false when it could not start (the
    // user has been told).
    virtual bool startProgram(const std::string& commandLine) = 0;
    // The window that opened this one: its workbook (nullptr when there is none, or it is
    // gone) and whether it holds data that can be saved.
    virtual Workbook* parentBook() = 0;
    virtual bool parentSaves() const = 0;
    // Closes this window once the current event is over.
    virtual void closeWindow() = 0;
};

} // namespace fc
