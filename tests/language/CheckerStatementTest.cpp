// Statement forms and keyword statements: which rule a line falls under, its class, its
// keyword length, and the error each form reports.
#include "CheckCases.h"
#include "Messages.h"

namespace fc::testing {
namespace {

using namespace msg;

const GoodLine kStatementFormsGood[] = {
    {"bangExpression", "!A+1", "Gray", 0},
    {"bangAlone", "!", "Gray", 0},
    {"bangThenBlanks", "!   ", "Gray", 0},
    {"functionStatement", "[EK 41]", "Gray", 0},
    {"functionThenAnything", "[CO] whatever ) (", "Gray", 0},
    {"ifExpression", "IF A=1", "Gray", 0},
    {"ifLowerCase", "if a<>b", "Gray", 0},
    {"ifAlone", "IF", "Gray", 0},
    {"ifIndented", "   IF X>1", "Gray", 0},
    {"ifSplitByBlank", "I F X", "Gray", 0},
    {"question", "?A", "Gray", 0},
    {"questionBlanksBeforeName", "?  AB", "Gray", 0},
    {"questionDollar", "?$", "Gray", 0},
    {"assignment", "A=5", "Gray", 0},
    {"assignmentTwoLetters", "AB = 5", "Gray", 0},
    {"assignmentDollar", "$=1", "Gray", 0},
    {"assignmentDigitName", "A1=B2+1", "Gray", 0},
    {"assignmentIndented", "  X = 'a'", "Gray", 0},
    {"hashWord", "#label", "Gray", 0},
    {"hashAlone", "#", "Gray", 0},
    {"label", ":loop1", "Gray", 0},
    {"labelLong", ":averyveryverylonglabelname", "Gray", 0},
    {"serviceInstruction", ";fix=1", "RED", 255},
    {"serviceIndented", "  ;EDIT", "RED", 255},
    {"serviceNotExamined", ";[[[ ((", "RED", 255},
    {"comment", "*comment", "Gray", 0},
    {"commentIndented", "  * note", "Gray", 0},
    {"plainCyrillic", "Итого по счету", "", 0},
    {"plainLatin", "hello world", "", 0},
    {"plainEmpty", "", "", 0},
    {"plainBlanks", "    ", "", 0},
    {"plainKeywordAfterBlank", " STOP", "", 0},
    {"plainFactAfterBlank", " FACT zz", "", 0},
};
FC_GOOD_LINES(StatementForms, kStatementFormsGood);

const BadLine kStatementFormsBad[] = {
    {"bangOperator", "!=", kUnexpected, 2},
    {"bangUnclosed", "!(A", kNeedParen, 4},
    {"questionDigit", "?1", kNeedVariable, 2},
    {"questionAlone", "?", kNeedVariable, 2},
    {"questionBlank", "? ", kNeedVariable, 3},
    {"ifUnclosed", "IF (A", kNeedParen, 6},
    {"assignmentEmpty", "A=", kUnexpected, 3},
    {"assignmentWithoutEquals", "A+=1", kUnexpected, 2},
    {"assignmentDollarThenLetter", "$A=1", kUnexpected, 2},
    {"functionUnnamed", "[", kUnknownFunction, 2},
    {"functionUnclosed", "[EK 41", kNeedBracket, 7},
};
FC_BAD_LINES(StatementForms, kStatementFormsBad);

const GoodLine kKeywordsGood[] = {
    {"stop", "STOP", "RED", 4},
    {"stopper", "STOPPER", "RED", 4},
    {"stopLowerCase", "stop", "RED", 4},
    {"else", "ELSE", "RED", 254},
    {"elseNotExamined", "ELSEWHERE x(", "RED", 254},
    {"endif", "ENDIF", "RED", 5},
    {"endwhile", "ENDWHILE", "RED", 8},
    {"endfor", "ENDFOR", "RED", 6},
    {"returnStatement", "RETURN", "RED", 6},
    {"prolog", "PROLOG", "RED", 6},
    {"epilog", "EPILOG", "RED", 6},
    {"error", "ERROR Нет данных", "RED", 254},
    {"printstr", "PRINTSTR 'Итого: '+A", "Gray", 0},
    {"printstrAlone", "PRINTSTR", "Gray", 0},
    {"forLoop", "FOR I=1", "Gray", 0},
    {"formatCountsAsFor", "FORMAT", "Gray", 0},
    {"whileLoop", "WHILE X<10", "Gray", 0},
    {"gotoLabel", "GOTO loop1", "Gray", 0},
    {"gotoAlone", "GOTO", "Gray", 0},
    {"callLabel", "CALL sub", "Gray", 0},
};
FC_GOOD_LINES(Keywords, kKeywordsGood);

const BadLine kKeywordsBad[] = {
    {"printstrOperator", "PRINTSTR +", kUnexpected, 10},
    {"whileOpenParen", "WHILE (", kUnexpected, 8},
    {"forEquals", "FOR=1", kUnexpected, 4},
};
FC_BAD_LINES(Keywords, kKeywordsBad);

const GoodLine kEveryGood[] = {
    {"day", "EVERY DAY", "RED", 5},
    {"debetLowerCase", "every debet", "RED", 5},
    {"operation", "EVERY OPERATION", "RED", 5},
    // Е, Е and Т typed on the Cyrillic keyboard
    {"debetCyrillic", "EVERY D\u0415B\u0415\u0422", "RED", 5},
    // о, р, е, а, т, о small Cyrillic
    {"operationSmallCyrillic", "EVERY \u043e\u0440\u0435r\u0430\u0442i\u043en", "RED", 5},
    {"backslashesSkipped", "EVERY D\\A\\Y\\", "RED", 5},
    {"trailingBlanks", "EVERY DAY   ", "RED", 5},
    {"glued", "EVERYDAY", "RED", 5},
    {"thenMore", "EVERY DAY X", "RED", 5},
};
FC_GOOD_LINES(Every, kEveryGood);

const BadLine kEveryBad[] = {
    {"week", "EVERY WEEK", kNeedEveryWord, 7},
    {"twoBlanks", "EVERY  DAYS", kNeedEveryWord, 7},
    {"gluedWrong", "EVERYDAYS", kNeedEveryWord, 7},
    // У looks like Y but is not one of the look-alikes
    {"cyrillicU", "EVERY D\u0410\u0423", kNeedEveryWord, 7},
    // the word is missing where it should stand, past the end of the line
    {"nothing", "EVERY", kNeedEveryWord, 7},
    {"nothingButBlanks", "EVERY  ", kNeedEveryWord, 7},
};
FC_BAD_LINES(Every, kEveryBad);

const GoodLine kRewindGood[] = {
    {"buffer", "REWIND BUFFER", "RED", 6},
    {"factsLowerCase", "rewind facts", "RED", 6},
    {"range", "REWIND FACTS RANGE 1,2", "RED", 6},
    {"rangeExpressions", "REWIND FACTS RANGE A+1 , [CE B]", "RED", 6},
    {"bufferNotExamined", "REWIND BUFFER ((", "RED", 6},
    {"factsTrailingBlanks", "REWIND FACTS   ", "RED", 6},
};
FC_GOOD_LINES(Rewind, kRewindGood);

const BadLine kRewindBad[] = {
    {"nothing", "REWIND", kNeedFactsOrBuffer, 7},
    {"otherWord", "REWIND XYZ", kNeedFactsOrBuffer, 8},
    {"factsOtherWord", "REWIND FACTS X", kNeedRangeOrEnd, 14},
    {"rangeWithoutComma", "REWIND FACTS RANGE 1 2", kNeedCommaLatin, 22},
    {"rangeEmpty", "REWIND FACTS RANGE", kUnexpected, 19},
    {"rangeWithoutHigh", "REWIND FACTS RANGE 1,", kUnexpected, 22},
};
FC_BAD_LINES(Rewind, kRewindBad);

const GoodLine kSortGood[] = {
    {"buffer", "SORT BUFFER A", "RED", 4},
    {"array", "SORT ARRAY A+1", "RED", 4},
    {"lowerCase", "sort array x", "RED", 4},
};
FC_GOOD_LINES(Sort, kSortGood);

const BadLine kSortBad[] = {
    {"otherWord", "SORT X", kNeedBufferOrArray, 6},
    {"nothing", "SORT", kNeedBufferOrArray, 5},
    {"withoutKey", "SORT BUFFER", kUnexpected, 12},
};
FC_BAD_LINES(Sort, kSortBad);

const GoodLine kArrayGood[] = {
    {"name", "ARRAY A(10)", "RED", 254},
    {"percent", "ARRAY %", "RED", 254},
    {"blanks", "ARRAY   x", "RED", 254},
};
FC_GOOD_LINES(Array, kArrayGood);

const BadLine kArrayBad[] = {
    {"digit", "ARRAY 5", kUnexpected, 7},
    {"nothing", "ARRAY", kUnexpected, 6},
};
FC_BAD_LINES(Array, kArrayBad);

} // namespace
} // namespace fc::testing
