#include "components/ui/FontMapper.h"

#include "components/text/Cp1251.h"

#include <QFontDatabase>

#include <cmath>

namespace fc {

namespace {

struct Substitute {
    const char* name; // lower case
    const char* family;
};

// Metric-compatible families first (Liberation), DejaVu where no such family exists.
const Substitute kSubstitutes[] = {
    {"arial", "Liberation Sans"},
    {"arial cyr", "Liberation Sans"},
    {"helv", "Liberation Sans"},
    {"helvetica", "Liberation Sans"},
    {"ms sans serif", "Liberation Sans"},
    {"microsoft sans serif", "Liberation Sans"},
    {"arial narrow", "Liberation Sans Narrow"},
    {"times new roman", "Liberation Serif"},
    {"times new roman cyr", "Liberation Serif"},
    {"times", "Liberation Serif"},
    {"ms serif", "Liberation Serif"},
    {"courier new", "Liberation Mono"},
    {"courier new cyr", "Liberation Mono"},
    {"courier", "Liberation Mono"},
    {"fixedsys", "DejaVu Sans Mono"},
    {"terminal", "DejaVu Sans Mono"},
    {"lucida console", "DejaVu Sans Mono"},
    {"system", "DejaVu Sans"},
    {"tahoma", "DejaVu Sans"},
    {"verdana", "DejaVu Sans"},
};

} // namespace

QString FontMapper::familyFor(const std::string& name) {
    const QString wanted = cp1251::toQString(name).trimmed().toLower();
    for (const Substitute& s : kSubstitutes) {
        if (wanted == QLatin1String(s.name)) {
            return QString::fromLatin1(s.family);
        }
    }
    // A name we do not know may still be installed; otherwise the commonest template font.
    const QString asGiven = cp1251::toQString(name).trimmed();
    if (!asGiven.isEmpty() && QFontDatabase::hasFamily(asGiven)) {
        return asGiven;
    }
    if (wanted.endsWith(QLatin1String(" cyr"))) {
        return familyFor(cp1251::fromQString(asGiven.left(asGiven.size() - 4)));
    }
    return QStringLiteral("Liberation Sans");
}

QFont FontMapper::toQFont(const Font& f, int scale) {
    QFont q(familyFor(f.name));
    // Pixel sizes keep the picture independent of the screen's dots per inch: the model's
    // widths and heights are pixels at 96 dpi.
    double px = (f.size > 0 ? f.size : 10) * 96.0 / 72.0 * scale / 100.0;
    q.setPixelSize(std::max(1, static_cast<int>(std::lround(px))));
    q.setBold(f.bold);
    q.setItalic(f.italic);
    q.setUnderline(f.underline);
    q.setStrikeOut(f.strikeout);
    q.setKerning(false);
    return q;
}

const FontMapper::Entry& FontMapper::entry(StyleId id, const Font& f) {
    if (id >= entries_.size()) {
        entries_.resize(id + 1);
    }
    Entry& e = entries_[id];
    if (!e.valid || e.font != f) {
        e.font = f;
        e.qfont = toQFont(f, scale_);
        e.metrics = QFontMetricsF(e.qfont);
        e.serial = ++serial_;
        e.valid = true;
    }
    return e;
}

void FontMapper::setScale(int percent) {
    if (percent != scale_) {
        scale_ = percent;
        entries_.clear();
    }
}

} // namespace fc
