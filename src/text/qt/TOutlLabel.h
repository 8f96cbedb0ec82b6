#pragma once
// A label whose caption stands out on any background: drawn nine times in a shadow colour
// around the text, then once in the font colour. Used by the about box.

#include <QColor>
#include <QLabel>

namespace morvell {

class TOutlLabel : public QLabel {
    Q_OBJECT
public:
    explicit TOutlLabel(QWidget* parent = nullptr);
    explicit TOutlLabel(const QString& caption, QWidget* parent = nullptr);

    QColor ColourShadow() const { return m_colourShadow; }
    void SetColourShadow(const QColor& colour);
    // Transparent: the background is not filled and what lies beneath shows.
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent);
    QColor Color() const;
    void SetColor(const QColor& color);
    QColor FontColor() const;
    void SetFontColor(const QColor& color);

    // The shadow spreads two pixels right and down.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_colourShadow{Qt::gray};
    bool m_transparent = false;
};

} // namespace morvell
