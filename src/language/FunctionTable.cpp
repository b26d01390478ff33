#include "language/FunctionTable.h"

#include "language/LineCursor.h"

#include <algorithm>

namespace fc {

namespace {

struct Function {
    std::string_view name;
    const char* shape;
};

constexpr const char* kAccountOptExpr = "a[e";
constexpr const char* kAccountOptTwoExpr = "a[e,e";
constexpr const char* kTwoAccountsOptTwoExpr = "a,a[e,e";
constexpr const char* kTwoAccounts = "a,a";
constexpr const char* kAccount = "a";
constexpr const char* kAccountTwoOptExpr = "a[e[e";
constexpr const char* kAccountExpr = "a,e";
constexpr const char* kAccountTwoExpr = "a,e,e";
constexpr const char* kAccountExprTwoOpt = "a,e[e[e";
constexpr const char* kExpr = "e";
constexpr const char* kExprOptAccount = "e[a";
constexpr const char* kTwoExpr = "e,e";
constexpr const char* kThreeExpr = "e,e,e";
constexpr const char* kNoneOrThreeExpr = "0e,e,e";
constexpr const char* kExprList = "M";
constexpr const char* kNone = "";

// No name here is the beginning of another, so at most one matches a text.
constexpr Function kFunctions[] = {
    {"EK", kAccountOptExpr},
    {"ED", kAccountOptExpr},
    {"EA", kAccountOptExpr},
    {"BK", kAccountOptExpr},
    {"BD", kAccountOptExpr},
    {"BA", kAccountOptExpr},
    {"NP", kAccountOptExpr},
    {"OK", kAccountOptTwoExpr},
    {"OD", kAccountOptTwoExpr},
    {"OP", kTwoAccountsOptTwoExpr},
    {"MP", kTwoAccounts},
    {"AP", kTwoAccounts},
    {"AK", kAccount},
    {"AD", kAccount},
    {"MK", kAccount},
    {"MD", kAccount},
    {"NA", kAccount},
    {"N1", kAccount},
    {"N2", kAccount},
    {"AA", kAccount},
    {"AS", kAccount},
    {"PA", kAccount},
    {"IA", kAccount},
    {"EX", kAccount},
    {"BP", kAccountTwoOptExpr},
    {"EP", kAccountTwoOptExpr},
    {"SA", kAccountExpr},
    {"SET", kAccountTwoExpr},
    {"PLUS", kAccountTwoExpr},
    {"GET", kAccountExprTwoOpt},
    {"CE", kExpr},
    {"RO", kExpr},
    {"TR", kExpr},
    {"CH", kExpr},
    {"VL", kExpr},
    {"JF", kExpr},
    {"FE", kExpr},
    {"IY", kExpr},
    {"CT", kExpr},
    {"GED", kExpr},
    {"TYPE", kExpr},
    {"STRIP", kExpr},
    {"STAMP", kExpr},
    {"INTSN", kExpr},
    {"LENGTH", kExpr},
    {"ANTIDA", kExpr},
    {"FACT_F", kExpr},
    {"WIN", kExpr},
    {"DIR", kExpr},
    {"DOS", kExpr},
    {"ABS", kExpr},
    {"WN", kExprOptAccount},
    {"DT", kTwoExpr},
    {"HZ", kTwoExpr},
    {"PS", kTwoExpr},
    {"TA", kTwoExpr},
    {"SF", kTwoExpr},
    {"SED", kTwoExpr},
    {"IS", kThreeExpr},
    {"IR", kThreeExpr},
    {"SN", kThreeExpr},
    {"CP", kThreeExpr},
    {"RU", kThreeExpr},
    {"DLLCALL", kThreeExpr},
    {"DA", kNoneOrThreeExpr},
    {"DW", kNoneOrThreeExpr},
    {"IM", kExprList},
    {"CO", kNone},
    {"RE", kNone},
    {"TM", kNone},
    {"F1", kNone},
    {"F2", kNone},
    {"SELECTED", kNone},
    {"USER", kNone},
    {"VER", kNone},
    {"SUCCESS", kNone},
    {"UNICFILE", kNone},
    {"FOUND", kNone},
    {"FACT_Y", kNone},
    {"FACT_M", kNone},
    {"FACT_D", kNone},
};

constexpr const char* kSingleLetter = "e[e";

std::size_t matchedLength(std::string_view name, std::string_view text) {
    std::size_t n = std::min(name.size(), text.size());
    std::size_t i = 0;
    while (i < n &&
           upperLatin(static_cast<unsigned char>(text[i])) == static_cast<unsigned char>(name[i])) {
        ++i;
    }
    return i;
}

} // namespace

const char* matchFunction(std::string_view text, std::size_t* length) {
    if (text.size() >= 2 && isLetter(static_cast<unsigned char>(text[0])) && text[1] == ' ') {
        *length = 1;
        return kSingleLetter;
    }
    // Names are told apart by their first two letters; a longer name is then verified letter
    // by letter, and the error points at the first letter that differs.
    std::size_t furthest = 0;
    for (const Function& f : kFunctions) {
        std::size_t m = matchedLength(f.name, text);
        if (m == f.name.size()) {
            *length = m;
            return f.shape;
        }
        if (m >= 2) {
            furthest = std::max(furthest, m);
        }
    }
    *length = furthest;
    return nullptr;
}

} // namespace fc
