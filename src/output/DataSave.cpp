#include "output/DataSave.h"

#include "components/model/Sheet.h"
#include "components/text/CodePage.h"
#include "components/text/TextOps.h"
#include "exchange/AnswerReader.h"
#include "exchange/ReportRun.h"
#include "exchange/ReportSettings.h"
#include "exchange/RequestName.h"
#include "exchange/Requests.h"
#include "results/ActionHost.h"
#include "results/CellActions.h"
#include "results/ResultEdits.h"
#include "results/ResultLayout.h"
#include "results/ResultSession.h"
#include "shell/AppSettings.h"

#include <algorithm>

namespace fc::output {

std::string dataSaveLines(const Sheet& sheet, const ReportSettings& settings,
                          std::string_view requestPrefix) {
    const std::string head =
        std::string(requestPrefix) + "R " + settings.saveInstruction + " " + request::kSep;
    std::string lines;
    const int last = std::min(sheet.maxRow(), kMaxRows);
    for (int r = std::max(sheet.fixedRows() + 1, 1); r <= last; ++r) {
        if (sheet.text(r, result::kMarkCol) != "X" &&
            sheet.text(r, 1).find("{77}") == std::string::npos) {
            continue;
        }
        if (!lines.empty()) {
            lines += '\n';
        }
        lines += head;
        for (const std::optional<int>& col : settings.saveColumns) {
            if (col && validCol(*col)) {
                lines += text::trimRight(codepage::toDos(sheet.text(r, *col)));
            }
            lines += request::kSep;
        }
    }
    return lines;
}

DataSaveResult saveData(ResultSession& session, ActionHost& host, const SaveFollowUp& follow) {
    if (!host.stopEditing()) {
        return DataSaveResult::Refused;
    }
    ReportRun* run = session.run();
    if (!run) {
        return DataSaveResult::Refused;
    }
    const std::string name = "save" + RandomFileName().substr(4, 4);
    Sheet& sheet = session.sheet();
    // A window without a save target has nowhere to send rows to.
    const std::string lines =
        edit::holdsEditableData(session)
            ? dataSaveLines(sheet, session.settings(), run->appSettings().requestPrefix())
            : std::string();
    edit::setSheetModified(sheet, false);

    // What follows is the answer reader's once the server has answered; a save that sends
    // nothing leaves nothing for it to do.
    if (SharedRunState* shared = session.actions().shared) {
        shared->pendingForm = lines.empty() ? std::string() : follow.form;
        shared->pendingProgram = lines.empty() ? std::string() : follow.program;
        shared->editChild = !lines.empty() && follow.editChild;
        shared->columnMap = lines.empty() ? std::string() : follow.columnMap;
    }
    if (!lines.empty()) {
        run->setRequestName(name);
        run->WriteZapros1(lines);
        return DataSaveResult::Sent;
    }

    if (!follow.form.empty()) {
        host.openForm(follow.form);
    } else if (!follow.program.empty() || follow.editChild) {
        if (!follow.program.empty()) {
            host.startProgram(follow.program);
        }
        if (follow.editChild) {
            copyToParent(session, host, sheet.activeCell(), follow.columnMap);
            host.closeWindow();
        }
    } else {
        run->newNameBase();
        run->setRequestName(run->nameBase());
    }
    return DataSaveResult::NothingToSend;
}

} // namespace fc::output
