#pragma once
// Tests: a canvas that measures with FixedMetrics and remembers every call.

#include "text/Canvas.h"

#include <string>
#include <vector>

namespace morvell {

class RecordingCanvas : public Canvas {
public:
    enum class Op { SetFont, TextOut, FillRect, Line, DrawImage, SetClip, SetTextBackground };
    struct Call {
        Op op;
        int x = 0, y = 0, x2 = 0, y2 = 0;
        std::string text;            // TextOut
        FontSpec font;               // font in effect at the call
        std::uint32_t colour = 0;    // FillRect, Line; text background for TextOut when set
        bool hasBackground = false;  // TextOut drawn over a solid background
        PenStyle pen = PenStyle::Solid;
        CanvasRect rect;             // FillRect, DrawImage target, SetClip
    };

    FontMetrics Metrics(const FontSpec& font) override { return m_metrics.Metrics(font); }
    int Extent(const FontSpec& font, std::string_view text) override { return m_metrics.Extent(font, text); }

    void SetFont(const FontSpec& font) override;
    const FontSpec& Font() const override { return m_font; }
    void SetTextBackground(std::optional<std::uint32_t> colour) override;
    int TextOut(int x, int y, std::string_view text) override;
    void FillRect(const CanvasRect& rect, std::uint32_t colour) override;
    void Line(int x1, int y1, int x2, int y2, std::uint32_t colour, PenStyle style) override;
    void DrawImage(int x, int y, const ImageView& image, std::optional<CanvasRect> target) override;
    void SetClip(std::optional<CanvasRect> clip) override;

    const std::vector<Call>& Calls() const { return m_calls; }
    std::vector<Call> CallsOf(Op op) const;
    void Clear() { m_calls.clear(); }

private:
    FixedMetrics m_metrics;
    FontSpec m_font;
    std::optional<std::uint32_t> m_background;
    std::vector<Call> m_calls;
};

} // namespace morvell
