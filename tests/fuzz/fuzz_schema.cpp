// Feeds arbitrary bytes to the schema reader. Besides the sanitizers' checks,
// every name read must be a non-empty file name (no line end, no directory
// separator), and writing the names back as lines must read back the same.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "base/Windows1252.h"
#include "catalogue/Schemas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto names = kloxmere::ParseSchema(std::span<const std::uint8_t>(data, size));
    std::string rewritten;
    for (const std::string& name : names) {
        if (name.empty() || name.find_first_of("\r\n\\/") != std::string::npos) {
            __builtin_trap();
        }
        rewritten += kloxmere::EncodeWindows1252(name) + "\r\n";
    }
    if (kloxmere::ParseSchema(rewritten) != names) {
        __builtin_trap();
    }
    return 0;
}
