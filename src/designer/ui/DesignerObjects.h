#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace fc {

class SheetView;
class Prompter;
class PictureDialog;
class ObjectFormatDialog;

// The drawn-object commands of a designer window, over its sheet view: the view's objects
// become editable, a selected object keeps the cell under its top-left corner selected, and
// the window calls the commands below. The object menu's other items only set the
// workbook's Mode; the view draws the object.
class DesignerObjects : public QObject {
    Q_OBJECT
public:
    DesignerObjects(SheetView& view, Prompter& prompter, QWidget* dialogParent = nullptr);

    // "Каpтинка": the picture dialog, then the picture at the selection.
    void insertPicture();
    // The same without the dialog; false (after the message) when the file holds no picture.
    bool insertPictureFile(const QString& path);
    // "Удалить" (Ctrl+D): everything in the selection, drawn objects included.
    int deleteSelection();
    // F5: the format dialog of the selected object, marking the workbook modified. False
    // when no object is selected (the cells' format dialog is the window's).
    bool formatObject();

    // How the dialogs run (tests answer them here); true when accepted.
    std::function<bool(PictureDialog&)> runPictureDialog;
    std::function<bool(ObjectFormatDialog&)> runFormatDialog;

private:
    SheetView& view_;
    Prompter& prompter_;
    QWidget* parent_;
};

} // namespace fc
