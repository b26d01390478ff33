// The settings files are whatever lies in the start directory: readers must give values or
// defaults, never crash, and what they accept must read back the same after writing.
#include "shell/SettingsFiles.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string in(reinterpret_cast<const char*>(data), size);
    fc::settings::Connection c = fc::settings::parseKlp(in);
    if (auto content = fc::settings::klpContent(c)) {
        fc::settings::Connection back = fc::settings::parseKlp(*content);
        if (back.serverDir != c.serverDir || back.userName != c.userName ||
            back.password != c.password) {
            std::abort();
        }
    }
    fc::settings::PeriodFile f = fc::settings::parseKlf(in);
    if (f.period.startMonth < 1 || f.period.startMonth > 12 || f.period.endDay < 1 ||
        f.period.endDay > 31) {
        std::abort();
    }
    if (auto plain = fc::settings::unscramble(in)) {
        if (fc::settings::unscramble(*fc::settings::scramble(*plain)) != plain) {
            std::abort();
        }
    }
    return 0;
}
