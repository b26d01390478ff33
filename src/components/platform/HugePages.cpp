#include "components/platform/HugePages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace fc {

namespace {

constexpr char kTunables[] = "GLIBC_TUNABLES";
constexpr char kSetting[] = "glibc.malloc.hugetlb=1";
// Set for the restarted program: the value GLIBC_TUNABLES had before, "-" when it had none.
constexpr char kBefore[] = "FC_TUNABLES_BEFORE";

// A sanitizer brings its own allocator, which the setting does not reach.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOwnAllocator = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kOwnAllocator = true;
#else
constexpr bool kOwnAllocator = false;
#endif
#else
constexpr bool kOwnAllocator = false;
#endif

std::string thpMode() {
    std::string mode;
    if (std::FILE* f = std::fopen("/sys/kernel/mm/transparent_hugepage/enabled", "r")) {
        char buf[128];
        const std::size_t n = std::fread(buf, 1, sizeof buf, f);
        mode.assign(buf, n);
        std::fclose(f);
    }
    return mode;
}

void restore(const char* before) {
    if (std::strcmp(before, "-") == 0) {
        unsetenv(kTunables);
    } else {
        setenv(kTunables, before, 1);
    }
}

} // namespace

std::optional<std::string> hugePageTunables(const char* tunables, std::string_view thpMode) {
    // "[always]" gives them without asking, "[never]" not at all.
    if (thpMode.find("[madvise]") == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view now = tunables ? tunables : "";
    if (now.find("glibc.malloc.hugetlb") != std::string_view::npos) {
        return std::nullopt; // chosen by whoever started us
    }
    return now.empty() ? std::string(kSetting) : std::string(now) + ":" + kSetting;
}

void preferHugePages(char** argv) {
#if defined(__linux__) && defined(__GLIBC__)
    if (const char* before = std::getenv(kBefore)) {
        // The restarted program: the setting took effect at its start.
        restore(before);
        unsetenv(kBefore);
        return;
    }
    const char* preload = std::getenv("LD_PRELOAD");
    if (kOwnAllocator || !argv || !argv[0] || (preload && std::strstr(preload, "vgpreload"))) {
        return; // under valgrind a restart would leave the tool behind
    }
    const char* tunables = std::getenv(kTunables);
    const std::optional<std::string> value = hugePageTunables(tunables, thpMode());
    if (!value) {
        return;
    }
    // The program file by its own name, so that the process keeps its name in the task list.
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        return;
    }
    self[n] = '\0';
    const std::string before = tunables ? tunables : "-";
    setenv(kBefore, before.c_str(), 1);
    setenv(kTunables, value->c_str(), 1);
    execv(self, argv);
    // Not restarted: go on as we are.
    restore(before.c_str());
    unsetenv(kBefore);
#else
    (void)argv;
#endif
}

} // namespace fc
