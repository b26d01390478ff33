#pragma once

#include "components/model/Workbook.h"
#include "shell/DesignerChild.h"

#include <QWidget>

namespace fc {

class ShellHost;

// The sheet widget a designer window shows its workbook in.
QWidget* createSheetView(Workbook& book, QWidget* parent);

// A designer window that shows a workbook and takes the shell's sheet commands, until the
// designer proper replaces it through the main window's designer factory. Its caption is the
// current file name; it keeps no edits of its own, so it never has unsaved changes.
class BasicDesignerWindow : public QWidget, public DesignerChild {
    Q_OBJECT
public:
    BasicDesignerWindow(ShellHost& host, QWidget* parent = nullptr);
    ~BasicDesignerWindow() override;

    Workbook& workbook() override { return book_; }
    std::string componentName() const override;
    void activateChild() override;
    void designerKey(int key, Qt::KeyboardModifiers modifiers) override;
    void refreshSheetProperties() override;
    void focusSheet() override;
    void insertPicture() override {}
    std::string caption() const override;
    void setCaption(const std::string& caption) override;
    void setTurbo(bool on) override { turbo_ = on; }
    bool hasUnsavedChanges() const override { return false; }
    bool formulaEditorHasFocus() const override { return false; }
    void commitFormulaEditor() override {}

private:
    Workbook book_;
    QWidget* view_;
    bool turbo_ = false;
};

} // namespace fc
