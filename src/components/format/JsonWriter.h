#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fc {

// Writes JSON text with a fixed layout (two-blank indents, keys in the order given), so that
// the same data always gives the same bytes. Containers opened with `oneLine` are written on
// a single line, which keeps a dump of many small records readable.
class JsonWriter {
public:
    void beginObject(bool oneLine = false);
    void endObject();
    void beginArray(bool oneLine = false);
    void endArray();
    void key(std::string_view utf8);

    void value(std::string_view utf8);
    void value(const char* utf8) { value(std::string_view(utf8)); }
    void value(double d); // shortest form that reads back the same; non-finite gives null
    void value(int i);
    void value(bool b);
    void null();
    // A Windows-1251 text, written as UTF-8.
    void text(std::string_view cp1251);

    // Shorthands for a key and its value.
    template <typename T>
    void field(std::string_view k, const T& v) {
        key(k);
        value(v);
    }
    void textField(std::string_view k, std::string_view cp1251) {
        key(k);
        text(cp1251);
    }

    // The text so far, ended by a newline once every container is closed.
    std::string take();

private:
    struct Frame {
        bool oneLine;
        bool first;
    };
    void prefix();
    void newline(std::size_t depth);
    void quoted(std::string_view utf8);

    std::string out_;
    std::vector<Frame> stack_;
    bool afterKey_ = false;
};

} // namespace fc
