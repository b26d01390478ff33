#pragma once

#include <algorithm>
#include <string_view>

namespace fc::xls {

struct XlsFunction {
    int index;
    const char* name;
    int minArgs;
    int maxArgs;
    char result;      // 'R', 'V' or 'A'
    const char* args; // class of each argument, the last one repeating
    char argClass(int i) const;
};

// Case-insensitive; null for a function Excel 97 files cannot name.
const XlsFunction* functionByName(std::string_view name);
const XlsFunction* functionByIndex(int index);

} // namespace fc::xls
