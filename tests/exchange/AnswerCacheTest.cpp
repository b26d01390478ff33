#include "AnswerFixture.h"

#include "components/model/Sheet.h"
#include "exchange/AnswerCache.h"
#include "exchange/OutsideFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::AnswerFixture;

// Report state string: header codes, then the two argument fields of 12 characters.
const std::string kState = std::string("620A0BAB") + "301         " + "01          ";
const std::string kRequest = "R SALDO ;cache=saldo.vts\xFA"
                             "rest";

TEST(AnswerCacheKeys, ServerNameEndsAtABlankOrSeparator) {
    EXPECT_EQ(cache::serverFileName("R X ;cache=a.vts more"), "a.vts");
    EXPECT_EQ(cache::serverFileName(kRequest), "saldo.vts");
    EXPECT_EQ(cache::serverFileName("R X ;cache=a.vts"), "a.vts");
    EXPECT_EQ(cache::serverFileName("R X"), "");
}

TEST(AnswerCacheKeys, LocalKeyJoinsTheRequestAndTheArguments) {
    EXPECT_EQ(cache::localKey(kRequest, kState), "SALDO\xB7"
                                                 "301\xB7"
                                                 "01");
    EXPECT_EQ(cache::localKey("R ;cache=x", "620"), "\xB7\xB7");
    // Folder separators and dots cannot lead out of the cache folder.
    EXPECT_EQ(cache::safeName("../x/y\\z:"), "..%2Fx%2Fy%5Cz:");
    EXPECT_EQ(cache::safeName(".."), "%2E%2E");
    // Keys that differ stay apart: "%" is escaped too.
    EXPECT_EQ(cache::safeName("a%2Fb"), "a%252Fb");
    EXPECT_EQ(cache::safeName("A B\x01\xB7*?|"), "A B%01\xB7*?|");
}

TEST(AnswerCacheKeys, PackedTimeHasTwoSecondSteps) {
    const QDateTime t(QDate(2024, 3, 5), QTime(10, 20, 31));
    EXPECT_EQ(cache::packedTime(t), cache::packedTime(t.addSecs(-1)));
    EXPECT_LT(cache::packedTime(t), cache::packedTime(t.addSecs(2)));
    EXPECT_EQ(cache::packedTime(QDateTime()), 0u);
}

class AnswerCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(fx.dir.path()).mkpath("srv/CACHE"));
        fx.book.sheet().setText(1, 2, "cached");
        ASSERT_TRUE(storeInCache(fx.ctx, cache::localKey(kRequest, kState)));
        local = resolvePath({}, cache::localPath(fx.dirPath(), cache::localKey(kRequest, kState)));
        ASSERT_TRUE(QFile::exists(local));
    }
    void stamp(const QString& path, const QDateTime& t) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(t, QFileDevice::FileModificationTime));
    }
    void serverCopy(const QDateTime& t) {
        const QString p = fx.dir.path() + "/srv/CACHE/saldo.vts";
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        stamp(p, t);
    }
    bool load(Workbook& into) {
        return LoadFromCache(into, kRequest, kState, fx.dirPath(), fx.path("srv"));
    }

    AnswerFixture fx;
    QString local;
    const QDateTime base{QDate(2024, 3, 5), QTime(10, 20, 30)};
};

TEST_F(AnswerCacheTest, NewerLocalCopyIsLoaded) {
    stamp(local, base.addSecs(60));
    serverCopy(base);
    Workbook into;
    ViewOptions v;
    v.showVScrollBar = false;
    into.setView(v);
    EXPECT_TRUE(load(into));
    EXPECT_EQ(into.sheet().text(1, 2), "cached");
    EXPECT_TRUE(into.view().showVScrollBar);
    EXPECT_FALSE(into.allow().allowInCellEditing); // a result, whatever the copy allowed
    EXPECT_FALSE(into.allow().allowDelete);
}

TEST_F(AnswerCacheTest, SameTimeStampIsNotUsed) {
    stamp(local, base.addSecs(1));
    serverCopy(base);
    Workbook into;
    EXPECT_FALSE(load(into));
    EXPECT_EQ(into.sheet().text(1, 2), "");
}

TEST_F(AnswerCacheTest, OlderLocalCopyIsNotUsed) {
    stamp(local, base);
    serverCopy(base.addSecs(3600));
    Workbook into;
    EXPECT_FALSE(load(into));
}

TEST_F(AnswerCacheTest, MissingServerCopyLetsAnyLocalCopyBeUsed) {
    Workbook into;
    EXPECT_TRUE(load(into));
}

TEST_F(AnswerCacheTest, NoOptionOrNoCopyOrBrokenCopyGiveFalse) {
    Workbook into;
    into.sheet().setText(1, 1, "kept");
    EXPECT_FALSE(LoadFromCache(into, "R SALDO", kState, fx.dirPath(), fx.path("srv")));
    EXPECT_FALSE(LoadFromCache(into, "R OTHER ;cache=o.vts", kState, fx.dirPath(), fx.path("srv")));
    QFile f(local);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("not a workbook");
    f.close();
    EXPECT_FALSE(load(into));
    EXPECT_EQ(into.sheet().text(1, 1), "kept");
}

} // namespace
} // namespace fc
