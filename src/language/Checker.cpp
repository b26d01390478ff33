#include "language/Checker.h"

#include "components/text/CodePage.h"
#include "language/Expressions.h"
#include "language/LineCursor.h"
#include "language/PrototypeTable.h"

#include <array>

namespace fc {

namespace {

using grammar::expression;

enum class Then { Nothing, ExpressionUnlessEnd, Label, Every, Fact, Pattern, Rewind, Sort, Array };

struct Keyword {
    std::string_view word;
    int length;
    Then then;
};

// Tried in this order, each as a prefix of the line: "FORMAT" is a FOR statement.
constexpr Keyword kKeywords[] = {
    {"STOP", 4, Then::Nothing},
    {"ELSE", kWholeLineKeyword, Then::Nothing},
    {"ENDIF", 5, Then::Nothing},
    {"ENDWHILE", 8, Then::Nothing},
    {"ENDFOR", 6, Then::Nothing},
    {"PRINTSTR", 0, Then::ExpressionUnlessEnd},
    {"FOR", 0, Then::ExpressionUnlessEnd},
    {"RETURN", 6, Then::Nothing},
    {"GOTO", 0, Then::Label},
    {"CALL", 0, Then::Label},
    {"ERROR", kWholeLineKeyword, Then::Nothing},
    {"EVERY", 5, Then::Every},
    {"PROLOG", 6, Then::Nothing},
    {"EPILOG", 6, Then::Nothing},
    {"FACT", 4, Then::Fact},
    {"SEARCH", 6, Then::Pattern},
    {"SELECT", 6, Then::Pattern},
    {"TOTAL", 5, Then::Pattern},
    {"NEWS", 4, Then::Pattern},
    {"ERASE", 5, Then::Pattern},
    {"NERASE", 6, Then::Pattern},
    {"REWIND", 6, Then::Rewind},
    {"SORT", 4, Then::Sort},
    {"WHILE", 0, Then::ExpressionUnlessEnd},
    {"ARRAY", kWholeLineKeyword, Then::Array},
};

// EVERY's word is reported at the seventh character, where it stands after "EVERY ".
constexpr std::size_t kEveryWordPos = 6;

constexpr unsigned char kBackquote = 96;

bool startsWithUpper(std::string_view text, std::string_view upperWord) {
    if (text.size() < upperWord.size()) {
        return false;
    }
    for (std::size_t i = 0; i < upperWord.size(); ++i) {
        if (upperLatin(static_cast<unsigned char>(text[i])) !=
            static_cast<unsigned char>(upperWord[i])) {
            return false;
        }
    }
    return true;
}

bool equalsUpper(std::string_view text, std::string_view upperWord) {
    return text.size() == upperWord.size() && startsWithUpper(text, upperWord);
}

std::array<unsigned char, 256> makeFoldTable() {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i) {
        t[static_cast<std::size_t>(i)] = upperLatin(static_cast<unsigned char>(i));
    }
    for (int i = 0xA0; i <= 0xAF; ++i) { // а..п
        t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i - 0x20);
    }
    for (int i = 0xE0; i <= 0xEF; ++i) { // р..я
        t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i - 0x50);
    }
    for (int i : {0xF1, 0xF5, 0xF7, 0xF9}) { // ё є і ї
        t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i - 1);
    }
    // Capital and small Cyrillic letters drawn like Latin ones: А В Е К М Н О Р С Т Х.
    const std::pair<int, char> alike[] = {{0x80, 'A'}, {0x82, 'B'}, {0x85, 'E'}, {0x8A, 'K'},
                                          {0x8C, 'M'}, {0x8D, 'H'}, {0x8E, 'O'}, {0x90, 'P'},
                                          {0x91, 'C'}, {0x92, 'T'}, {0x95, 'X'}};
    for (const auto& [capital, latin] : alike) {
        const int small = capital < 0x90 ? capital + 0x20 : capital + 0x50;
        t[static_cast<std::size_t>(capital)] = static_cast<unsigned char>(latin);
        t[static_cast<std::size_t>(small)] = static_cast<unsigned char>(latin);
    }
    return t;
}

const std::array<unsigned char, 256> kFold = makeFoldTable();

std::size_t endWithoutTrailingBlanks(std::string_view s) {
    std::size_t e = s.size();
    while (e > 0 && (s[e - 1] == ' ' || s[e - 1] == '\\')) {
        --e;
    }
    return e;
}

// "?" or the backquote, then a variable name or a second "?" or backquote.
void capture(LineCursor& c) {
    c.step();
    const unsigned char first = c.ch();
    if (first == '?' || first == kBackquote) {
        c.advance();
        return;
    }
    if (c.atEnd() || !(isLetter(first) || first == '$')) {
        c.fail(CheckError::NeedCaptureName);
        return;
    }
    c.step();
    const unsigned char second = c.ch();
    if (isLetter(second) || isDigit(second)) {
        c.step();
    } else if (!(c.atEnd() || second == ' ' || second == ',')) {
        c.fail(CheckError::NeedCaptureSecond);
        return;
    }
    c.skipBlanks();
}

// Fields after the prototype's name, each followed by the prototype's next fragment.
void prototypedFields(LineCursor& c, int proto, bool captures) {
    for (int k = 2;; ++k) {
        if (captures && (c.ch() == '?' || c.ch() == kBackquote)) {
            capture(c);
        } else {
            expression(c);
        }
        if (c.failed() || c.atEnd()) {
            return;
        }
        int length = 0;
        if (!c.prototypes.matchFragment(c.rest(), proto, k, &length)) {
            c.fail(CheckError::FactMismatch);
            return;
        }
        if (length == 0) {
            return;
        }
        c.skip(static_cast<std::size_t>(length));
        c.skipBlanks();
    }
}

void fact(LineCursor& c) {
    if (c.atEnd()) {
        c.fail(CheckError::NeedExpression);
        return;
    }
    int nameLength = 0;
    const int proto = c.prototypes.find(c.rest(), &nameLength);
    if (proto == 0) {
        c.fail(CheckError::FactMismatch);
        return;
    }
    c.skip(static_cast<std::size_t>(nameLength));
    c.skipBlanks();
    prototypedFields(c, proto, false);
}

void pattern(LineCursor& c) {
    if (c.atEnd()) {
        c.fail(CheckError::NeedPattern);
        return;
    }
    if (c.ch() == '?' || c.ch() == kBackquote) {
        for (;;) {
            if (c.ch() == '?' || c.ch() == kBackquote) {
                capture(c);
            } else {
                expression(c);
            }
            if (c.failed() || c.ch() != ',') {
                return;
            }
            c.advance();
        }
    }
    int nameLength = 0;
    const int proto = c.prototypes.find(c.rest(), &nameLength);
    if (proto == 0) {
        c.fail(CheckError::OperatorMismatch);
        return;
    }
    c.skip(static_cast<std::size_t>(nameLength));
    c.skipBlanks();
    prototypedFields(c, proto, true);
}

void every(LineCursor& c) {
    const std::string_view w = grammar::word(c);
    if (!foldEqual(w, "DAY") && !foldEqual(w, "DEBET") && !foldEqual(w, "OPERATION")) {
        // The seventh character even when the line ends before it ("EVERY" alone): the
        // word is missing there.
        c.error = CheckError::NeedEveryWord;
        c.errorPos = kEveryWordPos;
    }
}

void rewind(LineCursor& c) {
    const std::size_t start = c.pos;
    const std::string_view w = grammar::word(c);
    if (equalsUpper(w, "BUFFER")) {
        return;
    }
    if (!equalsUpper(w, "FACTS")) {
        c.failAt(CheckError::NeedFactsOrBuffer, start);
        return;
    }
    if (c.atEnd()) {
        return;
    }
    const std::size_t rangeStart = c.pos;
    if (!equalsUpper(grammar::word(c), "RANGE")) {
        c.failAt(CheckError::NeedRangeOrEnd, rangeStart);
        return;
    }
    expression(c);
    if (c.failed()) {
        return;
    }
    if (c.ch() != ',') {
        c.fail(CheckError::NeedCommaLatin);
        return;
    }
    c.advance();
    expression(c);
}

void sort(LineCursor& c) {
    const std::size_t start = c.pos;
    const std::string_view w = grammar::word(c);
    if (!equalsUpper(w, "BUFFER") && !equalsUpper(w, "ARRAY")) {
        c.failAt(CheckError::NeedBufferOrArray, start);
        return;
    }
    expression(c);
}

// Keyword statements begin at the very first character of the line. False when none matches.
bool keywordStatement(LineCursor& c, CheckResult& r) {
    for (const Keyword& k : kKeywords) {
        if (!startsWithUpper(c.line, k.word)) {
            continue;
        }
        r.keywordLength = k.length;
        c.pos = k.word.size();
        c.skipBlanks();
        switch (k.then) {
        case Then::Nothing: break;
        case Then::ExpressionUnlessEnd:
            if (!c.atEnd()) {
                expression(c);
            }
            break;
        case Then::Label: grammar::word(c); break;
        case Then::Every: every(c); break;
        case Then::Fact: fact(c); break;
        case Then::Pattern: pattern(c); break;
        case Then::Rewind: rewind(c); break;
        case Then::Sort: sort(c); break;
        case Then::Array:
            if (!isLetter(c.ch()) && c.ch() != '%') {
                c.fail(CheckError::Unexpected);
            }
            break;
        }
        return true;
    }
    return false;
}

void statement(LineCursor& c, CheckResult& r) {
    const std::string_view line = c.line;
    std::size_t first = 0;
    while (first < line.size() && line[first] == ' ') {
        ++first;
    }
    // The first four non-blank characters decide the statement form.
    unsigned char lead[4] = {' ', ' ', ' ', ' '};
    for (std::size_t i = first, n = 0; i < line.size() && n < 4; ++i) {
        if (line[i] != ' ') {
            lead[n++] = static_cast<unsigned char>(line[i]);
        }
    }
    c.pos = first;
    const unsigned char c1 = lead[0];
    if (c1 == '!') {
        c.advance();
        if (!c.atEnd()) {
            expression(c);
        }
    } else if (c1 == '[') {
        grammar::functionCall(c);
    } else if (upperLatin(c1) == 'I' && upperLatin(lead[1]) == 'F') {
        c.advance();
        c.advance();
        if (!c.atEnd()) {
            expression(c);
        }
    } else if (c1 == '?') {
        c.advance();
        if (!grammar::variableName(c)) {
            c.fail(CheckError::NeedVariable);
        }
    } else if ((isLetter(c1) || c1 == '$') && (lead[1] == '=' || lead[2] == '=')) {
        grammar::variableName(c);
        if (c.ch() != '=') {
            c.fail(CheckError::Unexpected);
            return;
        }
        c.advance();
        expression(c);
    } else if (c1 == '#' || c1 == ':') {
        c.advance();
        grammar::word(c);
    } else if (c1 == ';') {
        r.keywordLength = kServiceInstruction;
    } else if (first == 0 && keywordStatement(c, r)) {
        // checked by keywordStatement
    } else {
        r.plainText = c1 != '*';
    }
}

} // namespace

bool foldEqual(std::string_view a, std::string_view b) {
    const std::size_t ea = endWithoutTrailingBlanks(a);
    const std::size_t eb = endWithoutTrailingBlanks(b);
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        while (i < ea && a[i] == '\\') {
            ++i;
        }
        while (j < eb && b[j] == '\\') {
            ++j;
        }
        if (i == ea || j == eb) {
            return i == ea && j == eb;
        }
        if (kFold[static_cast<unsigned char>(a[i])] != kFold[static_cast<unsigned char>(b[j])]) {
            return false;
        }
        ++i;
        ++j;
    }
}

CheckResult Checker::checkDosLine(std::string_view dosLine) const {
    LineCursor c(dosLine, prototypes_);
    CheckResult r;
    statement(c, r);
    if (c.failed()) {
        r.error = c.error;
        r.message = checkMessage(c.error);
        r.errorPosition = static_cast<int>(c.errorPos) + 1;
    }
    return r;
}

CheckResult Checker::checkLine(std::string_view line) {
    dos_.resize(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        dos_[i] = static_cast<char>(codepage::toDos(static_cast<unsigned char>(line[i])));
    }
    return checkDosLine(dos_);
}

} // namespace fc
