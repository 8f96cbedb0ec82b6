#include "objects/picture/PictureClipboardBlock.h"

namespace morvell {
namespace {

constexpr std::int32_t kBlockVersion = 3;
constexpr std::int32_t kKindImmagine = 5;
constexpr std::int32_t kKindImmagineNew = 16;
// One paragraph holding embedded object 1 of the block.
constexpr const char* kInstanceParagraph = "<Z S0 ><$FF000001>";

void PutI32(std::string& out, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
}

} // namespace

std::string BuildPictureClipboardBlock(const PictureClipboardParts& parts) {
    std::string out;
    PutI32(out, kBlockVersion);
    PutI32(out, static_cast<std::int32_t>(parts.links.size()));
    for (const ClipboardLinkObject& link : parts.links) {
        PutI32(out, link.kind);
        PutI32(out, link.localReference);
        out += link.memoryForm;
    }
    PutI32(out, static_cast<std::int32_t>(parts.supportForms.size()));
    for (const std::string& form : parts.supportForms) {
        PutI32(out, kKindImmagine);
        out += form;
    }
    PutI32(out, 1);
    PutI32(out, kKindImmagineNew);
    PutI32(out, 1);
    out += parts.instanceForm;
    PutI32(out, 1);
    out += kInstanceParagraph;
    out.push_back('\0');
    return out;
}

std::string CopyInstanceName(const std::string& pictureName) { return pictureName.substr(0, 32) + "="; }

} // namespace morvell
