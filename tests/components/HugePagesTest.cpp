#include "components/platform/HugePages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace fc {
namespace {

TEST(HugePages, RestartsOnlyWhenTheKernelWaitsToBeAskedAndNobodyChose) {
    const std::string madvise = "always [madvise] never\n";
    EXPECT_EQ(hugePageTunables(nullptr, madvise), "glibc.malloc.hugetlb=1");
    EXPECT_EQ(hugePageTunables("", madvise), "glibc.malloc.hugetlb=1");
    // Other settings are kept.
    EXPECT_EQ(hugePageTunables("glibc.malloc.arena_max=2", madvise),
              "glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1");
    // Whoever set the huge page setting decided, either way.
    EXPECT_EQ(hugePageTunables("glibc.malloc.hugetlb=0", madvise), std::nullopt);
    EXPECT_EQ(hugePageTunables("glibc.malloc.hugetlb=1", madvise), std::nullopt);
    EXPECT_EQ(hugePageTunables(nullptr, "[always] madvise never\n"), std::nullopt);
    EXPECT_EQ(hugePageTunables(nullptr, "always madvise [never]\n"), std::nullopt);
    EXPECT_EQ(hugePageTunables(nullptr, ""), std::nullopt); // no such file
}

// The restarted program gives back the environment it was started with.
TEST(HugePages, TheRestartedProgramPutsTheEnvironmentBack) {
    char name[] = "program";
    char* argv[] = {name, nullptr};
    setenv("FC_TUNABLES_BEFORE", "-", 1);
    setenv("GLIBC_TUNABLES", "glibc.malloc.hugetlb=1", 1);
    preferHugePages(argv);
    EXPECT_EQ(std::getenv("GLIBC_TUNABLES"), nullptr);
    EXPECT_EQ(std::getenv("FC_TUNABLES_BEFORE"), nullptr);

    setenv("FC_TUNABLES_BEFORE", "glibc.malloc.arena_max=2", 1);
    setenv("GLIBC_TUNABLES", "glibc.malloc.arena_max=2:glibc.malloc.hugetlb=1", 1);
    preferHugePages(argv);
    ASSERT_NE(std::getenv("GLIBC_TUNABLES"), nullptr);
    EXPECT_STREQ(std::getenv("GLIBC_TUNABLES"), "glibc.malloc.arena_max=2");
    EXPECT_EQ(std::getenv("FC_TUNABLES_BEFORE"), nullptr);
    unsetenv("GLIBC_TUNABLES");
}

} // namespace
} // namespace fc
