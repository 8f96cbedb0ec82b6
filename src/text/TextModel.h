#pragma once
// A text box without a window: the paragraphs of a text, laid out for a width and drawn onto
// any Canvas. Tests and the command-line tool use it; the Qt text box does the same work
// with its widgets around it.

#include "text/Canvas.h"
#include "text/LineLayout.h"
#include "text/ParagraphOwner.h"
#include "text/ParagraphStream.h"
#include "text/TOVKparag.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace morvell {

class TextModel : public ParagraphOwner {
public:
    TextModel(TOVKset* document, Measurer* measurer);
    ~TextModel() override;

    // --- ParagraphOwner --------------------------------------------------------------------
    TOVKset* Document() const override { return m_document; }
    MeasureCache& Measure() override { return m_cache; }
    int Zoom() const override { return m_zoom; }
    int LayoutWidth() const override { return m_width; }
    int InnerMargin() const override { return m_innerMargin; }
    int WidestLine() const override { return m_widest; }
    void SetWidestLine(int width) override { m_widest = width; }
    bool IsTableCell() const override { return m_tableCell; }
    bool ReadOnly() const override { return m_readOnly; }
    TOVKoggetto* FindPageObject(std::int32_t identifier) override;
    bool SelectionShown() const override { return m_selectionStart < m_selectionEnd; }
    TextPoint SelectionStart() const override { return m_selectionStart; }
    TextPoint SelectionEnd() const override { return m_selectionEnd; }

    // --- settings --------------------------------------------------------------------------
    // Zoom in tenths, kept within 5 to 20.
    void SetZoom(int zoom);
    void SetLayoutWidth(int width) { m_width = width; }
    void SetInnerMargin(int margin) { m_innerMargin = margin; }
    void SetTableCell(bool cell) { m_tableCell = cell; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    // The page's object list as object tags name it (not owned).
    void AddPageObject(std::int32_t identifier, TOVKoggetto* object) { m_pageObjects[identifier] = object; }

    // --- text ------------------------------------------------------------------------------
    // Reads a page text: the object holders of the body, then header (kind 1), body (kind 0)
    // and footer (kind 2) paragraphs. Empty header or footer streams add nothing.
    void Load(std::string_view body, std::string_view header = {}, std::string_view footer = {},
              bool keepTables = false);
    ParagraphList& Paragraphs() { return m_paragraphs; }
    const ParagraphList& Paragraphs() const { return m_paragraphs; }
    const std::vector<EmbeddedObject>& FreeObjects() const { return m_freeObjects; }
    int HeaderCount() const { return m_headerCount; }
    int FooterCount() const { return m_footerCount; }

    // Lays out every paragraph for the layout width: a page box from the first top, a cell
    // box from the first paragraph's own top. Returns the content height (the next top of
    // the last paragraph).
    int LayOut();
    // Draws the paragraphs that meet `area` (all without one).
    void Draw(Canvas& canvas, std::optional<CanvasRect> area = std::nullopt);

    void Select(TextPoint from, TextPoint to);
    void ClearSelection() { m_selectionStart = m_selectionEnd = {}; }

    // The stored text of the body, with the free objects' holders and the final 0 byte.
    std::string StoredText();

private:
    TOVKset* m_document;
    MeasureCache m_cache;
    int m_zoom = 10;
    int m_width = 600;
    int m_innerMargin = 0;
    int m_widest = 0;
    bool m_tableCell = false;
    bool m_readOnly = true;
    std::unordered_map<std::int32_t, TOVKoggetto*> m_pageObjects;
    ParagraphList m_paragraphs;
    std::vector<EmbeddedObject> m_freeObjects;
    int m_headerCount = 0;
    int m_footerCount = 0;
    TextPoint m_selectionStart;
    TextPoint m_selectionEnd;
};

} // namespace morvell
