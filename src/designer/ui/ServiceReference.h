#pragma once

#include "components/model/Workbook.h"

#include <QDialog>

#include <functional>
#include <vector>

namespace fc {

class SheetView;

namespace servicereference {

struct Entry {
    const char* form;        // the instruction as it is typed (UTF-8)
    const char* description; // UTF-8
};
// Every service instruction and tag of the template language, in the reference's order.
const std::vector<Entry>& entries();
// The three definitions the reference opens with (UTF-8).
const std::vector<const char*>& definitions();

} // namespace servicereference

// "Спpавочник служебных инструкций": a read-only sheet of the instructions. Rows 1 to 3 are
// the definitions; the instructions follow. The selected row's instruction shows in red;
// Enter or a double click on an instruction hands it to the insert target and closes.
class ServiceReferenceDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kFirstEntryRow = 4;

    explicit ServiceReferenceDialog(QWidget* parent = nullptr);
    ~ServiceReferenceDialog() override;

    void setInsertTarget(std::function<void(const QString&)> target) {
        target_ = std::move(target);
    }
    SheetView* view() const { return view_; }
    Workbook& workbook() { return book_; }
    // Enter or a double click on row `row`.
    void choose(int row);

private:
    void markSelected();

    Workbook book_;
    SheetView* view_ = nullptr;
    int marked_ = 0;
    std::function<void(const QString&)> target_;
};

} // namespace fc
