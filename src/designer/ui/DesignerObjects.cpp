#include "designer/ui/DesignerObjects.h"

#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/ui/SheetView.h"
#include "designer/ObjectCommands.h"
#include "designer/TemplateMessages.h"
#include "designer/ui/ObjectFormatDialog.h"
#include "designer/ui/PictureDialog.h"

namespace fc {

DesignerObjects::DesignerObjects(SheetView& view, Prompter& prompter, QWidget* dialogParent)
    : QObject(&view), view_(view), prompter_(prompter), parent_(dialogParent) {
    runPictureDialog = [](PictureDialog& d) { return d.exec() == QDialog::Accepted; };
    runFormatDialog = [](ObjectFormatDialog& d) { return d.exec() == QDialog::Accepted; };
    view.setObjectsEditable(true);
    connect(&view, &SheetView::selChange, this,
            [this] { ObjectCommands::keepCellUnderObject(view_.sheet()); });
}

void DesignerObjects::insertPicture() {
    PictureDialog dialog(parent_ ? parent_ : &view_);
    if (!runPictureDialog(dialog) || dialog.bytes().empty()) {
        return;
    }
    const QSize size = dialog.pictureSize();
    ObjectCommands::insertPicture(view_.sheet(), dialog.bytes(), size.width(), size.height(),
                                  view_.measurer());
    view_.setFocus();
}

bool DesignerObjects::insertPictureFile(const QString& path) {
    std::string bytes;
    QSize size;
    if (!PictureDialog::readPicture(path, bytes, size)) {
        prompter_.error(templatemsg::cannotOpen());
        return false;
    }
    return ObjectCommands::insertPicture(view_.sheet(), std::move(bytes), size.width(),
                                         size.height(), view_.measurer()) != 0;
}

int DesignerObjects::deleteSelection() {
    if (!view_.workbook().allow().allowDelete) {
        return 0;
    }
    return ObjectCommands::deleteSelection(view_.sheet());
}

bool DesignerObjects::formatObject() {
    Sheet& s = view_.sheet();
    const std::vector<int> ids = s.selectedObjects();
    if (ids.empty()) {
        return false;
    }
    view_.workbook().setModified(true);
    const int id = ids.front();
    ObjectFormatDialog dialog(*s.object(id), parent_ ? parent_ : &view_);
    if (!runFormatDialog(dialog)) {
        return true;
    }
    const DrawnObject edited = dialog.result();
    DrawnObject* o = s.object(id);
    if (!o) {
        return true; // gone while the dialog was open
    }
    o->lineColor = edited.lineColor;
    o->fillColor = edited.fillColor;
    o->linkedCell = edited.linkedCell;
    o->inputRange = edited.inputRange;
    o->items = edited.items;
    o->chartType = edited.chartType;
    s.setObjectText(id, edited.text); // also repaints
    return true;
}

} // namespace fc
