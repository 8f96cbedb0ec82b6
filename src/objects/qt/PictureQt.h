#pragma once
// Decoded pictures on the Qt side: frames as QImage, and the picture clipboard forms.

#include "objects/TOVKpicture.h"
#include "objects/picture/Bitmap.h"

#include <QImage>

#include <cstddef>
#include <string>

class QClipboard;
class QMimeData;

namespace morvell {

class TOVKoggetto;

// A QImage over the bitmap's own pixels, without copying: valid only while the bitmap lives
// (painters hold the picture's Shared() frames while they draw). Null for an empty bitmap.
QImage WrapBitmap(const Bitmap& bitmap);
// A deep copy, independent of the bitmap. Format_ARGB32_Premultiplied.
QImage BitmapToQImage(const Bitmap& bitmap);
// Frame `index` of the picture as a deep copy; null when there is no such frame.
QImage FrameToQImage(const TOVKpicture& picture, std::size_t index = 0);

// The clipboard contents of a copied picture: the private block under
// "application/x-vosk30-picture", then the picture's first frame as "image/png" when there is
// a picture with a frame. The caller owns the result.
QMimeData* PictureMimeData(const std::string& block, const DecodedPicture* picture);

// The copy command for a picture object (the page background, a placed picture): assembles
// the block and the picture (AssemblePictureClipboard) and sets the clipboard once, with both
// forms together. Another kind than `immagine` or `immagineNew` shows the error box "Allowed
// only for immagine", leaves the clipboard alone and gives false. A null clipboard means the
// application's.
bool CopyPictureToClipboard(TOVKoggetto& object, QClipboard* clipboard = nullptr);

} // namespace morvell
