// Runs the container header reader and the page-title peek on arbitrary bytes: through an
// in-memory stream, and through a file for the peek, which opens its file by path.
#include "FuzzSupport.h"
#include "document/OVKHeader.h"
#include "platform/Messages.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

const std::string& ScratchPath() {
    static const std::string path = fuzz::ScratchPath("fuzz_header");
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::SilentMessages silent;
    morvell::SetMessages(&silent);

    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::istringstream in(bytes);
    if (auto c = morvell::ReadOVKHeader(in, "fuzz book.ovk")) {
        for (int kind = 0; kind < morvell::kKindCount; ++kind) {
            std::int32_t usable = c->UsableCount(kind);
            if (usable < 0 || usable > c->fileSize) __builtin_trap();
            for (std::int64_t j :
                 {std::int64_t{0}, std::int64_t{usable} - 1, std::int64_t{c->sections[kind].count} - 1}) {
                auto pos = c->RecordPosition(kind, j);
                if (pos && (*pos < 0 || *pos >= c->fileSize)) __builtin_trap();
            }
            if (usable > 0) {
                auto last = c->RecordPosition(kind, usable - 1);
                if (!last || *last + c->RecordReadLength(kind) > c->fileSize) __builtin_trap();
            }
        }
    }

    {
        std::ofstream out(ScratchPath(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    // References: the first pages, and one taken from the input's last four bytes.
    std::int32_t fromInput = 0;
    if (size >= 4)
        fromInput = static_cast<std::int32_t>(data[size - 4] | data[size - 3] << 8 | data[size - 2] << 16 |
                                              static_cast<std::uint32_t>(data[size - 1]) << 24);
    for (std::int32_t ref : {0, 1, fromInput, 0x04000000}) {
        std::string title = morvell::PeekPageTitle(ScratchPath(), ref);
        if (title.size() > 71) __builtin_trap();
    }
    return 0;
}
