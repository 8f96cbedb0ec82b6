#include "text/MeasureCache.h"

namespace morvell {

namespace {
bool SameMeasure(const FontSpec& a, const FontSpec& b) {
    return a.size == b.size && a.style == b.style && a.name == b.name;
}
} // namespace

int MeasureCache::FontEntry::Single(std::uint8_t c) {
    if (!m_singleKnown[c]) {
        const char s[1] = {static_cast<char>(c)};
        m_single[c] = m_target->Extent(m_font, std::string_view(s, 1));
        m_singleKnown[c] = true;
    }
    return m_single[c];
}

int MeasureCache::FontEntry::Pair(std::uint8_t a, std::uint8_t b) {
    auto& row = m_pairs[a];
    if (!row) {
        row = std::make_unique<Row>();
        row->fill(-1);
    }
    int& w = (*row)[b];
    if (w < 0) {
        const char s[2] = {static_cast<char>(a), static_cast<char>(b)};
        const int measured = m_target->Extent(m_font, std::string_view(s, 2));
        // A negative extent never comes from a sane engine; keep it out of the unknown marker.
        w = measured < 0 ? 0 : measured;
    }
    return w;
}

void MeasureCache::SetTarget(Measurer* target) {
    m_target = target;
    Clear();
}

void MeasureCache::Clear() {
    m_fonts.clear();
    m_last = nullptr;
}

MeasureCache::FontEntry* MeasureCache::Select(const FontSpec& font) {
    if (!m_target) return nullptr;
    if (m_last && SameMeasure(m_last->m_font, font)) return m_last;
    for (auto& e : m_fonts)
        if (SameMeasure(e->m_font, font)) return m_last = e.get();
    // A text with ever new fonts must not grow the cache without bound.
    if (m_fonts.size() >= kMaxFonts) m_fonts.erase(m_fonts.begin(), m_fonts.begin() + kMaxFonts / 2);
    auto entry = std::make_unique<FontEntry>();
    entry->m_font = font;
    entry->m_font.colour = 0;
    entry->m_target = m_target;
    entry->m_metrics = m_target->Metrics(entry->m_font);
    m_fonts.push_back(std::move(entry));
    return m_last = m_fonts.back().get();
}

FontMetrics MeasureCache::Metrics(const FontSpec& font) {
    FontEntry* e = Select(font);
    return e ? e->Metrics() : FontMetrics{};
}

int MeasureCache::Extent(const FontSpec& font, std::string_view text) {
    if (!m_target) return 0;
    if (text.size() == 1) return Select(font)->Single(static_cast<std::uint8_t>(text[0]));
    if (text.size() == 2)
        return Select(font)->Pair(static_cast<std::uint8_t>(text[0]), static_cast<std::uint8_t>(text[1]));
    return m_target->Extent(font, text);
}

} // namespace morvell
