#pragma once
// Widths of single characters and character pairs, remembered per font in front of any
// Measurer. Layout measures every character by the pair rule (extent of previous + this
// minus extent of previous), so a font engine would otherwise be asked twice per character.

#include "text/Measurer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace morvell {

class MeasureCache : public Measurer {
public:
    // The measurements of one font. Valid until the next Select() of the cache.
    class FontEntry {
    public:
        const FontSpec& Font() const { return m_font; }
        const FontMetrics& Metrics() const { return m_metrics; }
        int Single(std::uint8_t c);
        int Pair(std::uint8_t a, std::uint8_t b);
        // Width of `c` after `previous` by the pair rule; previous < 0 measures `c` alone.
        int CharWidth(int previous, std::uint8_t c) {
            return previous < 0 ? Single(c)
                                : Pair(static_cast<std::uint8_t>(previous), c) -
                                      Single(static_cast<std::uint8_t>(previous));
        }

    private:
        friend class MeasureCache;
        using Row = std::array<int, 256>;
        FontSpec m_font;
        FontMetrics m_metrics;
        Measurer* m_target = nullptr;
        Row m_single{};
        std::array<bool, 256> m_singleKnown{};
        std::array<std::unique_ptr<Row>, 256> m_pairs; // rows made on first use, -1 = unknown
    };

    explicit MeasureCache(Measurer* target = nullptr) : m_target(target) {}
    Measurer* Target() const { return m_target; }
    // A new target forgets everything measured before.
    void SetTarget(Measurer* target);
    void Clear();

    // The entry for `font` (colour ignored); nullptr without a target.
    FontEntry* Select(const FontSpec& font);

    FontMetrics Metrics(const FontSpec& font) override;
    int Extent(const FontSpec& font, std::string_view text) override;

private:
    static constexpr std::size_t kMaxFonts = 64;
    Measurer* m_target;
    std::vector<std::unique_ptr<FontEntry>> m_fonts;
    FontEntry* m_last = nullptr;
};

} // namespace morvell
