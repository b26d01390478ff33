#include "components/ui/PageSetupDialog.h"

#include "components/model/Workbook.h"
#include "components/platform/ui/DialogButtons.h"
#include "components/text/Cp1251.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace fc {

namespace {

QString q(std::string_view cp1251) { return cp1251::toQString(cp1251); }

// The papers offered, by their Windows codes; a sheet with another code keeps it.
const std::pair<int, const char*> kPapers[] = {
    {9, "A4"}, {8, "A3"}, {11, "A5"}, {13, "B5"}, {1, "Letter"}, {5, "Legal"},
};

} // namespace

PageSetupDialog::PageSetupDialog(const Sheet& sheet, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PageSetup"));
    setWindowTitle(q(w("Паpаметpы стpаницы")));
    const PrintSettings& p = sheet.print();
    paper_ = new QComboBox;
    paper_->setObjectName(QStringLiteral("Paper"));
    for (const auto& [code, name] : kPapers) {
        paper_->addItem(QString::fromLatin1(name), code);
    }
    if (paper_->findData(p.paperSize) < 0) {
        paper_->addItem(QString::number(p.paperSize), p.paperSize);
    }
    paper_->setCurrentIndex(paper_->findData(p.paperSize));
    auto margin = [](double v) {
        auto* b = new QDoubleSpinBox;
        b->setRange(0, 10);
        b->setDecimals(2);
        b->setSingleStep(0.1);
        b->setValue(v);
        return b;
    };
    left_ = margin(p.leftMargin);
    right_ = margin(p.rightMargin);
    top_ = margin(p.topMargin);
    bottom_ = margin(p.bottomMargin);
    landscape_ = new QCheckBox(QStringLiteral("Альбомная"));
    landscape_->setChecked(p.landscape);
    colour_ = new QCheckBox(QStringLiteral("Цветная печать"));
    colour_->setChecked(!p.noColor);
    grid_ = new QCheckBox(QStringLiteral("Печатать сетку"));
    grid_->setChecked(p.gridLines);
    centre_ = new QCheckBox(QStringLiteral("Центрировать по горизонтали"));
    centre_->setChecked(p.hCenter);
    scale_ = new QSpinBox;
    scale_->setRange(10, 400);
    scale_->setSuffix(QStringLiteral(" %"));
    scale_->setValue(p.scale);
    fit_ = new QCheckBox(QStringLiteral("Разместить не более чем на"));
    fit_->setChecked(p.fitToPage);
    fitH_ = new QSpinBox;
    fitH_->setRange(0, 1000);
    fitH_->setValue(p.fitHPages);
    fitV_ = new QSpinBox;
    fitV_->setRange(0, 1000); // ";FTP" reads back as 1000 pages high
    fitV_->setValue(p.fitVPages);
    header_ = new QLineEdit(q(p.header));
    header_->setObjectName(QStringLiteral("PrintHeader"));
    footer_ = new QLineEdit(q(p.footer));
    footer_->setObjectName(QStringLiteral("PrintFooter"));
    area_ = new QLineEdit(q(p.area));
    area_->setObjectName(QStringLiteral("PrintArea"));
    area_->setPlaceholderText(QStringLiteral("$A$1:$H$40"));
    titles_ = new QLineEdit(q(p.titles));
    titles_->setObjectName(QStringLiteral("PrintTitles"));
    titles_->setPlaceholderText(QStringLiteral("$1:$3"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Бумага:"), paper_);
    form->addRow(landscape_);
    form->addRow(QStringLiteral("Левое поле (дюймы):"), left_);
    form->addRow(QStringLiteral("Правое поле:"), right_);
    form->addRow(QStringLiteral("Верхнее поле:"), top_);
    form->addRow(QStringLiteral("Нижнее поле:"), bottom_);
    form->addRow(QStringLiteral("Масштаб:"), scale_);
    form->addRow(fit_);
    form->addRow(QStringLiteral("Страниц в ширину:"), fitH_);
    form->addRow(QStringLiteral("Страниц в высоту:"), fitV_);
    form->addRow(colour_);
    form->addRow(grid_);
    form->addRow(centre_);
    form->addRow(QStringLiteral("Верхний колонтитул:"), header_);
    form->addRow(QStringLiteral("Нижний колонтитул:"), footer_);
    form->addRow(QStringLiteral("Область печати:"), area_);
    form->addRow(QStringLiteral("Печатать на каждой странице:"), titles_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this));
}

void PageSetupDialog::apply(Sheet& sheet) const {
    PrintSettings& p = sheet.print();
    p.paperSize = paper_->currentData().toInt();
    p.leftMargin = left_->value();
    p.rightMargin = right_->value();
    p.topMargin = top_->value();
    p.bottomMargin = bottom_->value();
    p.landscape = landscape_->isChecked();
    p.noColor = !colour_->isChecked();
    p.gridLines = grid_->isChecked();
    p.hCenter = centre_->isChecked();
    p.scale = scale_->value();
    p.fitToPage = fit_->isChecked();
    p.fitHPages = fitH_->value();
    p.fitVPages = fitV_->value();
    p.header = cp1251::fromQString(header_->text());
    p.footer = cp1251::fromQString(footer_->text());
    p.area = cp1251::fromQString(area_->text().trimmed());
    p.titles = cp1251::fromQString(titles_->text().trimmed());
    sheet.workbook().setModified(true);
}

bool runPageSetup(Sheet& sheet, QWidget* parent, const std::function<bool(PageSetupDialog&)>& run) {
    PageSetupDialog dialog(sheet, parent);
    const bool ok = run ? run(dialog) : dialog.exec() == QDialog::Accepted;
    if (!ok) {
        return false;
    }
    dialog.apply(sheet);
    return true;
}

} // namespace fc
