#pragma once

#include <cstdint>
#include <string>

namespace fc {

enum class ValueKind : std::uint8_t { Empty, Number, Text, Boolean, Error };

enum class ErrorCode : std::uint8_t { None, Null, Div0, Value, Ref, Name, Num, NA };

// Spreadsheet spelling of an error value ("#DIV/0!" ...); empty for None.
const char* errorText(ErrorCode e);
// The error whose spelling is `text`, or None.
ErrorCode errorFromText(const std::string& text);

// A cell's value: what a formula yields and what a cell holds. Texts are Windows-1251.
struct Value {
    ValueKind kind = ValueKind::Empty;
    ErrorCode error = ErrorCode::None;
    double number = 0; // Number, and Boolean as 0 or 1
    std::string text;  // Text

    static Value empty() { return {}; }
    static Value fromNumber(double d) { return {ValueKind::Number, ErrorCode::None, d, {}}; }
    static Value fromBool(bool b) {
        return {ValueKind::Boolean, ErrorCode::None, b ? 1.0 : 0.0, {}};
    }
    static Value fromText(std::string s) {
        return {ValueKind::Text, ErrorCode::None, 0, std::move(s)};
    }
    static Value fromError(ErrorCode e) { return {ValueKind::Error, e, 0, {}}; }

    bool isEmpty() const { return kind == ValueKind::Empty; }
    bool isNumber() const { return kind == ValueKind::Number; }
    bool isText() const { return kind == ValueKind::Text; }
    bool isBool() const { return kind == ValueKind::Boolean; }
    bool isError() const { return kind == ValueKind::Error; }

    friend bool operator==(const Value& a, const Value& b) {
        return a.kind == b.kind && a.error == b.error && a.number == b.number && a.text == b.text;
    }
    friend bool operator!=(const Value& a, const Value& b) { return !(a == b); }
};

} // namespace fc
