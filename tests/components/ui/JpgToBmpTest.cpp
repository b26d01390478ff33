#include "components/ui/JpgToBmp.h"
#include "components/platform/FileBytes.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

TEST(JpgToBmp, ConvertsInPlace) {
    QTemporaryDir dir;
    const QString p = dir.filePath("pic.jpg");
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(QColor(200, 30, 30));
    ASSERT_TRUE(img.save(p, "JPG"));
    ASSERT_TRUE(codec::JPGtoBMP(p.toStdString()));
    std::string bytes = *files::readAll(p.toStdString());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    QImage back(p, "BMP");
    EXPECT_EQ(back.size(), QSize(40, 30));
}

TEST(JpgToBmp, LeavesOtherFilesAlone) {
    QTemporaryDir dir;
    const std::string p = dir.filePath("not.jpg").toStdString();
    ASSERT_TRUE(files::writeAtomic(p, "not a picture"));
    EXPECT_FALSE(codec::JPGtoBMP(p));
    EXPECT_EQ(*files::readAll(p), "not a picture");
    EXPECT_FALSE(codec::JPGtoBMP(dir.filePath("missing.jpg").toStdString()));
}

} // namespace
} // namespace fc
