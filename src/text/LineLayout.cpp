#include "text/LineLayout.h"

#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "text/Canvas.h"
#include "text/ParagraphOwner.h"
#include "text/TOVKparag.h"
#include "text/TextTexts.h"

#include <algorithm>
#include <limits>

namespace morvell {

namespace {

int ClampInt(long long v) {
    return static_cast<int>(
        std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

TMyFont LinkLook(const TMyFont& from, const TOVKParaStyle& style) {
    TMyFont f = from;
    f.style = static_cast<std::uint8_t>(f.style ^ (style.LinkStyle() & 0x0F));
    f.colour = style.LinkColour();
    if (style.LinkSize() > 0) f.size = style.LinkSize();
    return f;
}

} // namespace

LineCapacity LineLayout::Capacity(const TOVKparag& paragraph, int width, int innerMargin) {
    const TOVKParaStyle& st = paragraph.Style();
    const long long l = static_cast<long long>(st.LeftMargin()) + innerMargin;
    const long long r = static_cast<long long>(st.RightMargin()) + innerMargin;
    long long indent = st.FirstIndent();
    if (st.Numbering() != 0 && indent < 0) indent = 0;
    LineCapacity c;
    c.firstX = ClampInt(l + indent);
    c.firstCapacity = ClampInt(width - l - r - indent);
    c.otherX = ClampInt(l);
    c.otherCapacity = ClampInt(width - l - r);
    return c;
}

int LineLayout::LayOut(TOVKparag& p, int top) {
    ParagraphOwner* owner = p.Owner();
    if (owner) owner->BlockRepaint();
    const int width = owner ? owner->LayoutWidth() : 0;
    const LineCapacity cap = Capacity(p, width, owner ? owner->InnerMargin() : 0);
    const TOVKParaStyle& st = p.Style();
    const std::string& text = p.Text();
    std::vector<TCharInfo>& chars = p.Chars();
    const int n = p.Length();
    const int defaultHeight = p.DefaultLineHeight() > 0 ? p.DefaultLineHeight() : 20;
    const int alignment = st.Alignment();
    const int fixedHeight = st.LineHeight();

    for (int i = 0; i < n; ++i)
        chars[static_cast<std::size_t>(i)].Width = chars[static_cast<std::size_t>(i)].Advance;
    p.SetAvailWidth(width);
    p.SetTop(top);

    std::vector<TOVKline> lines;
    TOVKline line;
    line.paragraph = &p;
    line.indent = cap.firstX;
    line.capacity = cap.firstCapacity;
    long long remaining = line.capacity;
    int breakPoint = -1;
    long long breakRemaining = 0;
    int pendingAscent = 0;

    auto widen = [&](long long rem) {
        if (rem < 0 && owner) owner->SetWidestLine(std::max(owner->WidestLine(), ClampInt(width - rem)));
    };
    auto add = [&](int i, bool spaceCheck) {
        const TCharInfo& c = chars[static_cast<std::size_t>(i)];
        remaining -= c.Advance;
        line.ascent = std::max(line.ascent, c.Ascent);
        pendingAscent = std::max(pendingAscent, c.Ascent);
        ++line.count;
        widen(remaining);
        if (spaceCheck && text[static_cast<std::size_t>(i)] == ' ') {
            breakPoint = i + 1;
            breakRemaining = remaining;
            pendingAscent = 0;
        }
    };
    auto finish = [&](TOVKline& ln, long long rem, bool last) {
        int h = 0;
        for (int k = ln.first; k < ln.first + ln.count; ++k) {
            const TCharInfo& c = chars[static_cast<std::size_t>(k)];
            h = std::max(h, ln.ascent + c.Height - c.Ascent);
        }
        ln.height = h > 0 ? h : defaultHeight;
        ln.offset = 0;
        if (alignment == 1) {
            ln.offset = ClampInt(rem);
        } else if (alignment == 2) {
            ln.offset = ClampInt(rem / 2);
        } else if (alignment == 3 && !last && rem > 0) {
            int spaces = 0;
            for (int k = ln.first; k < ln.first + ln.count - 1; ++k)
                if (text[static_cast<std::size_t>(k)] == ' ') ++spaces;
            if (spaces > 0) {
                const long long share = rem / spaces;
                long long extra = rem % spaces;
                for (int k = ln.first; k < ln.first + ln.count - 1; ++k) {
                    if (text[static_cast<std::size_t>(k)] != ' ') continue;
                    TCharInfo& c = chars[static_cast<std::size_t>(k)];
                    c.Width = ClampInt(c.Advance + share + (extra > 0 ? 1 : 0));
                    if (extra > 0) --extra;
                }
                rem = 0;
            }
        }
        ln.usedWidth = ClampInt(ln.capacity - rem);
        if (fixedHeight > 0) ln.height = fixedHeight;
    };
    auto startLine = [&](int first) {
        TOVKline next;
        next.paragraph = &p;
        next.first = first;
        next.top = ClampInt(static_cast<long long>(line.top) + line.height);
        next.indent = cap.otherX;
        next.capacity = cap.otherCapacity;
        line = next;
        remaining = line.capacity;
        breakPoint = -1;
    };

    for (int i = 0; i < n; ++i) {
        TCharInfo& c = chars[static_cast<std::size_t>(i)];
        if (TOVKoggetto* object = p.ObjectAt(i); object && owner) {
            const VisualSize size = owner->ObjectSize(*object, line.capacity);
            c.Advance = c.Width = size.width;
            c.Height = size.height;
            const int align = ObjectAlignment(*object);
            c.Ascent = align == 3 ? 0 : align == 4 ? size.height / 2 : size.height;
            owner->HideObject(*object);
        }
        if (remaining - c.Advance > 0) {
            add(i, true);
            continue;
        }
        if (line.count > 0) {
            if (breakPoint < 0 && text[static_cast<std::size_t>(i - 1)] == ' ') {
                breakPoint = i;
                breakRemaining = remaining;
                pendingAscent = 0;
            }
            if (breakPoint < 0) {
                add(i, true); // no break point: the line sticks out
                continue;
            }
            line.count = breakPoint - line.first;
            finish(line, std::max<long long>(breakRemaining, 0), false);
            lines.push_back(line);
            const int carried = pendingAscent;
            const int from = breakPoint;
            startLine(from);
            for (int k = from; k < i; ++k) remaining -= chars[static_cast<std::size_t>(k)].Advance;
            line.count = i - from;
            line.ascent = carried;
            add(i, false);
        } else {
            add(i, false);
            remaining = 0;
            if (i < n - 1) {
                finish(line, 0, false);
                lines.push_back(line);
                startLine(i + 1);
                pendingAscent = 0;
            }
        }
    }
    line.count = n - line.first;
    if (remaining < 0) {
        widen(remaining);
        remaining = 0;
    }
    finish(line, remaining, true);
    lines.push_back(line);

    const long long next =
        static_cast<long long>(top) + st.SpaceAbove() + line.top + line.height + st.SpaceBelow();
    p.SetBottom(ClampInt(next - 1));
    p.Lines() = std::move(lines);
    if (owner) owner->UnblockRepaint();
    return ClampInt(next);
}

int LineLayout::FirstTop(const TOVKparag& first, TOVKset* document) {
    if (first.Style().SpaceAbove() != 0) return 0;
    const int margin = document ? document->GlobalMargin() : -1;
    return margin >= 0 ? margin : 8;
}

int LineLayout::Baseline(const TOVKparag& p, const TOVKline& line) {
    return ClampInt(static_cast<long long>(p.Top()) + p.Style().SpaceAbove() + line.top + line.ascent);
}

CanvasRect LineLayout::Band(const TOVKparag& paragraph, int width) {
    return CanvasRect{0, paragraph.Top(), width, ClampInt(static_cast<long long>(paragraph.Bottom()) + 1)};
}

void LineLayout::Number(const ParagraphList& paragraphs) {
    int count = 1;
    for (const auto& p : paragraphs) {
        if (!p) continue;
        if (p->Style().Numbering() == 6) {
            p->SetNumber(count++);
        } else {
            count = 1;
        }
    }
}

void LineLayout::Draw(TOVKparag& p, int indexInBox, Canvas& canvas) {
    ParagraphOwner* owner = p.Owner();
    const int zoom = owner ? owner->Zoom() : 10;
    const TOVKParaStyle& st = p.Style();
    const std::string& text = p.Text();
    std::vector<TCharInfo>& chars = p.Chars();
    const auto& fonts = p.Fonts();

    const TMyFont paraFont = p.ParagraphFont();
    TMyFont runFont = paraFont;
    TMyFont linkFont;
    bool inLink = false;
    std::uint32_t currentLink = kNoLink;
    bool highlighted = false;
    int lowering = 0;

    auto applyFont = [&] {
        const TMyFont& f = inLink ? linkFont : runFont;
        FontSpec fontSpec = f.Zoomed(zoom);
        if (highlighted && owner) fontSpec.colour = owner->HighlightTextColour();
        if (!(canvas.Font() == fontSpec)) canvas.SetFont(fontSpec);
        lowering = f.verticalPosition == 1 ? std::abs(canvas.Metrics(fontSpec).height) / 2 : 0;
    };
    canvas.SetTextBackground(std::nullopt);
    applyFont();

    const bool shown = owner && owner->SelectionShown();
    const TextPoint selStart = shown ? owner->SelectionStart() : TextPoint{};
    const TextPoint selEnd = shown ? owner->SelectionEnd() : TextPoint{};
    auto selected = [&](int i) {
        const TextPoint at{indexInBox, i};
        return shown && selStart <= at && at < selEnd;
    };
    auto setHighlight = [&](bool on) {
        if (on == highlighted) return;
        highlighted = on;
        canvas.SetTextBackground(on ? std::optional<std::uint32_t>(owner->HighlightColour()) : std::nullopt);
        applyFont();
    };

    // Numbers and bullets stand before the first line, in the paragraph font.
    if (!p.Lines().empty() && (st.Numbering() == 6 || st.Numbering() == 10)) {
        const TOVKline& first = p.Lines().front();
        const int y = Baseline(p, first) - chars[static_cast<std::size_t>(first.first)].Ascent;
        const int l = st.LeftMargin();
        const int indent = st.FirstIndent();
        if (st.Numbering() == 6) {
            const std::string number = std::to_string(p.Number()) + ". ";
            const int w = canvas.Extent(canvas.Font(), number);
            const int x = indent < 0 ? l + indent : indent < w ? l - w : l;
            canvas.TextOut(x, y, number);
        } else {
            const FontSpec restore = canvas.Font();
            FontSpec bullet = restore;
            bullet.name = texts::kBulletFontName;
            canvas.SetFont(bullet);
            const int x = indent < 0 ? l + indent : indent > 9 ? l : l - 10;
            canvas.TextOut(x, y, texts::kBulletCharacter);
            canvas.SetFont(restore);
        }
    }

    auto plain = [&](int k) {
        const TCharInfo& c = chars[static_cast<std::size_t>(k)];
        return c.FontIndex < 0 && c.ObjectIndex < 0 && text[static_cast<std::size_t>(k)] != ' ' &&
               c.LinkRef == currentLink;
    };

    for (const TOVKline& line : p.Lines()) {
        const int baseline = Baseline(p, line);
        long long x = static_cast<long long>(line.indent) + line.offset;
        const int end = std::min(line.first + line.count, p.Length());
        auto inside = [&](const TextPoint& t) {
            return t.paragraph == indexInBox && t.character > line.first && t.character < end;
        };
        const bool boundary = shown && (inside(selStart) || inside(selEnd));
        int i = line.first;
        while (i < end) {
            setHighlight(selected(i));
            TCharInfo& c = chars[static_cast<std::size_t>(i)];
            if (!boundary && plain(i)) {
                int j = i + 1;
                while (j < end && plain(j)) ++j;
                long long stored = 0;
                for (int k = i; k < j; ++k) stored += chars[static_cast<std::size_t>(k)].Width;
                const std::string_view run(text.data() + i, static_cast<std::size_t>(j - i));
                const int drawn = canvas.Extent(canvas.Font(), run);
                if (std::abs(drawn - stored) >= kRemeasureSlack) {
                    // The font engine disagrees with the stored widths (another font, another
                    // resolution): measure again and draw one by one.
                    long long cx = x;
                    int previous = -1;
                    const FontSpec& font = canvas.Font();
                    for (int k = i; k < j; ++k) {
                        const char ch = text[static_cast<std::size_t>(k)];
                        int w = 0;
                        if (previous < 0) {
                            w = canvas.Extent(font, std::string_view(&ch, 1));
                        } else {
                            const char pair[2] = {static_cast<char>(previous), ch};
                            const char prev = static_cast<char>(previous);
                            w = canvas.Extent(font, std::string_view(pair, 2)) -
                                canvas.Extent(font, std::string_view(&prev, 1));
                        }
                        TCharInfo& ck = chars[static_cast<std::size_t>(k)];
                        canvas.TextOut(ClampInt(cx), baseline + lowering - ck.Ascent,
                                       std::string_view(&ch, 1));
                        ck.Advance = ck.Width = w;
                        cx += w;
                        previous = static_cast<std::uint8_t>(ch);
                    }
                } else {
                    canvas.TextOut(ClampInt(x), baseline + lowering - c.Ascent, run);
                }
                x += stored;
                i = j;
                continue;
            }
            const bool runStarts = c.FontIndex >= 0 && c.FontIndex < static_cast<int>(fonts.size());
            if (runStarts) {
                runFont = fonts[static_cast<std::size_t>(c.FontIndex)].Font();
                // Inside a link of its own size the link keeps its look.
                if (inLink && st.LinkSize() < 0) linkFont = LinkLook(runFont, st);
                applyFont();
            }
            if (c.LinkRef != currentLink) {
                currentLink = c.LinkRef;
                inLink = currentLink != kNoLink;
                if (inLink) linkFont = LinkLook(runFont, st);
                applyFont();
            }
            if (TOVKoggetto* object = p.ObjectAt(i)) {
                if (owner) owner->PlaceObject(*object, ClampInt(x), baseline - c.Ascent, highlighted);
            } else {
                canvas.TextOut(ClampInt(x), baseline + lowering - c.Ascent,
                               std::string_view(&text[static_cast<std::size_t>(i)], 1));
            }
            x += c.Width;
            ++i;
        }
    }
    setHighlight(false);
}

} // namespace morvell
