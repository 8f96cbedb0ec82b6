#include "objects/TOVKpicture.h"

#include "objects/picture/PictureLimits.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace morvell {

bool ReadPictureFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return false;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > static_cast<std::uintmax_t>(kMaxPictureFileBytes)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.resize(static_cast<std::size_t>(size));
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    // The file may have shrunk since we asked its size; keep what was really read.
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return true;
}

void TOVKpicture::SetImageNameL(const std::string& name) { SetImageNameL(name, {}); }

void TOVKpicture::SetImageNameL(const std::string& name, const PathResolver& resolve) {
    if (name == m_imageName) return;
    Clear();
    m_imageName = name;
    if (name.empty()) return;
    if (!Load(name, resolve)) Clear();
}

bool TOVKpicture::Load(const std::string& name, const PathResolver& resolve) {
    const PictureFormat format = PictureFormatOfName(name);
    // An extension we cannot decode fails before the file is even opened.
    if (format == PictureFormat::None || format == PictureFormat::Metafile) return false;
    const std::string path = resolve ? resolve(name) : name;
    std::string bytes;
    if (!ReadPictureFile(path, bytes)) return false;
    return Adopt(DecodePicture(bytes, format), format);
}

bool TOVKpicture::LoadFromBytes(std::string_view bytes, const std::string& name) {
    Clear();
    const PictureFormat format = PictureFormatOfName(name);
    if (!Adopt(DecodePicture(bytes, format), format)) return false;
    m_imageName = name;
    return true;
}

bool TOVKpicture::Adopt(DecodedPicture decoded, PictureFormat format) {
    if (decoded.Empty()) return false;
    m_format = format;
    m_decoded = std::make_shared<const DecodedPicture>(std::move(decoded));
    return true;
}

void TOVKpicture::Clear() {
    m_imageName.clear();
    m_format = PictureFormat::None;
    m_decoded.reset();
}

bool IsPictureOpaque(const TOVKpicture* picture) {
    if (picture == nullptr || picture->IsEmpty()) return true;
    switch (picture->Format()) {
    case PictureFormat::Metafile: return false;
    case PictureFormat::Gif: return !picture->Frame(0)->transparent;
    default: return true;
    }
}

} // namespace morvell
