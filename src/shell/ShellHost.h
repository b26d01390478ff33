#pragma once

#include "components/model/Types.h"

#include <string>
#include <string_view>

namespace fc {

class AppSettings;
class ChildRegistry;
class DesignerChild;
class PrototypeTable;
class ShellChild;

// What child windows use of the main window: the shared settings and fact prototypes, the
// status bar, the time labels, the menu items they switch, and the registry of window handles.
class ShellHost {
public:
    virtual ~ShellHost() = default;

    virtual AppSettings& settings() = 0;
    virtual PrototypeTable& prototypes() = 0;
    virtual ChildRegistry& children() = 0;

    // Runs the menu update (after a window changed its no-save or no-print flag).
    virtual void updateMenuItems() = 0;
    virtual void setCommandEnabled(std::string_view objectName, bool enabled) = 0;
    virtual void setCommandChecked(std::string_view objectName, bool checked) = 0;
    virtual bool commandChecked(std::string_view objectName) const = 0;

    // Status panels 1 (waiting and status texts) and 2 ("Рестаpт", "Обновить"), Windows-1251.
    virtual std::string statusText(int panel) const = 0;
    virtual void setStatusText(int panel, std::string_view text) = 0;
    // Panel 0: the progress area. `value` in pixels of progressWidth(); 0 clears it.
    virtual int progressWidth() const = 0;
    virtual void showProgress(int value, bool teal) = 0;
    // A notice drawn over the progress area ("Идёт пеpесчет данных ...").
    virtual void showProgressNotice(std::string_view text, Color color) = 0;

    // `Label1` (teal, the load time) and `Label2` (red) on the toolbar.
    virtual void setTimeLabels(std::string_view label1, std::string_view label2) = 0;
    virtual void setTimeLabelsEnabled(bool enabled) = 0;

    // The `Turbo` button: a new designer window starts with the switch as it stands.
    virtual bool turboDown() const = 0;
    // A designer's format switch changed by itself (a template was loaded): the main window's
    // buttons show it when that designer is the active window.
    virtual void designerFormatChanged(const DesignerChild& designer) {}

    // Opens a report window that sends `request` (Windows-1251): "G " + the template's name
    // from a designer's F8 (the template is found beside AppSettings::currentFileName), or
    // "G " + a template's path, which sets that. `designerHandle` (ChildRegistry) is the designer
    // that asked, so that an error answer with a line and position can select that row in it (0:
    // none).
    virtual void runReport(const std::string& request, long long designerHandle) {}
    // An error answer of a run from designer `designerHandle`: the designer, when it is still
    // open, selects template line `line` and puts the caret at `position`.
    virtual void showErrorInDesigner(long long designerHandle, int line, int position) {}

    // ";AUTOMSG=": the main window shows the message once the answer is read.
    virtual void showAutoMessage(const std::string& value) {}
    // ";SP=" in an exclusive run: the other running instances of the program close when one of
    // them is titled `title` (main caption + " - [" + report caption + "]").
    virtual void closeOtherInstances(const std::string& title) {}
    // The private key 135 + column of a report window: a double click on a column that
    // neither acts nor can be edited.
    virtual void columnKey(int code) {}
};

} // namespace fc
