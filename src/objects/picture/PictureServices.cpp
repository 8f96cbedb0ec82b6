#include "objects/picture/PictureServices.h"

#include <algorithm>

namespace morvell {
namespace {

TOVKpicture* PictureOfImmagine(PictureHost& host, PictureObject& immagine) {
    if (CachedPicture* cached = host.CachedPictureOf(immagine)) return dynamic_cast<TOVKpicture*>(cached);
    auto picture = std::make_unique<TOVKpicture>();
    // Decoded straight from the data block: no temporary copy of the file is needed, and
    // an empty or damaged block simply gives an empty picture, which is cached all the same
    // so that a bad picture is not decoded again at every paint.
    picture->LoadFromBytes(immagine.PictureBytes(), immagine.StoredFileName());
    immagine.SetStoredPictureSize(static_cast<std::uint16_t>(std::clamp(picture->Width(), 0, 0xFFFF)),
                                  static_cast<std::uint16_t>(std::clamp(picture->Height(), 0, 0xFFFF)));
    return dynamic_cast<TOVKpicture*>(host.AddCachedPicture(immagine, std::move(picture)));
}

TOVKpicture* PictureAtSlot(PictureHost& host, const PictureObject& object, PictureSlot slot) {
    const std::int32_t index = object.PictureIndex(slot);
    if (index < 0) return nullptr;
    PictureObject* immagine = host.ImmagineAt(index);
    return immagine != nullptr ? PictureOfImmagine(host, *immagine) : nullptr;
}

void DropSlot(PictureHost& host, const PictureObject& object, PictureSlot slot) {
    const std::int32_t index = object.PictureIndex(slot);
    if (index < 0) return;
    if (PictureObject* immagine = host.ImmagineAt(index)) host.DropCachedPicture(*immagine);
}

} // namespace

TOVKpicture* GetPicture(PictureHost& host, PictureObject& object) {
    switch (object.PictureKind()) {
    case kKindImmagine: return PictureOfImmagine(host, object);
    case kKindImmagineNew:
        if (TOVKpicture* own = object.OwnPicture()) return own;
        return PictureAtSlot(host, object, PictureSlot::Picture);
    default: return nullptr;
    }
}

TOVKpicture* RolloverPicture(PictureHost& host, PictureObject& object) {
    if (object.PictureKind() != kKindImmagineNew) return nullptr;
    return PictureAtSlot(host, object, PictureSlot::Rollover);
}

void ReleasePictures(PictureHost& host, PictureObject& object) {
    if (object.PictureKind() == kKindImmagine) {
        host.DropCachedPicture(object);
    } else if (object.PictureKind() == kKindImmagineNew) {
        DropSlot(host, object, PictureSlot::Picture);
        DropSlot(host, object, PictureSlot::Rollover);
    }
}

bool IsObjectOpaque(PictureHost& host, PictureObject& object) {
    return IsPictureOpaque(GetPicture(host, object));
}

bool LoadExternalPicture(PictureObject& object, const std::string& externalFile,
                         const TOVKpicture::PathResolver& resolve) {
    if (object.PictureKind() != kKindImmagineNew || object.PictureIndex(PictureSlot::Picture) != -1) return false;
    if (externalFile.empty()) return false;
    auto picture = std::make_unique<TOVKpicture>();
    picture->SetImageNameL(externalFile, resolve);
    if (picture->IsEmpty()) return false;
    object.SetOriginalAndDisplayedSize(static_cast<std::int16_t>(std::min(picture->Width(), 0x7FFF)),
                                       static_cast<std::int16_t>(std::min(picture->Height(), 0x7FFF)));
    object.SetOwnPicture(std::move(picture));
    return true;
}

} // namespace morvell
