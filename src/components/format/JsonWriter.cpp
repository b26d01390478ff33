#include "components/format/JsonWriter.h"

#include "components/text/Cp1251.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace fc {

void JsonWriter::newline(std::size_t depth) {
    out_ += '\n';
    out_.append(depth * 2, ' ');
}

void JsonWriter::prefix() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (stack_.empty()) {
        return;
    }
    Frame& f = stack_.back();
    if (!f.first) {
        out_ += ',';
    }
    if (f.oneLine) {
        if (!f.first) {
            out_ += ' ';
        }
    } else {
        newline(stack_.size());
    }
    f.first = false;
}

void JsonWriter::beginObject(bool oneLine) {
    prefix();
    out_ += '{';
    stack_.push_back({oneLine || (!stack_.empty() && stack_.back().oneLine), true});
}

void JsonWriter::beginArray(bool oneLine) {
    prefix();
    out_ += '[';
    stack_.push_back({oneLine || (!stack_.empty() && stack_.back().oneLine), true});
}

void JsonWriter::endObject() {
    Frame f = stack_.back();
    stack_.pop_back();
    if (!f.first && !f.oneLine) {
        newline(stack_.size());
    }
    out_ += '}';
}

void JsonWriter::endArray() {
    Frame f = stack_.back();
    stack_.pop_back();
    if (!f.first && !f.oneLine) {
        newline(stack_.size());
    }
    out_ += ']';
}

void JsonWriter::key(std::string_view utf8) {
    prefix();
    quoted(utf8);
    out_ += ": ";
    afterKey_ = true;
}

void JsonWriter::quoted(std::string_view s) {
    out_ += '"';
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out_ += "\\\""; break;
        case '\\': out_ += "\\\\"; break;
        case '\n': out_ += "\\n"; break;
        case '\r': out_ += "\\r"; break;
        case '\t': out_ += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out_ += buf;
            } else {
                out_ += ch;
            }
        }
    }
    out_ += '"';
}

void JsonWriter::value(std::string_view utf8) {
    prefix();
    quoted(utf8);
}

void JsonWriter::value(double d) {
    prefix();
    if (!std::isfinite(d)) {
        out_ += "null";
        return;
    }
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, d);
    out_.append(buf, res.ptr);
}

void JsonWriter::value(int i) {
    prefix();
    out_ += std::to_string(i);
}

void JsonWriter::value(bool b) {
    prefix();
    out_ += b ? "true" : "false";
}

void JsonWriter::null() {
    prefix();
    out_ += "null";
}

void JsonWriter::text(std::string_view cp1251) {
    prefix();
    quoted(cp1251::toUtf8(cp1251));
}

std::string JsonWriter::take() {
    std::string s = std::move(out_);
    out_.clear();
    if (stack_.empty()) {
        s += '\n';
    }
    return s;
}

} // namespace fc
