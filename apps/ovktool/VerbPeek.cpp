// ovktool peek FILE REF: the title of page REF of an ebook, as a link into it shows it.
#include "Verbs.h"

#include "document/OVKHeader.h"
#include "platform/CodePage.h"

#include <iostream>
#include <optional>

namespace ovktool {

namespace {

// REF is decimal (negative allowed) or 0x-hex; any 32-bit pattern, so 0xFF000000 works too.
std::optional<std::int32_t> ParseReference(const std::string& text) {
    try {
        std::size_t used = 0;
        bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
        long long v = hex ? static_cast<long long>(std::stoull(text.substr(2), &used, 16))
                          : std::stoll(text, &used, 10);
        if (used != (hex ? text.size() - 2 : text.size())) return std::nullopt;
        if (v < INT32_MIN || v > static_cast<long long>(UINT32_MAX)) return std::nullopt;
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

int RunPeek(const Args& args) {
    if (args.size() != 2) return UsageError("peek");
    auto ref = ParseReference(args[1]);
    if (!ref) return UsageError("peek");
    std::cout << morvell::CodePage::ToUtf8(morvell::PeekPageTitle(args[0], *ref), "iso-8859-1") << "\n";
    return 0;
}

VerbRegistrar g_peek({"peek", "peek FILE REF",
                      "the title of page REF (decimal or 0x-hex), empty when there is none", RunPeek});

} // namespace

} // namespace ovktool
