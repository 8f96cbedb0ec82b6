#pragma once
// The picture operations every page object offers, over the seams of PictureObject.h.

#include "objects/TOVKpicture.h"
#include "objects/picture/PictureObject.h"

#include <string>

namespace morvell {

// The picture an object shows, or null. An `immagine` is decoded from its own bytes the
// first time and then served from the document's cache (which owns it); its stored size is
// written back each time it is decoded. An `immagineNew` gives its own picture when it has
// one, else the picture of the `immagine` it names. Other kinds have none.
TOVKpicture* GetPicture(PictureHost& host, PictureObject& object);

// The rollover picture of an `immagineNew` (the `immagine` at its rollover slot), or null.
TOVKpicture* RolloverPicture(PictureHost& host, PictureObject& object);

// Drops the cached pictures an object uses: an `immagine` its own; an `immagineNew` those of
// its picture and rollover slots (the extra picture stays cached).
void ReleasePictures(PictureHost& host, PictureObject& object);

// Whether the object paints opaque: the opacity of its picture; true without one.
bool IsObjectOpaque(PictureHost& host, PictureObject& object);

// An `immagineNew` that names no `immagine` takes its picture from an external file (the
// attribute "externalfile", resolved to a local path by `resolve`): on success it owns the
// picture and its original and displayed size become the picture's. False, with nothing
// changed, for other objects, an index that is set, or a file that does not load.
bool LoadExternalPicture(PictureObject& object, const std::string& externalFile,
                         const TOVKpicture::PathResolver& resolve = {});

} // namespace morvell
