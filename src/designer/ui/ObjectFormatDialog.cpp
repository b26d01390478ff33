#include "designer/ui/ObjectFormatDialog.h"

#include "components/platform/ui/DialogButtons.h"
#include "components/text/Cp1251.h"
#include "components/ui/CellDecor.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace fc {

namespace {

Color fromQColor(const QColor& c) { return rgb(c.red(), c.green(), c.blue()); }

QString joined(const std::vector<std::string>& items) {
    QStringList lines;
    for (const std::string& s : items) {
        lines << cp1251::toQString(s);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

ObjectFormatDialog::ObjectFormatDialog(const DrawnObject& o, QWidget* parent)
    : QDialog(parent), o_(o), lineColor_(o.lineColor), fillColor_(o.fillColor) {
    setObjectName(QStringLiteral("ObjectFormatDialog"));
    setWindowTitle(cp1251::toQString(w("Фоpмат объекта")));
    auto* form = new QFormLayout(this);
    text_ = new QPlainTextEdit(cp1251::toQString(o.text), this);
    text_->setObjectName(QStringLiteral("objectText"));
    text_->setFixedHeight(text_->fontMetrics().height() * 3 + 12);
    form->addRow(QStringLiteral("Текст:"), text_);

    auto colourRow = [&](QPushButton*& button, QCheckBox*& box, const char* name,
                         const QString& none) {
        auto* row = new QHBoxLayout;
        button = new QPushButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setFixedWidth(60);
        box = new QCheckBox(none, this);
        box->setObjectName(QString::fromLatin1(name) + QStringLiteral("Auto"));
        row->addWidget(button);
        row->addWidget(box);
        row->addStretch();
        return row;
    };
    form->addRow(QStringLiteral("Цвет линии:"),
                 colourRow(line_, lineAuto_, "lineColor", QStringLiteral("Авто")));
    form->addRow(QStringLiteral("Цвет заливки:"),
                 colourRow(fill_, fillNone_, "fillColor", QStringLiteral("Нет")));
    connect(line_, &QPushButton::clicked, this, [this] { pick(true); });
    connect(fill_, &QPushButton::clicked, this, [this] { pick(false); });
    connect(lineAuto_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            lineColor_ = kAutoColor;
        }
        showColors();
    });
    connect(fillNone_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) {
            fillColor_ = kAutoColor;
        }
        showColors();
    });

    if (o.kind == ObjectKind::CheckBox || o.kind == ObjectKind::ListBox) {
        linked_ = new QLineEdit(cp1251::toQString(o.linkedCell), this);
        linked_->setObjectName(QStringLiteral("linkedCell"));
        form->addRow(QStringLiteral("Связанная ячейка:"), linked_);
    }
    if (o.kind == ObjectKind::ListBox || o.kind == ObjectKind::Chart) {
        range_ = new QLineEdit(cp1251::toQString(o.inputRange), this);
        range_->setObjectName(QStringLiteral("inputRange"));
        form->addRow(QStringLiteral("Диапазон данных:"), range_);
    }
    if (o.kind == ObjectKind::ListBox) {
        items_ = new QPlainTextEdit(joined(o.items), this);
        items_->setObjectName(QStringLiteral("listItems"));
        form->addRow(QStringLiteral("Строки списка:"), items_);
    }
    if (o.kind == ObjectKind::Chart) {
        chart_ = new QComboBox(this);
        chart_->setObjectName(QStringLiteral("chartType"));
        chart_->addItems({QStringLiteral("Гистограмма"), QStringLiteral("График")});
        chart_->setCurrentIndex(o.chartType == 1 ? 1 : 0);
        form->addRow(QStringLiteral("Вид:"), chart_);
    }
    form->addRow(okCancelButtons(this));
    lineAuto_->setChecked(lineColor_ == kAutoColor);
    fillNone_->setChecked(fillColor_ == kAutoColor);
    showColors();
}

void ObjectFormatDialog::pick(bool isLine) {
    const Color now = isLine ? lineColor_ : fillColor_;
    const QColor c = QColorDialog::getColor(toQColor(now, isLine ? Qt::black : Qt::white), this);
    if (c.isValid()) {
        isLine ? setLineColor(fromQColor(c)) : setFillColor(fromQColor(c));
    }
}

void ObjectFormatDialog::setLineColor(Color c) {
    lineColor_ = c;
    lineAuto_->setChecked(c == kAutoColor);
    showColors();
}

void ObjectFormatDialog::setFillColor(Color c) {
    fillColor_ = c;
    fillNone_->setChecked(c == kAutoColor);
    showColors();
}

void ObjectFormatDialog::showColors() {
    auto paint = [](QPushButton* b, Color c, const QColor& automatic) {
        b->setStyleSheet(QStringLiteral("background-color: %1").arg(toQColor(c, automatic).name()));
    };
    paint(line_, lineColor_, Qt::black);
    paint(fill_, fillColor_, Qt::white);
}

DrawnObject ObjectFormatDialog::result() const {
    DrawnObject o = o_;
    o.text = cp1251::fromQString(text_->toPlainText());
    o.lineColor = lineColor_;
    o.fillColor = fillColor_;
    if (linked_) {
        o.linkedCell = cp1251::fromQString(linked_->text().trimmed());
    }
    if (range_) {
        o.inputRange = cp1251::fromQString(range_->text().trimmed());
    }
    if (items_) {
        o.items.clear();
        for (const QString& s : items_->toPlainText().split(QLatin1Char('\n'))) {
            if (!s.isEmpty() || !o.items.empty()) {
                o.items.push_back(cp1251::fromQString(s));
            }
        }
        while (!o.items.empty() && o.items.back().empty()) {
            o.items.pop_back();
        }
    }
    if (chart_) {
        o.chartType = chart_->currentIndex();
    }
    return o;
}

} // namespace fc
