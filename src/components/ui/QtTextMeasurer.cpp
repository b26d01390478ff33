#include "components/ui/QtTextMeasurer.h"

#include "components/text/Cp1251.h"
#include "components/ui/FontMapper.h"

#include <QFontMetricsF>
#include <QStringList>

#include <cmath>

namespace fc {

int QtTextMeasurer::textWidth(const Font& font, std::string_view text) const {
    QFontMetricsF fm(FontMapper::toQFont(font));
    // The widest line: a wrapped cell's text may hold line breaks.
    double widest = 0;
    for (const QString& line : cp1251::toQString(text).split(QLatin1Char('\n'))) {
        widest = std::max(widest, fm.horizontalAdvance(line));
    }
    return static_cast<int>(std::ceil(widest));
}

int QtTextMeasurer::lineHeight(const Font& font) const {
    QFontMetricsF fm(FontMapper::toQFont(font));
    return static_cast<int>(std::ceil(fm.height())) + 2;
}

int QtTextMeasurer::charWidth(const Font& font) const {
    QFontMetricsF fm(FontMapper::toQFont(font));
    return std::max(1, static_cast<int>(std::lround(fm.horizontalAdvance(QLatin1Char('0')))));
}

} // namespace fc
