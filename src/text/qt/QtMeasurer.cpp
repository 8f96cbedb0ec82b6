#include "text/qt/QtMeasurer.h"

#include <QPaintDevice>
#include <QTextLayout>

#include <algorithm>

namespace morvell {

QtMeasurer::QtMeasurer(std::string_view charSet, int dotsPerInch, QPaintDevice* device)
    : m_charSet(charSet), m_table(&FontMapping::Table(charSet)),
      m_dpi(dotsPerInch > 0 ? dotsPerInch : FontMapping::ScreenDotsPerInch()), m_device(device) {}

QtMeasurer::~QtMeasurer() = default;

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

} // namespace morvell
