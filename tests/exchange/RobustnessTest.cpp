#include "AnswerFixture.h"

#include "components/format/FileType.h"
#include "components/model/Sheet.h"
#include "exchange/TableResultReader.h"
#include "exchange/TurboResultReader.h"

#include <QFile>

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::AnswerFixture;
using test::dos;

// An answer of every line kind, cut after each of its bytes: every prefix reads without harm
// and touches no file but those the prefix names.
TEST(Robustness, TableAnswerCutAtEveryByte) {
    const std::string full =
        dos(";table\r\n;;1=Arial,12,b,,,,color=r\r\n;COL3\r\n;TOT=003\r\n;SORT1=-2\r\n"
            "&&120\r\n&002[*k]<1>Касса|1111rcw 1 1 1     255       0|0.00\r\n"
            "&003=B{000}*\"R\"|0000lb\r\nrelative\r\nmsg (x\r\n3\r\n;FILTR\r\ncap\r\n2\r\n"
            ";FEND\r\n;FILECREATE[1]=cut.txt\r\n;PRINTSTR[1]=t\r\n;PICTURE=p.bmp\r\n4142\r\n"
            ";]O\r\n;TABLE  Второй\r\nPBK\r\n{*итог*}\r\nE-ошибка: 3 : 4\r\n");
    for (std::size_t n = 0; n <= full.size(); ++n) {
        AnswerFixture fx;
        fx.setAnswer(full.substr(0, n));
        read_table(fx.ctx, "x.out");
        ASSERT_LE(fx.book.sheet(1).maxRow(), 6) << n;
        ASSERT_LE(fx.book.numSheets(), 2) << n;
    }
}

TEST(Robustness, TurboAnswerCutAtEveryByte) {
    AnswerFixture base;
    Workbook form;
    form.sheet().setMaxCol(4);
    form.sheet().setNumber(1, 1, 1);
    form.sheet().setFormula(2, 3, "=B2+1");
    std::string error;
    ASSERT_TRUE(writeWorkbookFile(base.path("T.vts"), kFileNative, form, error));
    const std::string turbo = ";table ;ext=T.vts ;str ;turbo\r\n;TOT=03\r\n;CACHE=c\r\n" +
                              dos("1  *\tа\t1\r\r\n2  *\t\t2\r\n3  [1]\tx\r\n4  [2]\ty\r\nE-end");
    const std::string ext = ";table ;ext=T.vts\r\n;TOT=03\r\n" + dos("1|a\tb\t") + "\xFA\r\n" +
                            dos("c\r\n2|[*k]\t5\r\n3|Итого:\r\n");
    for (const std::string* full : {&turbo, &ext}) {
        for (std::size_t n = 0; n <= full->size(); ++n) {
            AnswerFixture fx;
            fx.setAnswer(full->substr(0, n));
            read_table_ex(fx.ctx, base.path("T.vts"));
            ASSERT_LE(fx.book.sheet().maxRow(), 5) << n;
        }
    }
}

TEST(Robustness, LinesOfAHundredKilobytes) {
    AnswerFixture fx;
    const std::string longText(100 * 1024, 'x');
    fx.setAnswer(longText + "\r\n&&\r\n&02" + longText + "|0000lb\r\n;SP=" + longText + "\r\n");
    read_table(fx.ctx, "x.out");
    EXPECT_EQ(fx.book.sheet().text(1, 1).size(), longText.size());
    EXPECT_EQ(fx.book.sheet().text(2, 2).size(), longText.size());
}

TEST(Robustness, NulInsideEndsTheAnswer) {
    AnswerFixture fx;
    fx.setAnswer(std::string("first\r\nsec\0ond\r\nthird\r\n", 22));
    read_table(fx.ctx, "x.out");
    EXPECT_EQ(fx.text(1, 1), "first");
    EXPECT_EQ(fx.text(2, 1), "sec");
    EXPECT_EQ(fx.book.sheet().maxRow(), 2);
}

} // namespace
} // namespace fc
