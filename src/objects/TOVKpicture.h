#pragma once
// A picture of the ebook: the decoded frames of one picture file and the name it was loaded
// from. Pictures are decoded once, when loaded, so painting never decodes.
//
// The decoded data is immutable and shared: an animation thread takes its own reference
// (Shared()) and keeps reading frames safely even if the picture is cleared or the cache
// drops it on the UI thread meanwhile.

#include "objects/picture/CachedPicture.h"
#include "objects/picture/DecodedPicture.h"
#include "objects/picture/PictureFormat.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace morvell {

class TOVKpicture : public CachedPicture {
public:
    // Maps the name a picture is known by (a path stored in the ebook) to the local file to
    // read; "" when there is no such file. The default reads the name as a local path.
    using PathResolver = std::function<std::string(const std::string& name)>;

    TOVKpicture() = default;

    // The path of the file the picture was loaded from; empty when none.
    const std::string& ImageNameL() const { return m_imageName; }

    // Sets the name and loads that file with the format of its extension. Setting the current
    // name again does nothing; an empty name just empties the picture. When loading fails for
    // any reason (missing file, unknown extension, damaged data) the name becomes empty and
    // the picture stays empty; no message is shown.
    void SetImageNameL(const std::string& name);
    void SetImageNameL(const std::string& name, const PathResolver& resolve);

    // Loads picture bytes already in memory (an ebook's data block) as the file `name`, whose
    // extension picks the format. The same rules as SetImageNameL: on failure the picture is
    // empty and the name is empty. True when a picture was decoded.
    bool LoadFromBytes(std::string_view bytes, const std::string& name);

    // CachedPicture
    bool IsGif() const override { return !IsEmpty() && m_format == PictureFormat::Gif; }
    bool IsEmpty() const override { return m_decoded == nullptr || m_decoded->Empty(); }
    int Width() const override { return m_decoded ? m_decoded->width : 0; }
    int Height() const override { return m_decoded ? m_decoded->height : 0; }
    void Clear() override;

    PictureFormat Format() const { return IsEmpty() ? PictureFormat::None : m_format; }
    std::size_t FrameCount() const { return m_decoded ? m_decoded->frames.size() : 0; }
    // Frame i, or null past the end.
    const PictureFrame* Frame(std::size_t i) const {
        return m_decoded && i < m_decoded->frames.size() ? &m_decoded->frames[i] : nullptr;
    }
    // The decoded frames, shared; null when empty.
    std::shared_ptr<const DecodedPicture> Shared() const { return m_decoded; }

private:
    bool Load(const std::string& name, const PathResolver& resolve);
    bool Adopt(DecodedPicture decoded, PictureFormat format);

    std::string m_imageName;
    PictureFormat m_format = PictureFormat::None;
    std::shared_ptr<const DecodedPicture> m_decoded;
};

// Opacity as the painters need it: true for no picture or an empty one; false for a
// metafile; for a GIF, true exactly when its first frame has no transparent colour; true
// for every other graphic (bitmaps and icons count as opaque even where an icon's mask
// lets the background through).
bool IsPictureOpaque(const TOVKpicture* picture);

// Reads a picture file from disk: a regular file of at most kMaxPictureFileBytes. False
// (and `bytes` empty) otherwise.
bool ReadPictureFile(const std::string& path, std::string& bytes);

} // namespace morvell
