#include "AnswerFixture.h"

#include "exchange/AnswerBuffer.h"
#include "exchange/AnswerFormat.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::dos;
using test::u8;

TEST(AnswerBuffer, FramingDropsTheServersByteAndStopsAtNul) {
    EXPECT_EQ(AnswerBuffer::fromAnswerFile("OK\r\nx").content(), "OK\r\n");
    EXPECT_EQ(AnswerBuffer::fromAnswerFile("").size(), 0u);
    EXPECT_EQ(AnswerBuffer::fromAnswerFile("Z").size(), 0u);
    EXPECT_EQ(AnswerBuffer(std::string("ab\0cd", 5)).content(), "ab");
    AnswerBuffer empty;
    EXPECT_TRUE(empty.atEnd());
    EXPECT_EQ(empty.READL(), "");
}

TEST(AnswerBuffer, LineReadersStopAtTheEndWithoutConsumingIt) {
    AnswerBuffer a(std::string("one\r\ntwo\nlast", 13));
    EXPECT_EQ(a.READL(), "one\r\n");
    EXPECT_EQ(a.READL(), "two\n");
    EXPECT_EQ(a.READL(), "last");
    EXPECT_TRUE(a.atEnd());
    EXPECT_EQ(a.READL(), "");
    EXPECT_EQ(a.pos(), a.size());
    EXPECT_EQ(a.data()[a.size()], '\0');
}

TEST(AnswerBuffer, ReadLnConvertsAndDropsBlanksBeforeTabAndLineEnd) {
    AnswerBuffer a(dos("Итог  \t 12 5  \r\nа б   \n"));
    EXPECT_EQ(u8(a.READ_LN()), "Итог\t 12 5\r\n");
    EXPECT_EQ(u8(a.READ_LN()), "а б\n");
}

TEST(AnswerBuffer, StatusLineIsTheTrimmedFirstLineOfAtMost256Bytes) {
    EXPECT_EQ(AnswerBuffer("  ;table ;ext=a.rpt  \r\nrest").statusLine(), ";table ;ext=a.rpt");
    EXPECT_EQ(AnswerBuffer("OK\nrest").statusLine(), "OK");
    EXPECT_EQ(AnswerBuffer(std::string(300, 'x')).statusLine().size(), 256u);
}

struct OptionsCase {
    const char* name;
    const char* status;
    bool ext, stringFlag, turbo;
    const char* templateName;
    const char* version;
};

class ResultOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(ResultOptionsTest, Parses) {
    const OptionsCase& c = GetParam();
    const answers::ResultOptions o = answers::parseResultOptions(c.status);
    EXPECT_TRUE(o.table);
    EXPECT_EQ(o.ext, c.ext);
    EXPECT_EQ(o.stringFlag, c.stringFlag);
    EXPECT_EQ(o.turbo, c.turbo);
    EXPECT_EQ(o.templateName, c.templateName);
    EXPECT_EQ(o.version, c.version);
}

INSTANTIATE_TEST_SUITE_P(
    StatusLines, ResultOptionsTest,
    ::testing::Values(
        OptionsCase{"plainTable", ";table", false, false, false, "", ""},
        OptionsCase{"ext", ";table ;ext=SALDO.RPT", true, false, false, "SALDO.RPT", ""},
        OptionsCase{"extWithVersion", ";table ;ext=S.RPT ;ver= 45000.5 ", true, false, false,
                    "S.RPT", "45000.5"},
        OptionsCase{"turbo", ";table ;ext=S.RPT ;turbo ;ver=1", true, false, true, "S.RPT", "1"},
        OptionsCase{"strAfterTurboIsCut", ";table ;ext=S.RPT ;turbo ;str ;ver=1", true, true, true,
                    "S.RPT", "1"},
        OptionsCase{"strBeforeTurboStaysInName", ";table ;ext=S.RPT ;str ;turbo", true, true, true,
                    "S.RPT ;str", ""},
        OptionsCase{"strAfterVersionIsNotSeen", ";table ;ext=S.RPT ;turbo ;ver=2 ;str", true, false,
                    true, "S.RPT", "2 ;str"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnswerFormat, VersionTextIsZeroWhenUnreadable) {
    EXPECT_DOUBLE_EQ(answers::versionNumber(" 45123.25 "), 45123.25);
    EXPECT_DOUBLE_EQ(answers::versionNumber("45123,25"), 45123.25);
    EXPECT_DOUBLE_EQ(answers::versionNumber("2 ;str"), 0.0);
    EXPECT_DOUBLE_EQ(answers::versionNumber(""), 0.0);
}

TEST(AnswerFormat, RequestNamePrefixesInTheirOrder) {
    using K = answers::NameKind;
    const std::pair<const char*, K> cases[] = {
        {"UVTSab12", K::TemplateDownload},
        {"pop1a2b3", K::PopupMenu},
        {"autoxyz1", K::RefreshCheck},
        {"resave12", K::Resave},
        {"save1234", K::Save},
        {"a1b2c3d4", K::Other},
        {"uvtsab12", K::Other},
    };
    for (const auto& [name, kind] : cases) {
        EXPECT_EQ(answers::kindOfName(name), kind) << name;
    }
    EXPECT_EQ(answers::answerPath("\\\\srv\\rep", "a1b2c3d4"), "\\\\srv\\rep\\a1b2c3d4.out");
}

TEST(AnswerFormat, VerdictsOfStatusLines) {
    using V = answers::Verdict;
    EXPECT_EQ(answers::verdictOf("E-no data"), V::Error);
    EXPECT_EQ(answers::verdictOf("Q-M"), V::Question);
    EXPECT_EQ(answers::verdictOf("close"), V::Close);
    EXPECT_EQ(answers::verdictOf("x ;table"), V::Result);
    EXPECT_EQ(answers::verdictOf("12:00:01"), V::Other);
}

TEST(AnswerFormat, NoticeMarkerInEitherCodePage) {
    EXPECT_TRUE(answers::isNoticeMarker("x relative y"));
    EXPECT_TRUE(answers::isNoticeMarker(dos("Данные веpна условно (")));
    EXPECT_TRUE(answers::isNoticeMarker(w("Данные веpна условно (")));
    // The letter p of the phrase is Latin: a Cyrillic р does not match.
    EXPECT_FALSE(answers::isNoticeMarker(dos("Данные верна условно (")));
    EXPECT_FALSE(answers::isNoticeMarker("relative", true));
    EXPECT_TRUE(answers::isNoticeMarker("relative true", true));
}

TEST(AnswerFormat, TemplateDownloadKeepsAShortLastField) {
    EXPECT_EQ(answers::decodeTemplateDownload(" 59116 97\r\n 98 99\n  7"),
              std::string(";t") + "a" + "bc\x07");
    EXPECT_EQ(answers::decodeTemplateDownload("321"), std::string(1, char(321 & 255)));
    EXPECT_EQ(answers::decodeTemplateDownload(" 65 xx 66"), "AB");
}

TEST(AnswerFormat, PopupItemsSkipNoticeBlocks) {
    const std::string answer = dos("Печать\r\nrelative\r\nmsg\r\nthird\r\n\r\nЗакрыть  \r\n");
    const std::vector<std::string> items = answers::parsePopupItems(answer);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(u8(items[0]), "Печать");
    EXPECT_EQ(u8(items[1]), "Закрыть");
}

struct SaveCase {
    const char* name;
    const char* answer;
    answers::SaveAnswer::Outcome outcome;
    const char* detail; // error, file or follow-up
};

class SaveAnswerTest : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveAnswerTest, Parses) {
    using O = answers::SaveAnswer::Outcome;
    const SaveCase& c = GetParam();
    const answers::SaveAnswer a = answers::parseSaveAnswer(c.answer);
    EXPECT_EQ(a.outcome, c.outcome);
    const std::string detail = a.outcome == O::Failed        ? a.error
                               : a.outcome == O::WaitForFile ? a.waitFile
                                                             : a.followUp;
    EXPECT_EQ(detail, c.detail);
}

using Outcome = answers::SaveAnswer::Outcome;
INSTANTIATE_TEST_SUITE_P(
    Answers, SaveAnswerTest,
    ::testing::Values(
        SaveCase{"ok", "OK\r\n", Outcome::Saved, ""},
        SaveCase{"rerun", " RERUN \r\n", Outcome::Rerun, ""},
        SaveCase{"okWithError", "OK\r\nE-locked\r\n", Outcome::Failed, "E-locked"},
        SaveCase{"errorInsideEmptyLineNoticeIsSkipped", "OK\r\n\r\nE-a\r\nE-b\r\n", Outcome::Saved,
                 ""},
        SaveCase{"okWithFile", "OK  out12.txt\r\n", Outcome::WaitForFile, "out12.txt"},
        SaveCase{"followUp", " line 1 \r\nline 2\r\n\r\nx\r\ny\r\nline 3\r\n", Outcome::FollowUp,
                 "line 1\nline 2\nline 3"},
        SaveCase{"followUpFails", "step\r\nE-bad\r\n", Outcome::Failed, "E-bad"},
        SaveCase{"noticeThenOk", "relative true\r\nmsg\r\nthird\r\nOK\r\n", Outcome::Saved, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnswerFormat, ResaveErrorIsTheFirstErrorLine) {
    EXPECT_FALSE(answers::resaveError("done\r\n").has_value());
    EXPECT_EQ(*answers::resaveError("x\r\nE-one\r\nE-two"), "E-one");
}

std::string record(std::initializer_list<const char*> fields) {
    std::string out;
    for (const char* f : fields) {
        if (!out.empty()) {
            out += answers::kSeparator;
        }
        out += dos(f);
    }
    return out;
}

TEST(AnswerFormat, ChoiceQuestionListsItemsAndDefault) {
    const auto q = answers::parseQuestion(record({"Q-M", "один", "два", "три", "Выбор{3}"}));
    ASSERT_TRUE(q);
    EXPECT_EQ(q->kind, "Q-M");
    ASSERT_EQ(q->items().size(), 3u);
    EXPECT_EQ(u8(q->items()[2]), "три");
    EXPECT_EQ(u8(q->title()), "Выбор");
    EXPECT_EQ(q->defaultItem(), 2);
    EXPECT_EQ(answers::parseQuestion(record({"Q-M", "a", "Title"}))->defaultItem(), -1);
}

TEST(AnswerFormat, EntryQuestions) {
    auto q = answers::parseQuestion(record({"Q-S", "Пароль[*] ввод", "abc|def", "8"}));
    ASSERT_TRUE(q);
    EXPECT_TRUE(q->hidden());
    EXPECT_EQ(u8(q->caption()), "Пароль");
    EXPECT_EQ(q->initialText(), "abc");
    EXPECT_EQ(q->limit(), 8);

    q = answers::parseQuestion(record({"Q-S", "imГород", "Киев|Львов", "20"}));
    ASSERT_TRUE(q);
    EXPECT_TRUE(q->withSuggestions());
    EXPECT_EQ(u8(q->caption()), "Город");
    ASSERT_EQ(q->suggestions().size(), 2u);
    EXPECT_EQ(u8(q->suggestions()[1]), "Львов");
    EXPECT_EQ(q->limit(), 20);

    q = answers::parseQuestion(record({"Q-R", "Сумма", "12.5", "2"}));
    EXPECT_EQ(q->initialText(), "12.5");
    EXPECT_EQ(q->limit(), 2);
}

TEST(AnswerFormat, QuestionCutsTenCharactersBeforeRelative) {
    const std::string text = record({"Q-A", "SCHET"}) + "0123456789relative true\r\nmsg";
    const auto q = answers::parseQuestion(text);
    ASSERT_TRUE(q);
    ASSERT_EQ(q->fields.size(), 1u);
    EXPECT_EQ(q->fields[0], "SCHET");
    EXPECT_FALSE(answers::parseQuestion("0123relative").has_value());
}

TEST(AnswerFormat, YesNoQuestionBecomesMultiChoiceArgument) {
    const auto q = answers::parseQuestion(dos("Q-? Какие счета\r\n"));
    ASSERT_TRUE(q);
    EXPECT_EQ(q->kind, "Q-A");
    EXPECT_TRUE(q->multiChoice);
    ASSERT_EQ(q->fields.size(), 1u);
    EXPECT_EQ(u8(q->fields[0]), "Какие счета");
}

TEST(AnswerFormat, ValueListWithSubtitleUnderscoresAndKeys) {
    const std::string text = dos("Счета\r\n") + "\xFA" + dos("Активные\r\n") +
                             dos("301 Касса\r\n  _итого по разделу\r\n\r\n361\r\n");
    const answers::ValueList v = answers::parseValueList(text);
    EXPECT_EQ(u8(v.upper), "Счета");
    EXPECT_EQ(u8(v.title), "Активные");
    ASSERT_EQ(v.items.size(), 3u);
    EXPECT_EQ(v.items[0].key, "301");
    EXPECT_EQ(u8(v.items[1].text), "   ИТОГО ПО РАЗДЕЛУ");
    EXPECT_EQ(v.items[1].key, "");
    EXPECT_EQ(v.items[2].key, "361");

    const answers::ValueList only = answers::parseValueList(dos("Заголовок\r\n"));
    EXPECT_EQ(u8(only.title), "Заголовок");
    EXPECT_TRUE(only.items.empty());
}

TEST(AnswerFormat, ServerErrorLayout) {
    const answers::ServerError e = answers::parseServerError("E-Unknown word: 12 : 7 more");
    EXPECT_EQ(e.message, "Unknown word");
    EXPECT_EQ(e.line, 12);
    EXPECT_EQ(e.position, 7);
    EXPECT_EQ(answers::parseServerError("E-no numbers: here").line, 0);
}

} // namespace
} // namespace fc
