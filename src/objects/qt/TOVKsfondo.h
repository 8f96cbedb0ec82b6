#pragma once
// The background placeholder of a page view: while the views of a frame layout are being
// built it shows only the page's background colour and picture, so the window never stays
// blank. The tiling painter is shared with the page view's own background.

#include <QWidget>

#include <cstdint>

namespace morvell {

class TOVKset;
class TOVKoggetto;

class TOVKsfondo : public QWidget {
    Q_OBJECT
public:
    explicit TOVKsfondo(QWidget* parent = nullptr);

    // 0x00BBGGRR (or a system colour); 0 at creation.
    std::uint32_t BackgroundColour() const { return m_colour; }
    void SetBackgroundColour(std::uint32_t colour);
    // The `immagine` object shown, or none; `document` answers its picture.
    TOVKoggetto* BackgroundPicture() const { return m_picture; }
    void SetBackgroundPicture(TOVKset* document, TOVKoggetto* immagine);

    // Paints `clip` of a surface whose tiles are aligned to `origin` (in the painter's
    // coordinates): the picture unscaled at every tile position when it has a stored size,
    // over the colour when it is not opaque; the colour alone otherwise (also when the
    // picture cannot be had).
    static void PaintBackground(QPainter& painter, const QRect& clip, QPoint origin, TOVKset* document,
                                TOVKoggetto* immagine, std::uint32_t colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::uint32_t m_colour = 0;
    TOVKset* m_document = nullptr;
    TOVKoggetto* m_picture = nullptr;
};

} // namespace morvell
