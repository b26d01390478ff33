// Request files come from any client: the stand-in server must classify every byte string.
#include "exchange/StandInServer.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string in(reinterpret_cast<const char*>(data), size);
    fc::StandInServer::Request r = fc::StandInServer::parse("fuzz0001", in);
    if (r.kind == fc::StandInServer::Kind::Report && r.reportName.size() > in.size() * 3) {
        __builtin_trap();
    }
    return 0;
}
