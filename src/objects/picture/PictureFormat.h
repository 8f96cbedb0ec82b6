#pragma once
// Which decoder a picture file goes to. The format is chosen by the extension of the file's
// name, compared without regard to case, never by sniffing the bytes: an ebook names its
// pictures, and a name the authoring tool could not load must not load here either.

#include "objects/picture/DecodedPicture.h"
#include "objects/picture/PictureLimits.h"

#include <string>
#include <string_view>

namespace morvell {

enum class PictureFormat {
    None,     // an extension we do not load
    Bitmap,   // "bmp"
    Icon,     // "ico"
    Metafile, // "wmf", "emf": recognised, but there is no metafile decoder on this platform
    Jpeg,     // "jpg", "jpeg"
    Gif,      // "gif"
};

// The extension of the last component of `name` ("\" and "/" both separate), lower-cased,
// without the dot; "" when there is none.
std::string PictureExtension(std::string_view name);
PictureFormat PictureFormatOfName(std::string_view name);

// Decodes with the decoder of `format`; an empty picture for None, Metafile and bad data.
DecodedPicture DecodePicture(std::string_view bytes, PictureFormat format, const DecodeLimits& limits = {});

} // namespace morvell
