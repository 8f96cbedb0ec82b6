#pragma once
// The Canvas over a QPainter: widgets on screen, QImage offscreen, the printer. Text is
// measured by the QtMeasurer the layout measured with, so what is drawn has the widths the
// lines were broken for.

#include "text/Canvas.h"
#include "text/qt/QtMeasurer.h"

#include <QColor>

#include <optional>

class QPainter;

namespace morvell {

class QtCanvas : public Canvas {
public:
    // Neither the painter nor the measurer is owned; both must outlive the canvas.
    QtCanvas(QPainter& painter, QtMeasurer& measurer);

    // 0x00BBGGRR, or 0x80000000 + n for system colour n (the palette-relative flag of
    // 8-bit displays is ignored: Qt has no palettes).
    static QColor ToQColor(std::uint32_t colour);

    // --- Measurer --------------------------------------------------------------------------
    FontMetrics Metrics(const FontSpec& font) override { return m_measurer.Metrics(font); }
    int Extent(const FontSpec& font, std::string_view text) override { return m_measurer.Extent(font, text); }

    // --- Canvas ----------------------------------------------------------------------------
    void SetFont(const FontSpec& font) override { m_font = font; }
    const FontSpec& Font() const override { return m_font; }
    void SetTextBackground(std::optional<std::uint32_t> colour) override { m_background = colour; }
    int TextOut(int x, int y, std::string_view text) override;
    void FillRect(const CanvasRect& rect, std::uint32_t colour) override;
    // The end point is not drawn, so that xor outlines made of lines do not cancel out at
    // their corners.
    void Line(int x1, int y1, int x2, int y2, std::uint32_t colour,
              PenStyle style = PenStyle::Solid) override;
    void DrawImage(int x, int y, const ImageView& image,
                   std::optional<CanvasRect> target = std::nullopt) override;
    void SetClip(std::optional<CanvasRect> clip) override;

private:
    // Whether a word's cached image lands on exactly the pixels its glyphs would.
    bool WordImagesDrawAlike() const;

    QPainter& m_painter;
    QtMeasurer& m_measurer;
    FontSpec m_font;
    std::optional<std::uint32_t> m_background;
};

} // namespace morvell
