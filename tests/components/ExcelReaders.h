#pragma once

#include <QJsonObject>

#include <string>

namespace fc::test {

// Runs tests/components/excel/`script` with the system interpreter over `file` and returns
// the JSON it prints. `skip` is set with the reason when the interpreter or the Python
// module the script needs is missing; `error` when the script failed.
QJsonObject runReader(const std::string& script, const std::string& file, std::string& skip,
                      std::string& error, const std::string& option = {});

// A fresh directory for one test's files, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string path(const std::string& name) const;

private:
    std::string dir_;
};

} // namespace fc::test

// Reads `file` with `script` into `json`, or skips/fails the current test.
#define FC_READ_WITH(script, file, json) FC_READ_WITH_OPTION(script, file, "", json)
// The same with one option for the script (e.g. "--only=1,1;2,3").
#define FC_READ_WITH_OPTION(script, file, option, json)                                            \
    QJsonObject json;                                                                              \
    {                                                                                              \
        std::string skip_, error_;                                                                 \
        json = ::fc::test::runReader(script, file, skip_, error_, option);                         \
        if (!skip_.empty()) {                                                                      \
            GTEST_SKIP() << skip_;                                                                 \
        }                                                                                          \
        ASSERT_TRUE(error_.empty()) << error_;                                                     \
    }
