#include "text/qt/QtMeasurer.h"

#include <QApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <QWidget>

#include <algorithm>

namespace morvell {

QtMeasurer::QtMeasurer(std::string_view charSet, int dotsPerInch, QPaintDevice* device)
    : m_charSet(charSet), m_table(&FontMapping::Table(charSet)),
      m_dpi(dotsPerInch > 0 ? dotsPerInch : FontMapping::ScreenDotsPerInch()), m_device(device) {}

QtMeasurer::~QtMeasurer() = default;

QtMeasurer& QtMeasurer::Screen(std::string_view charSet) {
    // Keyed by decoding table, so spellings of one code page share a measurer and an ebook
    // naming arbitrary character sets adds none beyond the tables there are. Never destroyed:
    // as a static it would destroy its QFonts after the application object, which Qt does not
    // allow. The program makes one application object, for which these stay valid.
    static auto* measurers = new std::unordered_map<const ByteTable*, std::unique_ptr<QtMeasurer>>();
    const ByteTable* table = &FontMapping::Table(charSet);
    auto& measurer = (*measurers)[table];
    if (!measurer) measurer = std::make_unique<QtMeasurer>(charSet);
    return *measurer;
}

void QtMeasurer::SetCharSet(std::string_view charSet) {
    m_charSet = std::string(charSet);
    m_table = &FontMapping::Table(charSet);
}

QtMeasurer::FontEntry& QtMeasurer::Entry(const FontSpec& fontSpec) {
    auto same = [&fontSpec](const FontEntry& e) {
        return e.size == fontSpec.size && e.style == fontSpec.style && e.name == fontSpec.name;
    };
    if (m_last && same(*m_last)) return *m_last;
    auto it = std::find_if(m_fonts.begin(), m_fonts.end(), [&](const auto& e) { return same(*e); });
    if (it != m_fonts.end()) return *(m_last = it->get());
    if (m_fonts.size() >= kMaxFonts) {
        // m_last may be the oldest font: never keep a pointer to an erased entry.
        for (const auto& [bytes, images] : m_fonts.front()->inks)
            for (const auto& [colour, ink] : images)
                m_inkBytes -= static_cast<std::size_t>(ink.image.sizeInBytes());
        m_fonts.erase(m_fonts.begin());
        m_last = nullptr;
    }
    QFont font = FontMapping::ToQFont(fontSpec, m_dpi);
    QFontMetrics metrics = m_device ? QFontMetrics(font, m_device) : QFontMetrics(font);
    FontMetrics cached{metrics.height(), metrics.ascent()};
    auto entry = std::make_unique<FontEntry>(FontEntry{fontSpec.name,
                                                       fontSpec.size,
                                                       fontSpec.style,
                                                       font,
                                                       metrics,
                                                       FontMapping::IsWingdings(fontSpec.name),
                                                       cached,
                                                       {},
                                                       {},
                                                       {},
                                                       {}});
    entry->singles.fill(-1);
    m_fonts.push_back(std::move(entry));
    return *(m_last = m_fonts.back().get());
}

QString QtMeasurer::Decode(const FontEntry& entry, std::string_view bytes) const {
    return FontMapping::Decode(bytes, *m_table, entry.wingdings);
}

FontMetrics QtMeasurer::Metrics(const FontSpec& font) { return Entry(font).cached; }

int QtMeasurer::Extent(const FontSpec& font, std::string_view text) {
    FontEntry& e = Entry(font);
    if (text.empty()) return 0;
    if (text.size() == 1) {
        // Spaces and single characters are what a paint measures most: a table per font.
        int& known = e.singles[static_cast<unsigned char>(text[0])];
        if (known < 0) {
            const QChar c(
                FontMapping::DecodeByte(static_cast<unsigned char>(text[0]), *m_table, e.wingdings));
            known = e.metrics.horizontalAdvance(QString::fromRawData(&c, 1));
        }
        return known;
    }
    if (auto it = e.extents.find(text); it != e.extents.end()) return it->second;
    if (e.extents.size() >= kMaxRuns) e.extents.clear();
    const int width = e.metrics.horizontalAdvance(Decode(e, text));
    e.extents.emplace(std::string(text), width);
    return width;
}

const std::vector<QGlyphRun>& QtMeasurer::GlyphRuns(const FontSpec& font, std::string_view bytes) {
    FontEntry& e = Entry(font);
    if (auto it = e.glyphs.find(bytes); it != e.glyphs.end()) return it->second;
    if (e.glyphs.size() >= kMaxRuns) e.glyphs.clear();
    // One unbounded line shapes the run as drawText does: same itemizing, same fallback fonts.
    QTextLayout layout(Decode(e, bytes), e.font, m_device);
    layout.setCacheEnabled(false);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    std::vector<QGlyphRun> runs;
    if (line.isValid()) {
        const qreal ascent = line.ascent();
        for (QGlyphRun& run : layout.glyphRuns()) {
            QList<QPointF> positions = run.positions();
            for (QPointF& p : positions) p.ry() -= ascent;
            run.setPositions(positions);
            runs.push_back(std::move(run));
        }
    }
    return e.glyphs.emplace(std::string(bytes), std::move(runs)).first->second;
}

namespace {

// The smallest rectangle holding every pixel with some coverage; empty when there is none.
QRect InkedRect(const QImage& image) {
    int top = image.height(), bottom = -1, left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int first = 0;
        while (first < image.width() && qAlpha(row[first]) == 0) ++first;
        if (first == image.width()) continue;
        int last = image.width() - 1;
        while (qAlpha(row[last]) == 0) --last;
        top = std::min(top, y);
        bottom = y;
        left = std::min(left, first);
        right = std::max(right, last);
    }
    return bottom < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

// Paints one run black on white the way a widget's paint event does.
class GlyphProbe : public QWidget {
public:
    GlyphProbe(const std::vector<QGlyphRun>& runs, int ascent) : m_runs(runs), m_ascent(ascent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(Qt::black);
        for (const QGlyphRun& run : m_runs) painter.drawGlyphRun(QPointF(4, 4 + m_ascent), run);
    }

private:
    const std::vector<QGlyphRun>& m_runs;
    int m_ascent;
};

} // namespace

bool QtMeasurer::DrawsSubpixelOnWidgets(FontEntry& e) {
    // Qt picks subpixel glyphs for widgets from the desktop's font settings (per font, through
    // fontconfig), and greyscale ones for images. Nothing public tells which, so draw a few
    // letters on a widget once per font and look for colour fringes in black text on white.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    const std::vector<QGlyphRun> runs = GlyphRuns(FontSpec{e.name, e.size, e.style}, "Wa/");
    GlyphProbe probe(runs, e.cached.ascent);
    probe.resize(8 + 3 * e.cached.height, 8 + e.cached.height);
    const QImage image = probe.grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qRed(row[x]) != qGreen(row[x]) || qGreen(row[x]) != qBlue(row[x])) return true;
    }
    return false;
}

const QtMeasurer::Ink* QtMeasurer::WordInk(const FontSpec& font, std::string_view bytes, QRgb colour,
                                           bool onWidget) {
    FontEntry& e = Entry(font);
    if (e.cached.height > kMaxInkHeight) return nullptr;
    if (onWidget) {
        if (e.subpixelOnWidgets < 0) e.subpixelOnWidgets = DrawsSubpixelOnWidgets(e) ? 1 : 0;
        if (e.subpixelOnWidgets) return nullptr;
    }
    auto it = e.inks.find(bytes);
    if (it != e.inks.end()) {
        for (const auto& [known, ink] : it->second)
            if (known == colour) return &ink;
    }
    // Room around the run for what glyphs draw outside their advance: italic slants, accents,
    // descenders; the image is trimmed to what was drawn afterwards.
    const int height = e.cached.height;
    const int pad = std::max(3, (height + 1) / 2);
    const long long width = Extent(font, bytes);
    const long long canvasWidth = std::max(1LL, width + 2 * pad), canvasHeight = height + 2 * pad;
    if (canvasWidth * canvasHeight > kMaxInkPixels) return nullptr;

    if (m_inkBytes > kMaxInkBytes || e.inks.size() >= kMaxRuns) {
        // Runs that leave no mark cost no pixels: the count bounds them too.
        for (auto& entry : m_fonts) entry->inks.clear();
        m_inkBytes = 0;
        it = e.inks.end();
    }
    if (it == e.inks.end())
        it = e.inks.emplace(std::string(bytes), std::vector<std::pair<QRgb, Ink>>{}).first;

    QImage canvas(static_cast<int>(canvasWidth), static_cast<int>(canvasHeight),
                  QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    const QPoint origin(pad, pad + e.cached.ascent);
    {
        QPainter painter(&canvas);
        painter.setPen(QColor::fromRgba(colour));
        for (const QGlyphRun& run : GlyphRuns(font, bytes)) painter.drawGlyphRun(origin, run);
    }
    Ink ink;
    if (const QRect inked = InkedRect(canvas); !inked.isEmpty()) {
        ink.image = canvas.copy(inked);
        ink.offset = inked.topLeft() - origin;
        m_inkBytes += static_cast<std::size_t>(ink.image.sizeInBytes());
    }
    it->second.emplace_back(colour, std::move(ink));
    return &it->second.back().second;
}

} // namespace morvell
