#pragma once

#include "language/Checker.h"
#include "language/PrototypeTable.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

// Tables of statement lines for the checker tests: lines that are right, with their class and
// keyword length, and lines that are wrong, with their message and error position. Texts are
// UTF-8 as the user reads them.
namespace fc::testing {

struct GoodLine {
    const char* name;
    const char* line;
    const char* cls; // "RED", "Gray" or "" (plain)
    int keyword;
};

struct BadLine {
    const char* name;
    const char* line;
    const char* message;
    int position; // 1-based
};

// The built-in prototype and two more, as the server sends them (code page 866):
//   2: "ob % на % за %"   3: "sum %: %"
const PrototypeTable& sampleTable();

CheckResult checkUtf8(const PrototypeTable& table, const std::string& utf8Line);

class GoodLines : public ::testing::TestWithParam<GoodLine> {};
class BadLines : public ::testing::TestWithParam<BadLine> {};

inline void PrintTo(const GoodLine& c, std::ostream* os) { *os << '"' << c.line << '"'; }
inline void PrintTo(const BadLine& c, std::ostream* os) { *os << '"' << c.line << '"'; }

inline std::string caseName(const ::testing::TestParamInfo<GoodLine>& i) { return i.param.name; }
inline std::string caseName(const ::testing::TestParamInfo<BadLine>& i) { return i.param.name; }

} // namespace fc::testing

#define FC_GOOD_LINES(group, table)                                                                \
    INSTANTIATE_TEST_SUITE_P(group, GoodLines, ::testing::ValuesIn(table),                         \
                             [](const auto& i) { return caseName(i); })
#define FC_BAD_LINES(group, table)                                                                 \
    INSTANTIATE_TEST_SUITE_P(group, BadLines, ::testing::ValuesIn(table),                          \
                             [](const auto& i) { return caseName(i); })
