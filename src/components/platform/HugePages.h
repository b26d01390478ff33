#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fc {

// Reading a large result fills some 80 MB of fresh memory in small blocks. On 4 KB pages the
// kernel is entered once a page, which on a virtual machine costs as much as the reading
// itself; the C library hands out memory on 2 MB pages when told so at start-up.
//
// Called first in main(): when the kernel gives huge pages on request only and nobody chose
// otherwise, the program starts itself again (the same process and arguments) with that
// setting. The restarted program puts the environment back, so that the programs it starts
// see the one it was given. Returns when no restart is needed or it failed.
void preferHugePages(char** argv);

// The decision: the GLIBC_TUNABLES value to start again with, or nothing. `tunables`: its
// present value (nullptr: unset); `thpMode`: /sys/kernel/mm/transparent_hugepage/enabled.
std::optional<std::string> hugePageTunables(const char* tunables, std::string_view thpMode);

} // namespace fc
