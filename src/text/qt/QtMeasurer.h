#pragma once
// Font metrics from Qt's font engine, for screen layout (and, given a paint device, for any
// other resolution). Ebook bytes are decoded through a per-code-page table, and each font
// keeps its QFont and QFontMetrics, so measuring a pair costs one shaping call. Longer runs
// (the words a paint draws) keep their width and their shaped glyphs per font, so scrolling
// over text already seen shapes nothing.

#include "text/Measurer.h"
#include "text/qt/FontMapping.h"

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class QPaintDevice;

namespace morvell {

class QtMeasurer : public Measurer {
public:
    // `dotsPerInch` 0 takes the screen's logical DPI (96 without a screen). `device`, when
    // given, is the device the metrics are for (a printer); it must outlive the measurer.
    explicit QtMeasurer(std::string_view charSet = "windows-1252", int dotsPerInch = 0,
                        QPaintDevice* device = nullptr);
    ~QtMeasurer() override;

    // Switching code page keeps the fonts: only the decoding of bytes changes.
    void SetCharSet(std::string_view charSet);
    const std::string& CharSet() const { return m_charSet; }
    int DotsPerInch() const { return m_dpi; }

    FontMetrics Metrics(const FontSpec& font) override;
    int Extent(const FontSpec& font, std::string_view text) override;

    // The font Qt draws a fontSpec with (same cache as measuring).
    const QFont& QtFont(const FontSpec& font) { return Entry(font).font; }
    // Ebook bytes as the text a fontSpec draws them: code page, and Wingdings' bullet.
    QString Decode(const FontSpec& font, std::string_view bytes) { return Decode(Entry(font), bytes); }
    // The glyphs a fontSpec draws the bytes with, their baseline at y = 0 and the run starting at
    // x = 0: what QPainter::drawText would draw, without shaping again. Valid until the next
    // call for any font.
    const std::vector<QGlyphRun>& GlyphRuns(const FontSpec& font, std::string_view bytes);

private:
    struct StringHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    template <typename T> using RunMap = std::unordered_map<std::string, T, StringHash, std::equal_to<>>;
    struct FontEntry {
        std::string name;
        int size;
        std::uint8_t style;
        QFont font;
        QFontMetrics metrics;
        bool wingdings;
        FontMetrics cached;
        std::array<int, 256> singles; // -1 until measured
        RunMap<int> extents;
        RunMap<std::vector<QGlyphRun>> glyphs;
    };
    FontEntry& Entry(const FontSpec& fontSpec);
    QString Decode(const FontEntry& entry, std::string_view bytes) const;

    // Fonts kept at once; an ebook uses a handful, so eviction is only a bound on hostile input.
    static constexpr std::size_t kMaxFonts = 128;
    // Runs remembered per font before the memory starts again: far more distinct words than
    // a page shows, and a bound on what a hostile page can make us keep.
    static constexpr std::size_t kMaxRuns = 8192;
    std::string m_charSet;
    const ByteTable* m_table;
    int m_dpi;
    QPaintDevice* m_device;
    std::vector<std::unique_ptr<FontEntry>> m_fonts;
    FontEntry* m_last = nullptr;
};

} // namespace morvell
