#pragma once

#include "components/model/Style.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QColor;
class QComboBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace fc {

class Sheet;
class SheetView;
class Workbook;

// The format dialog for the selected cells: font, alignment, wrap, borders, pattern, number
// format and merge, on one page each, started from the active cell.
class CellFormatDialog : public QDialog {
    Q_OBJECT
public:
    CellFormatDialog(const Sheet& sheet, QWidget* parent = nullptr);

    // The chosen format, for every cell of the selection. False when the number format
    // cannot show a number (the selection keeps its format).
    bool apply(Sheet& sheet) const;

    Style style() const;
    bool merged() const;
    void setNumberFormat(const QString& format);

    // Which colour a colour button asks for; each button opens it with its field's colour.
    enum class Colour { Font, Pattern, Background };
    QPushButton* colourButton(Colour which) const;
    // The colour chooser the buttons open (a colour dialog); nullopt: cancelled.
    std::function<std::optional<QColor>(const QColor& start)> chooseColour;

private:
    QLineEdit* colourField(Colour which) const;
    void pickColour(Colour which);

    QFontComboBox* family_;
    QDoubleSpinBox* size_;
    QCheckBox* bold_;
    QCheckBox* italic_;
    QCheckBox* underline_;
    QCheckBox* strikeout_;
    QComboBox* halign_;
    QComboBox* valign_;
    QCheckBox* wrap_;
    QCheckBox* merge_;
    QSpinBox* borders_[4];
    QSpinBox* pattern_;
    QLineEdit* fontColour_;
    QLineEdit* fg_;
    QLineEdit* bg_;
    QPushButton* colourButtons_[3];
    QLineEdit* number_;
    Style start_;
};

// The workbook designer: the sheet's name, extent and headings, the default font, the grid.
class WorkbookDesignerDialog : public QDialog {
    Q_OBJECT
public:
    WorkbookDesignerDialog(const Workbook& book, QWidget* parent = nullptr);
    void apply(Workbook& book) const;

    QLineEdit* nameEdit() const { return name_; }

private:
    QLineEdit* name_;
    QSpinBox* maxCol_;
    QSpinBox* maxRow_;
    QFontComboBox* font_;
    QDoubleSpinBox* fontSize_;
    QCheckBox* grid_;
    QCheckBox* rowHeads_;
    QCheckBox* colHeads_;
};

} // namespace fc
