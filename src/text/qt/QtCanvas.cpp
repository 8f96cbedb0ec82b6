#include "text/qt/QtCanvas.h"

#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPalette>

#include <cmath>
#include <cstdlib>

namespace morvell {

namespace {

constexpr std::uint32_t kSystemColourFlag = 0x80000000u;

QRect ToQRect(const CanvasRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

QColor SystemColour(std::uint32_t n) {
    const QPalette palette = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                 ? QGuiApplication::palette()
                                 : QPalette(Qt::white);
    switch (n) {
    case 1:
        return palette.color(QPalette::Window); // desktop
    case 4:
        return palette.color(QPalette::Window); // menu
    case 5:
        return palette.color(QPalette::Base); // window background
    case 6:
        return palette.color(QPalette::Shadow); // window frame
    case 7:
        return palette.color(QPalette::WindowText); // menu text
    case 8:
        return palette.color(QPalette::Text); // window text
    case 13:
        return palette.color(QPalette::Highlight);
    case 14:
        return palette.color(QPalette::HighlightedText);
    case 15:
        return palette.color(QPalette::Button); // button face
    case 16:
        return palette.color(QPalette::Dark); // button shadow
    case 17:
        return palette.color(QPalette::PlaceholderText); // grey text
    case 18:
        return palette.color(QPalette::ButtonText);
    case 20:
        return palette.color(QPalette::Light); // button highlight
    case 21:
        return palette.color(QPalette::Shadow); // 3D dark shadow
    case 22:
        return palette.color(QPalette::Midlight); // 3D light
    case 23:
        return palette.color(QPalette::ToolTipText);
    case 24:
        return palette.color(QPalette::ToolTipBase);
    default:
        return palette.color(QPalette::WindowText);
    }
}

} // namespace

QtCanvas::QtCanvas(QPainter& painter, QtMeasurer& measurer) : m_painter(painter), m_measurer(measurer) {}

QColor QtCanvas::ToQColor(std::uint32_t colour) {
    if (colour & kSystemColourFlag) return SystemColour(colour & 0xFFu);
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

int QtCanvas::TextOut(int x, int y, std::string_view text) {
    if (text.empty()) return 0;
    const FontMetrics metrics = m_measurer.Metrics(m_font);
    const int width = m_measurer.Extent(m_font, text);
    if (m_background) m_painter.fillRect(QRect(x, y, width, metrics.height), ToQColor(*m_background));
    // The layout draws every space on its own: without a background, underline or
    // strike-out line a space leaves no mark.
    const bool marks = m_font.style & (kFontUnderline | kFontStrikeOut);
    if (!marks && text.find_first_not_of(' ') == std::string_view::npos) return width;
    const QColor colour = ToQColor(m_font.colour);
    if (!marks && WordImagesDrawAlike()) {
        // The same pixels as drawing the glyphs here, from one blit of the word drawn before.
        const QPaintDevice* device = m_painter.device();
        const bool onWidget = device && device->devType() == QInternal::Widget;
        if (const QtMeasurer::Ink* ink = m_measurer.WordInk(m_font, text, colour.rgba(), onWidget)) {
            if (!ink->image.isNull())
                m_painter.drawImage(QPoint(x, y + metrics.ascent) + ink->offset, ink->image);
            return width;
        }
    }
    // Setting a pen makes the raster engine set up its pen data again, and a page draws each
    // word on its own, mostly in one colour: only change the pen when it would draw otherwise.
    const QPen& pen = m_painter.pen();
    if (pen.style() != Qt::SolidLine || pen.brush().style() != Qt::SolidPattern || pen.color() != colour)
        m_painter.setPen(colour);
    // Callers place the top of the text cell; the glyphs are placed at the baseline.
    const QPointF baseline(x, y + metrics.ascent);
    if (marks) {
        // drawGlyphRun places underline and strike-out by the painter's translation twice, so
        // they would land right of the text in any widget that is not at the window's left.
        m_painter.setFont(m_measurer.QtFont(m_font));
        m_painter.drawText(baseline, m_measurer.Decode(m_font, text));
        return width;
    }
    for (const QGlyphRun& run : m_measurer.GlyphRuns(m_font, text)) m_painter.drawGlyphRun(baseline, run);
    return width;
}

bool QtCanvas::WordImagesDrawAlike() const {
    // A word image is pixels: on a printer or in a PDF the text must stay text, and under a
    // scale, a fractional offset or another composition the blit would not match the glyphs
    // drawn directly.
    const QPaintEngine* engine = m_painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster) return false;
    if (m_painter.opacity() != 1.0 || m_painter.compositionMode() != QPainter::CompositionMode_SourceOver ||
        !m_painter.testRenderHint(QPainter::TextAntialiasing))
        return false;
    const QTransform t = m_painter.deviceTransform();
    return t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx()) &&
           t.dy() == std::floor(t.dy());
}

void QtCanvas::FillRect(const CanvasRect& rect, std::uint32_t colour) {
    if (rect.Empty()) return;
    m_painter.fillRect(ToQRect(rect), ToQColor(colour));
}

void QtCanvas::Line(int x1, int y1, int x2, int y2, std::uint32_t colour, PenStyle style) {
    if (x1 == x2 && y1 == y2) return; // a line to its own start draws nothing
    // Leave out the end point: one step back along the longer axis.
    const int dx = x2 - x1, dy = y2 - y1;
    int ex = x2, ey = y2;
    if (std::abs(dx) >= std::abs(dy))
        ex -= dx > 0 ? 1 : -1;
    else
        ey -= dy > 0 ? 1 : -1;

    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    // A cosmetic one-pixel pen with square caps covers both of its end pixels exactly; the
    // end point was already taken back above.
    QPen pen(ToQColor(colour));
    pen.setWidth(0);
    pen.setCosmetic(true);
    pen.setCapStyle(Qt::SquareCap);
    if (style == PenStyle::Dotted) {
        // Every other pixel, as a cosmetic dot pattern of 1 on, 1 off.
        pen.setDashPattern({1.0, 1.0});
    }
    if (style == PenStyle::Xor) {
        const QPaintEngine* engine = m_painter.paintEngine();
        if (engine && engine->hasFeature(QPaintEngine::RasterOpModes)) {
            m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        }
        // Without raster operations (printers, PDF) an xor line is drawn plainly: there is
        // nothing on paper to restore.
    }
    m_painter.setPen(pen);
    if (ex == x1 && ey == y1)
        m_painter.drawPoint(x1, y1);
    else
        m_painter.drawLine(x1, y1, ex, ey);
    m_painter.restore();
}

void QtCanvas::DrawImage(int x, int y, const ImageView& image, std::optional<CanvasRect> target) {
    if (!image.pixels || image.width <= 0 || image.height <= 0 || image.stride < image.width * 4) return;
    // The view's pixels are not copied: QImage only looks at them for this call.
    const QImage wrapped(reinterpret_cast<const uchar*>(image.pixels), image.width, image.height,
                         image.stride,
                         image.premultiplied ? QImage::Format_ARGB32_Premultiplied : QImage::Format_ARGB32);
    if (target) {
        if (target->Empty()) return;
        m_painter.drawImage(ToQRect(*target), wrapped);
    } else {
        m_painter.drawImage(QPoint(x, y), wrapped);
    }
}

void QtCanvas::SetClip(std::optional<CanvasRect> clip) {
    if (clip)
        m_painter.setClipRect(ToQRect(*clip));
    else
        m_painter.setClipping(false);
}

} // namespace morvell
