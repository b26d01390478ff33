#pragma once

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace fc {

class Sheet;

// "Паpаметpы стpаницы" of a sheet, for the designer and the report window alike: paper,
// orientation, margins, scale or fit to pages, colour, grid lines, centring, header and footer,
// the print area and the print titles.
class PageSetupDialog : public QDialog {
    Q_OBJECT
public:
    PageSetupDialog(const Sheet& sheet, QWidget* parent = nullptr);
    // Writes the settings into the sheet and marks its workbook modified.
    void apply(Sheet& sheet) const;

    QLineEdit* areaEdit() const { return area_; }
    QLineEdit* titlesEdit() const { return titles_; }
    QLineEdit* headerEdit() const { return header_; }
    QLineEdit* footerEdit() const { return footer_; }
    QCheckBox* landscapeBox() const { return landscape_; }
    QCheckBox* fitBox() const { return fit_; }
    QSpinBox* fitWideBox() const { return fitH_; }
    QSpinBox* fitTallBox() const { return fitV_; }
    QSpinBox* scaleBox() const { return scale_; }

private:
    QComboBox* paper_;
    QDoubleSpinBox* left_;
    QDoubleSpinBox* right_;
    QDoubleSpinBox* top_;
    QDoubleSpinBox* bottom_;
    QCheckBox* landscape_;
    QCheckBox* colour_;
    QCheckBox* grid_;
    QCheckBox* centre_;
    QSpinBox* scale_;
    QCheckBox* fit_;
    QSpinBox* fitH_;
    QSpinBox* fitV_;
    QLineEdit* header_;
    QLineEdit* footer_;
    QLineEdit* area_;
    QLineEdit* titles_;
};

// Runs the dialog on the sheet; true when the user changed it (OK). `run` shows the dialog
// (tests answer it); null runs it modally.
bool runPageSetup(Sheet& sheet, QWidget* parent,
                  const std::function<bool(PageSetupDialog&)>& run = nullptr);

} // namespace fc
