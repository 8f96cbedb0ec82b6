#include "text/RecordingCanvas.h"

namespace morvell {

void RecordingCanvas::SetFont(const FontSpec& font) {
    m_font = font;
    Call c{Op::SetFont};
    c.font = font;
    m_calls.push_back(std::move(c));
}

void RecordingCanvas::SetTextBackground(std::optional<std::uint32_t> colour) {
    m_background = colour;
    Call c{Op::SetTextBackground};
    c.font = m_font;
    c.hasBackground = colour.has_value();
    c.colour = colour.value_or(0);
    m_calls.push_back(std::move(c));
}

int RecordingCanvas::TextOut(int x, int y, std::string_view text) {
    Call c{Op::TextOut};
    c.x = x;
    c.y = y;
    c.text = std::string(text);
    c.font = m_font;
    c.hasBackground = m_background.has_value();
    c.colour = m_background.value_or(0);
    m_calls.push_back(std::move(c));
    return Extent(m_font, text);
}

void RecordingCanvas::FillRect(const CanvasRect& rect, std::uint32_t colour) {
    Call c{Op::FillRect};
    c.rect = rect;
    c.colour = colour;
    c.font = m_font;
    m_calls.push_back(std::move(c));
}

void RecordingCanvas::Line(int x1, int y1, int x2, int y2, std::uint32_t colour, PenStyle style) {
    Call c{Op::Line};
    c.x = x1;
    c.y = y1;
    c.x2 = x2;
    c.y2 = y2;
    c.colour = colour;
    c.pen = style;
    c.font = m_font;
    m_calls.push_back(std::move(c));
}

void RecordingCanvas::DrawImage(int x, int y, const ImageView& image, std::optional<CanvasRect> target) {
    Call c{Op::DrawImage};
    c.x = x;
    c.y = y;
    c.rect = target.value_or(CanvasRect{x, y, x + image.width, y + image.height});
    c.font = m_font;
    m_calls.push_back(std::move(c));
}

void RecordingCanvas::SetClip(std::optional<CanvasRect> clip) {
    Call c{Op::SetClip};
    c.rect = clip.value_or(CanvasRect{});
    c.font = m_font;
    m_calls.push_back(std::move(c));
}

std::vector<RecordingCanvas::Call> RecordingCanvas::CallsOf(Op op) const {
    std::vector<Call> out;
    for (const auto& c : m_calls)
        if (c.op == op) out.push_back(c);
    return out;
}

} // namespace morvell
