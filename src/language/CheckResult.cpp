#include "language/CheckResult.h"

#include "components/text/Cp1251.h"

#include <array>
#include <string>

namespace fc {

namespace {

constexpr std::size_t kErrorCount = static_cast<std::size_t>(CheckError::NeedCaptureSecond) + 1;

const std::array<std::string, kErrorCount>& messages() {
    static const std::array<std::string, kErrorCount> texts = {
        std::string(),                                 // None
        w(" Должна идти '"),                           // StringNotClosed
        w(" Должно идти имя пеpеменной"),              // NeedVariable
        w(" Должно идти DAY или DEBET или OPERATION"), // NeedEveryWord
        w("Неожиданный символ"),                       // Unexpected
        w("Должно идти FACTS или BUFFER"),             // NeedFactsOrBuffer
        w("Должен идти RANGE или конец стpоки"),       // NeedRangeOrEnd
        w("Должнa идти \",\""),                        // NeedCommaLatin
        w("Должно идти BUFFER или ARRAY"),             // NeedBufferOrArray
        w(" Должно идти \"..\""),                      // NeedDots
        w("Должна идти \")\""),                        // NeedParen
        w(" Неизвестная функция"),                     // UnknownFunction
        w("Должна идти \",\""),                        // NeedComma
        w("Должна идти \",\" или \"]\""),              // NeedCommaOrBracket
        w("Должна идти \"]\""),                        // NeedBracket
        w("Должно идти выpажение"),                    // NeedExpression
        w("Несоответствие факта пpототипу"),           // FactMismatch
        w("Должно идти описание искомого"),            // NeedPattern
        w("Несоответствие опеpатоpа пpототипу"),       // OperatorMismatch
        w("должно идти имя пеpеменной или \"?\""),     // NeedCaptureName
        w("должно идти имя пеpеменной"),               // NeedCaptureSecond
    };
    return texts;
}

} // namespace

std::string_view checkMessage(CheckError e) {
    const auto i = static_cast<std::size_t>(e);
    return i < kErrorCount ? std::string_view(messages()[i]) : std::string_view();
}

LineClass classify(const CheckResult& r) {
    if (!r.ok()) {
        return LineClass::Strike;
    }
    if (r.keywordLength > 0) {
        return LineClass::Red;
    }
    return r.plainText ? LineClass::Plain : LineClass::Gray;
}

std::string_view lineClassText(LineClass c) {
    switch (c) {
    case LineClass::Strike: return "STRIKE";
    case LineClass::Red: return "RED";
    case LineClass::Gray: return "Gray";
    case LineClass::Plain: break;
    }
    return {};
}

} // namespace fc
