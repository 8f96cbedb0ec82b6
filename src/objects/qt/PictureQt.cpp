#include "objects/qt/PictureQt.h"

#include "objects/picture/PictureClipboard.h"
#include "objects/picture/PictureTexts.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <optional>

namespace morvell {

QImage WrapBitmap(const Bitmap& bitmap) {
    if (bitmap.Empty()) return {};
    // Our pixel layout is Qt's premultiplied ARGB32: one native-endian 0xAARRGGBB per pixel.
    return QImage(reinterpret_cast<const uchar*>(bitmap.Data()), bitmap.Width(), bitmap.Height(),
                  bitmap.Stride(), QImage::Format_ARGB32_Premultiplied);
}

QImage BitmapToQImage(const Bitmap& bitmap) { return WrapBitmap(bitmap).copy(); }

QImage FrameToQImage(const TOVKpicture& picture, std::size_t index) {
    const PictureFrame* frame = picture.Frame(index);
    return frame != nullptr ? BitmapToQImage(frame->bitmap) : QImage();
}

QMimeData* PictureMimeData(const std::string& block, const DecodedPicture* picture) {
    auto* data = new QMimeData;
    data->setData(kMimeVoskPicture, QByteArray(block.data(), static_cast<qsizetype>(block.size())));
    if (picture != nullptr && !picture->Empty()) {
        // PNG keeps an icon's or a GIF's transparency, which a plain bitmap form would lose.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (WrapBitmap(picture->frames.front().bitmap).save(&buffer, "PNG")) data->setData(kMimePng, png);
    }
    return data;
}

bool CopyPictureToClipboard(TOVKoggetto& object, QClipboard* clipboard) {
    const std::optional<PictureClipboardContents> contents = AssemblePictureClipboard(object);
    if (!contents) return false;
    if (clipboard == nullptr) clipboard = QGuiApplication::clipboard();
    clipboard->setMimeData(PictureMimeData(contents->block, contents->picture.get()));
    return true;
}

} // namespace morvell
