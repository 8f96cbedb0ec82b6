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
#include <QImage>
#include <QPoint>
#include <QRgb>

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

    // The measurer for text drawn on screen in a code page, one per code page for the life of
    // the program: the widths, shapes and word images one page made are ready for the next
    // page and every other window. Only for the UI thread.
    static QtMeasurer& Screen(std::string_view charSet);

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

    // A word already drawn: its glyphs in one colour on a transparent premultiplied image,
    // trimmed to the pixels they touch. `offset` is where the image's top-left corner goes,
    // relative to the run's baseline origin; a null image means the run leaves no mark.
    // Text is mostly the same few thousand words, and one image blit costs far less than
    // blending each glyph again. Valid until the next call for any font.
    struct Ink {
        QImage image;
        QPoint offset;
    };
    // Null when the glyphs must be drawn directly instead: a font too large for images to pay
    // (headings of a few words, or a hostile size that would make an image of gigabytes), or,
    // for a painter on a widget (`onWidget`), a font the desktop draws there with subpixel
    // (LCD) glyphs, which an image with an alpha channel cannot hold.
    const Ink* WordInk(const FontSpec& font, std::string_view bytes, QRgb colour, bool onWidget);
    // Bytes of word images kept now, over all fonts.
    std::size_t WordInkBytes() const { return m_inkBytes; }

    // Fonts taller than this are drawn glyph by glyph.
    static constexpr int kMaxInkHeight = 128;
    // Nor is a run whose image before trimming would exceed this many pixels.
    static constexpr int kMaxInkPixels = 256 * 1024;

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
        // Per run, one image per colour it was drawn in (almost always one).
        RunMap<std::vector<std::pair<QRgb, Ink>>> inks;
        // Whether the font draws subpixel glyphs on widgets: -1 until a paint on a widget asked.
        int subpixelOnWidgets = -1;
    };
    FontEntry& Entry(const FontSpec& fontSpec);
    bool DrawsSubpixelOnWidgets(FontEntry& entry);
    QString Decode(const FontEntry& entry, std::string_view bytes) const;

    // Fonts kept at once; an ebook uses a handful, so eviction is only a bound on hostile input.
    static constexpr std::size_t kMaxFonts = 128;
    // Runs remembered per font before the memory starts again: far more distinct words than
    // a page shows, and a bound on what a hostile page can make us keep.
    static constexpr std::size_t kMaxRuns = 8192;
    // Bytes of word images kept over all fonts before they are all dropped and drawn anew:
    // a few thousand words at reading sizes fit well below it.
    static constexpr std::size_t kMaxInkBytes = 16u << 20;
    std::size_t m_inkBytes = 0;
    std::string m_charSet;
    const ByteTable* m_table;
    int m_dpi;
    QPaintDevice* m_device;
    std::vector<std::unique_ptr<FontEntry>> m_fonts;
    FontEntry* m_last = nullptr;
};

} // namespace morvell
