#pragma once

// The checker's messages as the user reads them (UTF-8), for comparing in tests.
namespace fc::msg {

constexpr const char* kStringNotClosed = " Должна идти '";
constexpr const char* kNeedVariable = " Должно идти имя пеpеменной";
constexpr const char* kNeedEveryWord = " Должно идти DAY или DEBET или OPERATION";
constexpr const char* kUnexpected = "Неожиданный символ";
constexpr const char* kNeedFactsOrBuffer = "Должно идти FACTS или BUFFER";
constexpr const char* kNeedRangeOrEnd = "Должен идти RANGE или конец стpоки";
constexpr const char* kNeedCommaLatin = "Должнa идти \",\"";
constexpr const char* kNeedBufferOrArray = "Должно идти BUFFER или ARRAY";
constexpr const char* kNeedDots = " Должно идти \"..\"";
constexpr const char* kNeedParen = "Должна идти \")\"";
constexpr const char* kUnknownFunction = " Неизвестная функция";
constexpr const char* kNeedComma = "Должна идти \",\"";
constexpr const char* kNeedCommaOrBracket = "Должна идти \",\" или \"]\"";
constexpr const char* kNeedBracket = "Должна идти \"]\"";
constexpr const char* kNeedExpression = "Должно идти выpажение";
constexpr const char* kFactMismatch = "Несоответствие факта пpототипу";
constexpr const char* kNeedPattern = "Должно идти описание искомого";
constexpr const char* kOperatorMismatch = "Несоответствие опеpатоpа пpототипу";
constexpr const char* kNeedCaptureName = "должно идти имя пеpеменной или \"?\"";
constexpr const char* kNeedCaptureSecond = "должно идти имя пеpеменной";

} // namespace fc::msg
