#include "designer/ui/WorkbookDialogs.h"

#include "components/model/NumberFormat.h"
#include "components/model/Workbook.h"
#include "components/platform/ui/DialogButtons.h"
#include "components/text/Cp1251.h"
#include "designer/DesignerMessages.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace fc {

namespace {

QString colourText(Color c) {
    return c == kAutoColor ? QString()
                           : QStringLiteral("%1").arg(c, 6, 16, QLatin1Char('0')).toUpper();
}

Color colourOf(const QString& text) {
    bool ok = false;
    const uint v = text.trimmed().toUInt(&ok, 16);
    return ok && v <= 0xFFFFFFu ? static_cast<Color>(v) : kAutoColor;
}

// The swatch of a colour button; an empty or unreadable field is the automatic colour.
void paintSwatch(QPushButton* b, const QString& text) {
    const Color c = colourOf(text);
    b->setStyleSheet(c == kAutoColor
                         ? QString()
                         : QStringLiteral("background-color: #%1").arg(c, 6, 16, QLatin1Char('0')));
}

} // namespace

CellFormatDialog::CellFormatDialog(const Sheet& sheet, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CellFormat"));
    setWindowTitle(cp1251::toQString(designermsg::formatItem()));
    const CellRef a = sheet.activeCell();
    start_ = sheet.style(a.row, a.col);
    auto* tabs = new QTabWidget(this);

    auto* fontPage = new QWidget;
    auto* ff = new QFormLayout(fontPage);
    family_ = new QFontComboBox;
    family_->setEditable(true);
    family_->setCurrentText(cp1251::toQString(start_.font.name));
    size_ = new QDoubleSpinBox;
    size_->setRange(1, 409);
    size_->setValue(start_.font.size);
    bold_ = new QCheckBox(QStringLiteral("Жирный"));
    italic_ = new QCheckBox(QStringLiteral("Курсив"));
    underline_ = new QCheckBox(QStringLiteral("Подчёркнутый"));
    strikeout_ = new QCheckBox(QStringLiteral("Зачёркнутый"));
    bold_->setChecked(start_.font.bold);
    italic_->setChecked(start_.font.italic);
    underline_->setChecked(start_.font.underline);
    strikeout_->setChecked(start_.font.strikeout);
    fontColour_ = new QLineEdit(colourText(start_.font.color));
    fg_ = new QLineEdit(colourText(start_.fill.fg));
    bg_ = new QLineEdit(colourText(start_.fill.bg));
    // Each colour keeps its RRGGBB field (empty: automatic) beside a button with its swatch.
    auto colourRow = [this](Colour which, const char* name) {
        auto* row = new QHBoxLayout;
        QLineEdit* field = colourField(which);
        auto* button = new QPushButton(QStringLiteral("..."));
        button->setObjectName(QString::fromLatin1(name));
        button->setFixedWidth(40);
        colourButtons_[static_cast<int>(which)] = button;
        paintSwatch(button, field->text());
        connect(field, &QLineEdit::textChanged, button,
                [button](const QString& t) { paintSwatch(button, t); });
        connect(button, &QPushButton::clicked, this, [this, which] { pickColour(which); });
        row->addWidget(field);
        row->addWidget(button);
        return row;
    };
    chooseColour = [this](const QColor& start) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(start, this);
        return c.isValid() ? std::optional<QColor>(c) : std::nullopt;
    };
    ff->addRow(QStringLiteral("Шрифт:"), family_);
    ff->addRow(QStringLiteral("Размер:"), size_);
    ff->addRow(QStringLiteral("Цвет (RRGGBB):"), colourRow(Colour::Font, "fontColour"));
    for (QCheckBox* b : {bold_, italic_, underline_, strikeout_}) {
        ff->addRow(b);
    }
    tabs->addTab(fontPage, QStringLiteral("Шрифт"));

    auto* alignPage = new QWidget;
    auto* af = new QFormLayout(alignPage);
    halign_ = new QComboBox;
    halign_->addItems({QStringLiteral("Обычно"), QStringLiteral("Влево"),
                       QStringLiteral("По центру"), QStringLiteral("Вправо")});
    halign_->setCurrentIndex(std::min(static_cast<int>(start_.halign), 3));
    valign_ = new QComboBox;
    valign_->addItems(
        {QStringLiteral("Вверху"), QStringLiteral("По центру"), QStringLiteral("Внизу")});
    valign_->setCurrentIndex(static_cast<int>(start_.valign));
    wrap_ = new QCheckBox(QStringLiteral("Переносить по словам"));
    wrap_->setChecked(start_.wrap);
    merge_ = new QCheckBox(QStringLiteral("Объединить ячейки"));
    merge_->setChecked(sheet.mergeAt(a.row, a.col) != nullptr);
    af->addRow(QStringLiteral("По горизонтали:"), halign_);
    af->addRow(QStringLiteral("По вертикали:"), valign_);
    af->addRow(wrap_);
    af->addRow(merge_);
    tabs->addTab(alignPage, QStringLiteral("Выравнивание"));

    auto* borderPage = new QWidget;
    auto* bf = new QFormLayout(borderPage);
    const QString sides[4] = {QStringLiteral("Слева:"), QStringLiteral("Справа:"),
                              QStringLiteral("Сверху:"), QStringLiteral("Снизу:")};
    for (int i = 0; i < 4; ++i) {
        borders_[i] = new QSpinBox;
        borders_[i]->setRange(0, 13);
        borders_[i]->setValue(static_cast<int>(start_.borders[static_cast<std::size_t>(i)].style));
        bf->addRow(sides[i], borders_[i]);
    }
    tabs->addTab(borderPage, QStringLiteral("Рамка"));

    auto* patternPage = new QWidget;
    auto* pf = new QFormLayout(patternPage);
    pattern_ = new QSpinBox;
    pattern_->setRange(0, 18);
    pattern_->setValue(start_.fill.pattern);
    pf->addRow(QStringLiteral("Узор:"), pattern_);
    pf->addRow(QStringLiteral("Цвет узора (RRGGBB):"), colourRow(Colour::Pattern, "patternColour"));
    pf->addRow(QStringLiteral("Цвет фона (RRGGBB):"),
               colourRow(Colour::Background, "backgroundColour"));
    tabs->addTab(patternPage, QStringLiteral("Вид"));

    auto* numberPage = new QWidget;
    auto* nf = new QFormLayout(numberPage);
    number_ = new QLineEdit(cp1251::toQString(start_.numberFormat));
    number_->setObjectName(QStringLiteral("NumberFormat"));
    nf->addRow(QStringLiteral("Формат:"), number_);
    tabs->addTab(numberPage, QStringLiteral("Число"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(okCancelButtons(this));
}

void CellFormatDialog::setNumberFormat(const QString& format) { number_->setText(format); }

QLineEdit* CellFormatDialog::colourField(Colour which) const {
    return which == Colour::Font ? fontColour_ : which == Colour::Pattern ? fg_ : bg_;
}

QPushButton* CellFormatDialog::colourButton(Colour which) const {
    return colourButtons_[static_cast<int>(which)];
}

void CellFormatDialog::pickColour(Colour which) {
    QLineEdit* field = colourField(which);
    const Color now = colourOf(field->text());
    const QColor start = now == kAutoColor
                             ? QColor(which == Colour::Background ? Qt::white : Qt::black)
                             : QColor(redOf(now), greenOf(now), blueOf(now));
    if (!chooseColour) {
        return;
    }
    if (const std::optional<QColor> c = chooseColour(start)) {
        field->setText(colourText(rgb(c->red(), c->green(), c->blue())));
    }
}

Style CellFormatDialog::style() const {
    Style s = start_;
    s.font.name = cp1251::fromQString(family_->currentText());
    s.font.size = size_->value();
    s.font.bold = bold_->isChecked();
    s.font.italic = italic_->isChecked();
    s.font.underline = underline_->isChecked();
    s.font.strikeout = strikeout_->isChecked();
    s.font.color = colourOf(fontColour_->text());
    s.halign = static_cast<HAlign>(halign_->currentIndex());
    s.valign = static_cast<VAlign>(valign_->currentIndex());
    s.wrap = wrap_->isChecked();
    for (int i = 0; i < 4; ++i) {
        s.borders[static_cast<std::size_t>(i)].style =
            static_cast<BorderStyle>(borders_[i]->value());
    }
    s.fill.pattern = static_cast<std::uint8_t>(pattern_->value());
    s.fill.fg = colourOf(fg_->text());
    s.fill.bg = colourOf(bg_->text());
    s.numberFormat = cp1251::fromQString(number_->text().trimmed());
    if (s.numberFormat.empty()) {
        s.numberFormat = "General";
    }
    return s;
}

bool CellFormatDialog::merged() const { return merge_->isChecked(); }

bool CellFormatDialog::apply(Sheet& sheet) const {
    const Style s = style();
    // A format with unbalanced quotes or brackets cannot show a number.
    int quotes = 0, open = 0;
    for (char c : s.numberFormat) {
        quotes += c == '"';
        open += c == '[' ? 1 : c == ']' ? -1 : 0;
        if (open < 0) {
            break;
        }
    }
    if (quotes % 2 != 0 || open != 0) {
        return false;
    }
    sheet.editSelectionStyle([&](Style& st) {
        st.font = s.font;
        st.halign = s.halign;
        st.valign = s.valign;
        st.wrap = s.wrap;
        for (int i = 0; i < 4; ++i) {
            st.borders[static_cast<std::size_t>(i)].style =
                s.borders[static_cast<std::size_t>(i)].style;
        }
        st.fill = s.fill;
        st.numberFormat = s.numberFormat;
    });
    const CellRange sel = sheet.selectionRange(0).normalized();
    if (merged() && (sel.rows() > 1 || sel.cols() > 1)) {
        sheet.merge(sel);
    } else if (!merged()) {
        sheet.unmerge(sel);
    }
    return true;
}

WorkbookDesignerDialog::WorkbookDesignerDialog(const Workbook& book, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("WorkbookDesigner"));
    setWindowTitle(cp1251::toQString(designermsg::designerTitle()));
    const Sheet& s = book.sheet();
    name_ = new QLineEdit(cp1251::toQString(s.name()));
    maxCol_ = new QSpinBox;
    maxCol_->setRange(1, 253);
    maxCol_->setValue(s.maxCol());
    maxRow_ = new QSpinBox;
    maxRow_->setRange(1, kMaxRows);
    maxRow_->setValue(s.maxRow());
    font_ = new QFontComboBox;
    font_->setEditable(true);
    font_->setCurrentText(cp1251::toQString(book.defaultFont().name));
    fontSize_ = new QDoubleSpinBox;
    fontSize_->setRange(1, 409);
    fontSize_->setValue(book.defaultFont().size);
    grid_ = new QCheckBox(QStringLiteral("Сетка"));
    grid_->setChecked(book.view().showGridLines);
    rowHeads_ = new QCheckBox(QStringLiteral("Заголовки строк"));
    rowHeads_->setChecked(book.view().showRowHeading);
    colHeads_ = new QCheckBox(QStringLiteral("Заголовки столбцов"));
    colHeads_->setChecked(book.view().showColHeading);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Имя листа:"), name_);
    form->addRow(QStringLiteral("Столбцов:"), maxCol_);
    form->addRow(QStringLiteral("Строк:"), maxRow_);
    form->addRow(QStringLiteral("Шрифт по умолчанию:"), font_);
    form->addRow(QStringLiteral("Размер:"), fontSize_);
    form->addRow(grid_);
    form->addRow(rowHeads_);
    form->addRow(colHeads_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this));
}

void WorkbookDesignerDialog::apply(Workbook& book) const {
    Sheet& s = book.sheet();
    const std::string name = cp1251::fromQString(name_->text().trimmed());
    if (!name.empty()) {
        s.setName(name);
    }
    s.setMaxCol(maxCol_->value());
    s.setMaxRow(maxRow_->value());
    book.setDefaultFont(cp1251::fromQString(font_->currentText()), fontSize_->value());
    ViewOptions v = book.view();
    v.showGridLines = grid_->isChecked();
    v.showRowHeading = rowHeads_->isChecked();
    v.showColHeading = colHeads_->isChecked();
    book.setView(v);
}

} // namespace fc
