#pragma once
// The selection serialiser of a text box: which font is at a position, and the selection
// written for the clipboard (the internal objects format), for printing, as RTF and as plain
// text. The RTF and plain-text converters are installed by the exporters; until they are, the
// selection's characters stand in for both.

#include "objects/TMyFont.h"
#include "text/ParagraphStream.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace morvell {

class TOVKoggetto;
class TOVKset;
class TOVKtesto;
struct TextPoint;

// What the serialiser needs of the box it serves.
class SelectionSource {
public:
    virtual ~SelectionSource() = default;
    virtual const ParagraphList& SourceParagraphs() const = 0;
    // The earlier and the later end of the selection (both the caret without a selection).
    virtual TextPoint SourceSelectionStart() const = 0;
    virtual TextPoint SourceSelectionEnd() const = 0;
    virtual TextPoint SourceCaret() const = 0;
    // The page copy whose local links the text names; null for a text without one.
    virtual TOVKtesto* SourceTextObject() const = 0;
    virtual TOVKset* SourceDocument() const = 0;
};

// Turns a selection in the paragraph stream form (ended by its 0 byte) into another format.
using SelectionConverter = std::function<std::string(std::string_view stream, TOVKset* document)>;

class TOVKTextAttributes {
public:
    // Positions `FontAtPosition` knows.
    enum Position : int {
        kBeforeCaret = 0,
        kAtCaret = 1,
        kAfterCaret = 2,
        kBeforeSelectionStart = 3,
        kAtSelectionStart = 4,
        kAtSelectionEnd = 5,
        kBeforeSelectionEnd = 6,
    };
    // Version of the internal clipboard format.
    static constexpr std::int32_t kFormatVersion = 1;
    // How deep special links are followed to their targets.
    static constexpr int kMaxLinkDepth = 5;

    explicit TOVKTextAttributes(SelectionSource* source) : m_source(source) {}

    TMyFont& Font() { return m_font; }
    int Mode() const { return m_mode; }

    // Fills `font` with the font at `position`; answers the paragraph index (-1 for none) and
    // sets `link` to the link reference there.
    int FontAtPosition(int position, TMyFont& font, std::uint32_t& link) const;

    // Appends the selection in the internal format: mode 0 for the clipboard, mode 1 for
    // printing (the objects first made ready for print). Answers the first picture a selected
    // object shows, or null. Nothing is written without a selection start.
    TOVKoggetto* WriteSelection(std::string& out, int mode);
    // The selected paragraphs in the paragraph stream form, ended by the 0 byte.
    std::string SelectionStream() const;
    // RTF and plain text, as bytes in the ebook's code page.
    std::string WriteRtf() const;
    std::string WritePlainText() const;

    static void SetRtfConverter(SelectionConverter converter);
    static void SetPlainTextConverter(SelectionConverter converter);

    // The objects the last WriteSelection collected (for tests and for the print path).
    const std::vector<TOVKoggetto*>& LinkObjects() const { return m_links; }
    const std::vector<TOVKoggetto*>& SupportObjects() const { return m_support; }
    const std::vector<TOVKoggetto*>& InstanceObjects() const { return m_instances; }

private:
    void Collect(int mode);
    void AddLink(TOVKoggetto* link, int depth);
    void AddSupport(TOVKoggetto* object);
    void AddPicture(std::int32_t immagineIndex);
    TOVKoggetto* ResolveLink(std::uint32_t ref) const;
    std::string PlainCharacters() const;

    SelectionSource* m_source;
    TMyFont m_font;
    int m_mode = 0;
    std::vector<TOVKoggetto*> m_links;
    std::vector<TOVKoggetto*> m_support;
    std::vector<TOVKoggetto*> m_instances;
};

} // namespace morvell
