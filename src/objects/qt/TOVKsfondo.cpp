#include "objects/qt/TOVKsfondo.h"

#include "document/TOVKset.h"
#include "objects/PageViewModel.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKpicture.h"
#include "objects/picture/PictureServices.h"
#include "objects/qt/PictureQt.h"
#include "text/qt/QtCanvas.h"

#include <QPaintEvent>
#include <QPainter>

namespace morvell {

TOVKsfondo::TOVKsfondo(QWidget* parent) : QWidget(parent) {
    // Everything is painted here; Qt need not clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TOVKsfondo::SetBackgroundColour(std::uint32_t colour) {
    m_colour = colour;
    update();
}

void TOVKsfondo::SetBackgroundPicture(TOVKset* document, TOVKoggetto* immagine) {
    m_document = document;
    m_picture = immagine;
    update();
}

void TOVKsfondo::PaintBackground(QPainter& painter, const QRect& clip, QPoint origin, TOVKset* document,
                                 TOVKoggetto* immagine, std::uint32_t colour) {
    const QColor fill = QtCanvas::ToQColor(colour);
    TOVKpicture* picture = nullptr;
    if (document && immagine && immagine->Kind() == TOggettiHel::immagine) {
        if (PictureObject* object = document->ImmagineAt(immagine->Index()))
            picture = GetPicture(*document, *object);
    }
    if (!picture || picture->IsEmpty()) {
        painter.fillRect(clip, fill);
        return;
    }
    if (!IsPictureOpaque(picture)) painter.fillRect(clip, fill);
    // The stored size decides the tiling (it is written when the picture is first loaded); a
    // picture without one is not drawn at all.
    const int w = immagine->Record().U16(85), h = immagine->Record().U16(87);
    if (w == 0 || h == 0) return;
    const QImage frame = FrameToQImage(*picture, 0);
    if (frame.isNull()) {
        painter.fillRect(clip, fill);
        return;
    }
    const QRect local = clip.translated(-origin);
    for (const pageview::TilePoint& t :
         pageview::TileOrigins(local.left(), local.top(), local.right() + 1, local.bottom() + 1, w, h))
        painter.drawImage(QPoint(t.x, t.y) + origin, frame);
}

void TOVKsfondo::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRect(event->rect());
    PaintBackground(painter, event->rect(), QPoint(0, 0), m_document, m_picture, m_colour);
}

} // namespace morvell
