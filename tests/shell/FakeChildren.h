#pragma once

#include "components/model/Workbook.h"
#include "shell/DesignerChild.h"
#include "shell/ReportChild.h"

#include <string>
#include <vector>

namespace fc::test {

// Stand-in child windows that write what is done to them into a shared log.
using Log = std::vector<std::string>;

inline std::string keyName(int key, Qt::KeyboardModifiers mods) {
    std::string s;
    if (mods & Qt::ShiftModifier) {
        s += "Shift+";
    }
    if (mods & Qt::ControlModifier) {
        s += "Ctrl+";
    }
    return s + "F" + std::to_string(key - Qt::Key_F1 + 1);
}

class FakeDesigner : public DesignerChild {
public:
    FakeDesigner(Log& log, std::string name) : log_(log), name_(std::move(name)) {}

    std::string componentName() const override { return name_; }
    void activateChild() override { log_.push_back(name_ + " activate"); }
    void designerKey(int key, Qt::KeyboardModifiers mods) override {
        log_.push_back(name_ + " key " + keyName(key, mods));
        if (key == Qt::Key_F2 && saveSucceeds) {
            unsaved = false;
        }
    }
    void printPreview() override { log_.push_back(name_ + " preview"); }
    Workbook& workbook() override { return book; }
    void refreshSheetProperties() override { log_.push_back(name_ + " refresh"); }
    void focusSheet() override { log_.push_back(name_ + " focus"); }
    void insertPicture() override { log_.push_back(name_ + " picture"); }
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& c) override { caption_ = c; }
    FormatSwitch formatSwitch() const override { return {extended, turbo}; }
    void setFormatSwitch(FormatSwitch f) override {
        extended = f.extended;
        turbo = f.turbo;
    }
    bool hasUnsavedChanges() const override { return unsaved; }
    bool formulaEditorHasFocus() const override { return editorFocused; }
    void commitFormulaEditor() override {
        log_.push_back(name_ + " commit editor");
        editorFocused = false;
        if (editorHoldsEdit) {
            unsaved = true;
        }
    }

    Workbook book;
    bool unsaved = false;
    bool saveSucceeds = true;
    bool editorFocused = false;
    bool editorHoldsEdit = false;
    bool extended = false;
    bool turbo = false;

private:
    Log& log_;
    std::string name_;
    std::string caption_ = "Noname.rpt";
};

class FakeReport : public ReportChild {
public:
    FakeReport(Log& log, std::string name) : log_(log), name_(std::move(name)) {}

    std::string componentName() const override { return name_; }
    bool noSave() const override { return noSaveFlag; }
    bool noPrint() const override { return noPrintFlag; }
    void activateChild() override { log_.push_back(name_ + " activate"); }
    long long popupHandle() const override { return popup; }
    void reportKey(int code) override { log_.push_back(name_ + " key " + hex(code)); }
    void setOnlyMarkedRows(bool on) override {
        log_.push_back(name_ + (on ? " only marked on" : " only marked off"));
    }
    void clearRowMarks() override { log_.push_back(name_ + " clear marks"); }
    void sortRows(SortOrder o) override {
        const char* n[] = {"ascending", "descending", "default"};
        log_.push_back(name_ + " sort " + n[static_cast<int>(o)]);
    }
    void rerun() override { log_.push_back(name_ + " rerun"); }
    void restart() override { log_.push_back(name_ + " restart"); }
    void sendMail() override { log_.push_back(name_ + " mail"); }
    void pageSetup() override { log_.push_back(name_ + " page setup"); }
    void printPreview() override { log_.push_back(name_ + " preview"); }
    bool hasModifiedMark() const override { return marked; }
    void clearModifiedMark() override {
        marked = false;
        log_.push_back(name_ + " clear mark");
    }
    void startDataSave() override { log_.push_back(name_ + " save data"); }
    void showNormalWindow() override { log_.push_back(name_ + " show normal"); }

    long long popup = 0;
    bool marked = false;
    bool noSaveFlag = false;
    bool noPrintFlag = false;

private:
    static std::string hex(int code) {
        const char* d = "0123456789abcdef";
        return std::string("0x") + d[(code >> 4) & 15] + d[code & 15];
    }
    Log& log_;
    std::string name_;
};

} // namespace fc::test
