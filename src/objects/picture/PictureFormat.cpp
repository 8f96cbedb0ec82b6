#include "objects/picture/PictureFormat.h"

#include "objects/picture/GifDecoder.h"
#include "objects/picture/JpegDecoder.h"
#include "objects/picture/StbDecoder.h"

namespace morvell {

std::string PictureExtension(std::string_view name) {
    const std::size_t slash = name.find_last_of("/\\");
    const std::string_view last = slash == std::string_view::npos ? name : name.substr(slash + 1);
    const std::size_t dot = last.rfind('.');
    if (dot == std::string_view::npos) return {};
    std::string ext(last.substr(dot + 1));
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

PictureFormat PictureFormatOfName(std::string_view name) {
    const std::string ext = PictureExtension(name);
    if (ext == "bmp") return PictureFormat::Bitmap;
    if (ext == "ico") return PictureFormat::Icon;
    if (ext == "wmf" || ext == "emf") return PictureFormat::Metafile;
    if (ext == "jpg" || ext == "jpeg") return PictureFormat::Jpeg;
    if (ext == "gif") return PictureFormat::Gif;
    return PictureFormat::None;
}

DecodedPicture DecodePicture(std::string_view bytes, PictureFormat format, const DecodeLimits& limits) {
    switch (format) {
    case PictureFormat::Bitmap: return DecodeBmp(bytes, limits);
    case PictureFormat::Icon: return DecodeIco(bytes, limits);
    case PictureFormat::Jpeg: return DecodeJpeg(bytes, limits);
    case PictureFormat::Gif: return DecodeGif(bytes, limits);
    case PictureFormat::Metafile:
    case PictureFormat::None: break;
    }
    return {};
}

} // namespace morvell
