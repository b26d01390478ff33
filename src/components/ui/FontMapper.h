#pragma once

#include "components/model/Style.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include <string>
#include <vector>

namespace fc {

// Turns the model's fonts into Qt fonts. Templates name Windows fonts ("Arial Cyr",
// "Fixedsys"); they are drawn with installed families of the same shape, while the model keeps
// the names it was given. Sizes are points at 96 dots per inch, times `scale` percent.
class FontMapper {
public:
    // The installed family used for a font name of the templates (case does not matter).
    static QString familyFor(const std::string& name);

    static QFont toQFont(const Font& f, int scale = 100);

    // Cached fonts and metrics per style id; an entry is rebuilt when its font changed, so the
    // cache stays right after a workbook swaps its style table.
    struct Entry {
        Font font;
        QFont qfont;
        QFontMetricsF metrics{QFont()};
        unsigned serial = 0; // changes whenever the entry is rebuilt
        bool valid = false;
    };
    const Entry& entry(StyleId id, const Font& f);
    int scale() const { return scale_; }
    void setScale(int percent);
    void clear() { entries_.clear(); }

private:
    std::vector<Entry> entries_;
    int scale_ = 100;
    unsigned serial_ = 0;
};

} // namespace fc
