// What the formula line editor shows for a statement line.
#include "language/EditorCheck.h"

#include "CheckCases.h"
#include "Messages.h"

#include "components/text/Cp1251.h"

#include <sstream>

namespace fc::testing {
namespace {

// "R" red, "G" grey, "K" black, "X" red underlined and struck out: one letter a character.
std::string picture(const EditorCheck& e) {
    std::string out;
    for (const EditorSpan& s : e.spans) {
        char c = '?';
        if (s.underline && s.strikeout && s.color == kStatementRed) {
            c = 'X';
        } else if (!s.underline && !s.strikeout) {
            c = s.color == kStatementRed     ? 'R'
                : s.color == kStatementGray  ? 'G'
                : s.color == kStatementBlack ? 'K'
                                             : '?';
        }
        EXPECT_EQ(s.start, static_cast<int>(out.size())) << "spans leave no gaps";
        EXPECT_GT(s.length, 0);
        out += std::string(static_cast<std::size_t>(s.length), c);
    }
    return out;
}

struct EditorCase {
    const char* name;
    const char* text; // UTF-8
    const char* picture;
    const char* status; // UTF-8
};

class EditorText : public ::testing::TestWithParam<EditorCase> {};

TEST_P(EditorText, IsColouredAndExplained) {
    const EditorCase& c = GetParam();
    Checker checker(sampleTable());
    const EditorCheck e = checkEditorText(checker, w(c.text));
    EXPECT_EQ(picture(e), c.picture) << c.text;
    EXPECT_EQ(cp1251::toUtf8(e.status), c.status) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, EditorText,
    ::testing::Values(EditorCase{"keyword", "STOP", "RRRR", ""},
                      EditorCase{"keywordThenText", "STOP here", "RRRRGGGGG", ""},
                      EditorCase{"factKeyword", "FACT ta 1", "RRRRGGGGG", ""},
                      EditorCase{"serviceInstruction", ";fix=1", "RRRRRR", ""},
                      EditorCase{"serviceIndented", "  ;fix", "RRRRRR", ""},
                      EditorCase{"wholeLineKeyword", "ELSE foo", "RRRRRRRR", ""},
                      EditorCase{"statement", "A=5", "GGG", ""},
                      EditorCase{"comment", "*note", "GGGGG", ""},
                      EditorCase{"plainText", "hello", "KKKKK", ""},
                      EditorCase{"plainIndented", "  hello", "RRKKKKK", ""},
                      // the sheet checks a line trimmed, and so does the editor: the blank in
                      // front is red with the keyword, and an error lands on its character
                      EditorCase{"keywordAfterBlank", " STOP", "RRRRR", ""},
                      EditorCase{"keywordErrorAfterBlank", " FACT zz", "RRRRRRXX",
                                 msg::kFactMismatch},
                      EditorCase{"errorAfterBlanks", "  X=(1+2", "RRRRRRRR", msg::kNeedParen},
                      EditorCase{"unknownAfterBlank", " [XY 5]", "RRXXXXX", msg::kUnknownFunction},
                      EditorCase{"errorInside", "A=[EK 41 2]", "RRRRRRRRRXX", msg::kNeedBracket},
                      EditorCase{"errorAtStart", "[XY 5]", "RXXXXX", msg::kUnknownFunction},
                      EditorCase{"errorAtEnd", "X=(1+2", "RRRRRR", msg::kNeedParen},
                      EditorCase{"errorAtEndWithBlanks", "X=(1+2  ", "RRRRRRXX", msg::kNeedParen},
                      EditorCase{"everyTooShort", "EVERY", "RRRRR", msg::kNeedEveryWord},
                      EditorCase{"everyWrongWord", "EVERY WEEK", "RRRRRRXXXX", msg::kNeedEveryWord},
                      EditorCase{"empty", "", "", ""}),
    [](const auto& i) { return std::string(i.param.name); });

} // namespace
} // namespace fc::testing
