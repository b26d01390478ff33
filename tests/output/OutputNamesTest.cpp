#include "output/OutputNames.h"

#include "components/text/Cp1251.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

TEST(OutputNames, CaptionsLoseWhatAFileNameCannotHold) {
    EXPECT_EQ(cp1251::toUtf8(output::cleanTitle(w("Сальдо: 62/1"))), "Сальдо621");
    EXPECT_EQ(output::cleanTitle(" a * b ?c\"d<e>f|g\\h "), "abcdefgh");
    EXPECT_EQ(output::cleanTitle("::"), "");
    EXPECT_EQ(output::cleanTitle("plain name"), "plain name");
}

} // namespace
} // namespace fc
