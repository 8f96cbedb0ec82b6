#pragma once
// The seams through which the picture operations of page objects reach the objects and the
// document. The object store implements PictureObject for its records and the document
// implements PictureHost over its picture cache; the operations themselves
// (PictureServices.h) need nothing else.

#include "objects/picture/CachedPicture.h"

#include <cstdint>
#include <memory>
#include <string>

namespace morvell {

class TOVKpicture;

// Object kinds the picture operations tell apart (values of the object-kind enumeration).
inline constexpr int kKindImmagine = 5;
inline constexpr int kKindImmagineNew = 16;

// The picture references of an `immagineNew` record (int32 object indices, -1 none).
enum class PictureSlot : int {
    Picture = 0,  // the picture the object shows
    Extra = 5,    // a further picture carried with the object (kept by ReleasePictures)
    Rollover = 9, // shown while the mouse is over the image
};

class PictureObject {
public:
    virtual ~PictureObject() = default;
    virtual int PictureKind() const = 0; // the object's kind

    // `immagine`: the stored file name (its extension selects the format), the bytes of the
    // picture file (the object's data block, read from the ebook when asked), and the
    // picture's size written back into the record (uint16 at offsets 85 and 87).
    virtual std::string StoredFileName() const = 0;
    virtual std::string PictureBytes() const = 0;
    virtual void SetStoredPictureSize(std::uint16_t width, std::uint16_t height) = 0;

    // `immagineNew`: the referenced picture indices, its own picture (external files) and
    // its original and displayed size (int16 at offsets 15, 17 and 19, 21).
    virtual std::int32_t PictureIndex(PictureSlot slot) const = 0;
    virtual TOVKpicture* OwnPicture() const = 0;
    virtual void SetOwnPicture(std::unique_ptr<TOVKpicture> picture) = 0;
    virtual void SetOriginalAndDisplayedSize(std::int16_t width, std::int16_t height) = 0;
};

class PictureHost {
public:
    virtual ~PictureHost() = default;
    // The `immagine` object of that index; null when the index names no object.
    virtual PictureObject* ImmagineAt(std::int32_t index) = 0;
    // The cache: look up the picture of an `immagine`; add one (the cache takes ownership
    // and answers the picture it now holds, or null when it did not keep it); drop one.
    virtual CachedPicture* CachedPictureOf(const PictureObject& immagine) = 0;
    virtual CachedPicture* AddCachedPicture(PictureObject& immagine, std::unique_ptr<CachedPicture> picture) = 0;
    virtual void DropCachedPicture(const PictureObject& immagine) = 0;
};

} // namespace morvell
