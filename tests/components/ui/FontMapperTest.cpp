#include "components/ui/FontMapper.h"
#include "components/text/Cp1251.h"
#include "components/ui/QtTextMeasurer.h"

#include <QFontInfo>

#include <gtest/gtest.h>

namespace fc {
namespace {

TEST(FontMapper, TemplateFontsMapToInstalledFamilies) {
    struct Case {
        const char* name;
        const char* family;
    };
    const Case cases[] = {
        {"Arial", "Liberation Sans"},
        {"Arial Cyr", "Liberation Sans"},
        {"ARIAL CYR", "Liberation Sans"},
        {"MS Sans Serif", "Liberation Sans"},
        {"Times New Roman Cyr", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
        {"Courier New Cyr", "Liberation Mono"},
        {"Fixedsys", "DejaVu Sans Mono"},
        {"FIXEDSYS", "DejaVu Sans Mono"},
        {"System", "DejaVu Sans"},
        {"DejaVu Serif", "DejaVu Serif"},        // installed: used as it is
        {"Tahoma Cyr", "DejaVu Sans"},           // a known base name under " Cyr"
        {"Nonexistent Face", "Liberation Sans"}, // anything else
        {"", "Liberation Sans"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FontMapper::familyFor(c.name).toStdString(), c.family);
        Font f;
        f.name = c.name;
        // The family is really there: Qt does not fall back to something else.
        EXPECT_EQ(QFontInfo(FontMapper::toQFont(f)).family().toStdString(), c.family);
    }
}

TEST(FontMapper, SizesAreScaledPixelsAndTheModelKeepsItsName) {
    Font f;
    f.name = "Arial Cyr";
    f.size = 12;
    f.bold = true;
    EXPECT_EQ(FontMapper::toQFont(f).pixelSize(), 16);
    EXPECT_EQ(FontMapper::toQFont(f, 150).pixelSize(), 24);
    EXPECT_TRUE(FontMapper::toQFont(f).bold());
    FontMapper cache;
    const FontMapper::Entry& e = cache.entry(3, f);
    EXPECT_EQ(e.font.name, "Arial Cyr");
    // The same id with another font (a swapped style table) gets a fresh entry.
    Font g = f;
    g.size = 20;
    EXPECT_EQ(cache.entry(3, g).qfont.pixelSize(), 27);
}

TEST(QtTextMeasurer, TheDefaultRowAndColumnMatchTheModelsDefaults) {
    QtTextMeasurer m;
    Font arial; // Arial 10, the workbook's default
    // 255 twips is 17 pixels: the default row fits one line of the default font exactly.
    EXPECT_EQ(m.lineHeight(arial) * 15, 255);
    EXPECT_EQ(m.charWidth(arial), 7);
    EXPECT_GT(m.textWidth(arial, "WWW"), m.textWidth(arial, "iii"));
    // Cyrillic text is measured as the screen draws it, not byte by byte.
    EXPECT_NEAR(m.textWidth(arial, w("Ж")), m.textWidth(arial, "W"), 4);
    EXPECT_EQ(m.textWidth(arial, "ab\nabcd"), m.textWidth(arial, "abcd"));
}

} // namespace
} // namespace fc
