#pragma once
// What a paragraph needs from the box it belongs to. The Qt text box implements it; TextModel
// implements it in core for tests and the command-line tool.

#include "objects/Visual.h"
#include "text/MeasureCache.h"

#include <compare>
#include <cstdint>
#include <string>

namespace morvell {

class TOVKset;
class TOVKoggetto;
struct TextStream;

// A character position: paragraph index in the box and character index in the paragraph.
struct TextPoint {
    int paragraph = -1;
    int character = -1;
    auto operator<=>(const TextPoint&) const = default;
};

// System colours as 0x80000000 + n.
inline constexpr std::uint32_t kSystemHighlight = 0x80000000u + 13;
inline constexpr std::uint32_t kSystemHighlightText = 0x80000000u + 14;

class ParagraphOwner {
public:
    virtual ~ParagraphOwner() = default;

    // --- document and measuring ----------------------------------------------------------
    // nullptr is allowed: styles then take the record defaults.
    virtual TOVKset* Document() const = 0;
    virtual MeasureCache& Measure() = 0;
    // Reader zoom in tenths (5 to 20, default 10); every font size is size * zoom / 10.
    virtual int Zoom() const { return 10; }

    // --- layout --------------------------------------------------------------------------
    virtual int LayoutWidth() const = 0;
    // Inner margin of table-cell boxes; 0 for page text.
    virtual int InnerMargin() const { return 0; }
    virtual int WidestLine() const = 0;
    virtual void SetWidestLine(int width) = 0;
    virtual bool IsTableCell() const { return false; }
    virtual bool ReadOnly() const { return true; }
    virtual void BlockRepaint() {}
    virtual void UnblockRepaint() {}

    // --- embedded objects ----------------------------------------------------------------
    // The object an object tag names by its 24-bit identifier in the page's object list.
    virtual TOVKoggetto* FindPageObject(std::int32_t identifier) {
        (void)identifier;
        return nullptr;
    }
    // Size of an embedded object offered `availableWidth`: through its control (hidden in
    // this box's mode: 0 x 10; form elements 2 pixels higher), 0 x 0 without a control.
    virtual VisualSize ObjectSize(TOVKoggetto& object, int availableWidth);
    // Layout hides the control until drawing places it.
    virtual void HideObject(TOVKoggetto& object);
    virtual void PlaceObject(TOVKoggetto& object, int x, int y, bool selected);
    // A table's cell texts that follow its object tag. A box with table controls reads them
    // into the cells and answers true; the default answers false and the paragraph skips
    // them itself, keeping their bytes for writing back.
    virtual bool ReadTableCells(TOVKoggetto& table, TextStream& stream) {
        (void)table;
        (void)stream;
        return false;
    }
    // Writes the cell texts of a table (each cell's paragraphs then "<T>"); false when the
    // box has no cells for it.
    virtual bool WriteTableCells(const TOVKoggetto& table, std::string& out) {
        (void)table;
        (void)out;
        return false;
    }
    // A paragraph drops an object it embeds (its control and, for an unregistered object,
    // the object itself belong to the page; the box decides).
    virtual void ReleaseObject(TOVKoggetto& object) { (void)object; }

    // --- drawing -------------------------------------------------------------------------
    virtual bool SelectionShown() const { return false; }
    virtual TextPoint SelectionStart() const { return {}; }
    virtual TextPoint SelectionEnd() const { return {}; }
    virtual std::uint32_t HighlightColour() const { return kSystemHighlight; }
    virtual std::uint32_t HighlightTextColour() const { return kSystemHighlightText; }
};

// Vertical alignment an embedded object gives the line layout: 3 hangs below the baseline,
// 4 is centred on it, anything else stands on it.
int ObjectAlignment(const TOVKoggetto& object);

} // namespace morvell
