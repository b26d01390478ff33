#include "CheckCases.h"

#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"

namespace fc::testing {

const PrototypeTable& sampleTable() {
    static const PrototypeTable table = [] {
        PrototypeTable t;
        std::vector<std::string> reports;
        t.loadText(codepage::toDos(w("* sample prototypes\r\nob % на % за %\r\n\r\nsum %: %\r\n")),
                   &reports);
        EXPECT_TRUE(reports.empty());
        EXPECT_EQ(t.count(), 3);
        return t;
    }();
    return table;
}

CheckResult checkUtf8(const PrototypeTable& table, const std::string& utf8Line) {
    Checker checker(table);
    return checker.checkLine(w(utf8Line));
}

TEST_P(GoodLines, AreRight) {
    const GoodLine& c = GetParam();
    const CheckResult r = checkUtf8(sampleTable(), c.line);
    EXPECT_TRUE(r.ok()) << "line \"" << c.line << "\": " << cp1251::toUtf8(r.message) << " at "
                        << r.errorPosition;
    EXPECT_EQ(lineClassText(classify(r)), c.cls) << c.line;
    EXPECT_EQ(r.keywordLength, c.keyword) << c.line;
}

TEST_P(BadLines, ReportTheirError) {
    const BadLine& c = GetParam();
    const CheckResult r = checkUtf8(sampleTable(), c.line);
    EXPECT_EQ(cp1251::toUtf8(r.message), c.message) << c.line;
    EXPECT_EQ(r.errorPosition, c.position) << c.line;
    EXPECT_EQ(classify(r), LineClass::Strike) << c.line;
}

} // namespace fc::testing
