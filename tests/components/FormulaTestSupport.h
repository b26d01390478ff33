#pragma once

#include "components/model/Value.h"
#include "components/text/Cp1251.h"

#include <ostream>
#include <string>

namespace fc {

// Failures print values as a cell would show them, texts in UTF-8.
inline void PrintTo(const Value& v, std::ostream* os) {
    switch (v.kind) {
    case ValueKind::Empty: *os << "<empty>"; break;
    case ValueKind::Number: *os << v.number; break;
    case ValueKind::Boolean: *os << (v.number != 0 ? "TRUE" : "FALSE"); break;
    case ValueKind::Text: *os << '"' << cp1251::toUtf8(v.text) << '"'; break;
    case ValueKind::Error: *os << errorText(v.error); break;
    }
}

namespace testvalues {
inline Value N(double d) { return Value::fromNumber(d); }
inline Value T(const std::string& utf8) { return Value::fromText(w(utf8)); }
inline Value B(bool b) { return Value::fromBool(b); }
inline Value E(ErrorCode e) { return Value::fromError(e); }
} // namespace testvalues

} // namespace fc
