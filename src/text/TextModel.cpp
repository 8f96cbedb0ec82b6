#include "text/TextModel.h"

#include "text/Canvas.h"

#include <algorithm>

namespace morvell {

TextModel::TextModel(TOVKset* document, Measurer* measurer) : m_document(document), m_cache(measurer) {}

TextModel::~TextModel() {
    // Paragraphs tell their owner about their objects when they go: do it while it exists.
    m_paragraphs.clear();
}

TOVKoggetto* TextModel::FindPageObject(std::int32_t identifier) {
    auto it = m_pageObjects.find(identifier);
    return it == m_pageObjects.end() ? nullptr : it->second;
}

void TextModel::SetZoom(int zoom) { m_zoom = std::clamp(zoom, 5, 20); }

void TextModel::Load(std::string_view body, std::string_view header, std::string_view footer,
                     bool keepTables) {
    m_paragraphs.clear();
    m_freeObjects.clear();
    m_headerCount = m_footerCount = 0;
    ClearSelection();

    TextStream bodyStream(body);
    ReadObjectHolders(bodyStream, *this, [this](TOVKoggetto& object, std::int32_t id) {
        m_freeObjects.push_back(EmbeddedObject{&object, id, std::nullopt});
    });
    auto append = [this](ParagraphList&& list) {
        const int n = static_cast<int>(list.size());
        for (auto& p : list) m_paragraphs.push_back(std::move(p));
        return n;
    };
    if (!header.empty()) {
        TextStream s(header);
        m_headerCount = append(ReadParagraphs(*this, s, TOVKparag::kHeader, keepTables));
    }
    append(ReadParagraphs(*this, bodyStream, TOVKparag::kBody, keepTables));
    if (!footer.empty()) {
        TextStream s(footer);
        m_footerCount = append(ReadParagraphs(*this, s, TOVKparag::kFooter, keepTables));
    }
}

int TextModel::LayOut() {
    m_widest = m_width;
    if (m_paragraphs.empty()) return 0;
    LineLayout::Number(m_paragraphs);
    int top =
        m_tableCell ? m_paragraphs.front()->Top() : LineLayout::FirstTop(*m_paragraphs.front(), m_document);
    for (auto& p : m_paragraphs) top = LineLayout::LayOut(*p, top);
    return top;
}

void TextModel::Draw(Canvas& canvas, std::optional<CanvasRect> area) {
    LineLayout::Number(m_paragraphs);
    for (std::size_t i = 0; i < m_paragraphs.size(); ++i) {
        TOVKparag& p = *m_paragraphs[i];
        const CanvasRect band = LineLayout::Band(p, std::max(m_width, m_widest));
        if (area && !band.Intersects(*area)) continue;
        LineLayout::Draw(p, static_cast<int>(i), canvas);
    }
}

void TextModel::Select(TextPoint from, TextPoint to) {
    m_selectionStart = std::min(from, to);
    m_selectionEnd = std::max(from, to);
}

std::string TextModel::StoredText() {
    std::string out;
    WriteText(out, *this, m_paragraphs, m_freeObjects);
    return out;
}

} // namespace morvell
