#pragma once
// Copying a picture object: everything the clipboard receives, assembled without the platform.
// The memory forms come from the object store, so this sits above TOVKoggetto rather than on
// the picture seams; the Qt side (PictureQt.h) only hands the result to the clipboard.

#include "objects/picture/DecodedPicture.h"

#include <memory>
#include <optional>
#include <string>

namespace morvell {

class TOVKoggetto;

struct PictureClipboardContents {
    // The private block (BuildPictureClipboardBlock) for the "Vosk30 picture" form.
    std::string block;
    // The decoded picture the object shows, for the platform's picture form beside the block;
    // null when it has none or it did not decode, and then only the block is put. Held by a
    // reference of its own, so a cache eviction before the clipboard is set cannot free it.
    std::shared_ptr<const DecodedPicture> picture;
};

// What copying `object` puts on the clipboard. Only `immagine` and `immagineNew` can be copied:
// any other kind shows the error box "Allowed only for immagine" and gives nullopt.
//
// The picture is fetched before any record is written, so the stored size of an `immagine` is
// current in its memory form and in the size of the instance made for it. An `immagineNew` without a
// control on a page has no page copy to take its links from: that shows the information box
// "Mah.Occorre salvare oggetti reg?" and the copy carries no links.
std::optional<PictureClipboardContents> AssemblePictureClipboard(TOVKoggetto& object);

} // namespace morvell
