#pragma once
// The private clipboard block of a copied picture: the internal objects format, version 3,
// holding the link objects, the pictures (support objects) and one image instance, and a
// one-paragraph text that shows that instance. The memory forms of the objects are made by
// the object store; this only lays them out.

#include <cstdint>
#include <string>
#include <vector>

namespace morvell {

struct ClipboardLinkObject {
    std::int32_t kind = 0;
    std::int32_t localReference = 0;
    std::string memoryForm;
};

struct PictureClipboardParts {
    std::vector<ClipboardLinkObject> links;  // none when copying an `immagine`
    std::vector<std::string> supportForms;   // memory forms of the `immagine` objects
    std::string instanceForm;                // memory form of the `immagineNew` instance
};

std::string BuildPictureClipboardBlock(const PictureClipboardParts& parts);

// The name of the instance made when an `immagine` itself is copied: its first 32
// characters followed by "=".
std::string CopyInstanceName(const std::string& pictureName);

} // namespace morvell
