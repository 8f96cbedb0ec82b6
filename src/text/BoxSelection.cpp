#include "text/BoxSelection.h"

#include "text/TOVKparag.h"

#include <algorithm>
#include <cstdlib>

namespace morvell::boxselection {

namespace {

// A paragraph's band for hit testing, shifted by its space above like its lines.
int BandTop(const TOVKparag& p) { return p.Top() + p.Style().SpaceAbove(); }
int BandBottom(const TOVKparag& p) { return p.Bottom() + p.Style().SpaceAbove(); }

int FindParagraph(const ParagraphList& list, int first, int last, int y) {
    if (y < BandTop(*list[first])) return first;
    if (y > BandBottom(*list[last])) return last;
    int lo = first, hi = last;
    // Bisection while the range is large; a short range is scanned.
    while (hi - lo + 1 > 5) {
        const int mid = lo + (hi - lo) / 2;
        const TOVKparag& p = *list[mid];
        if (y < BandTop(p))
            hi = mid - 1;
        else if (y > BandBottom(p))
            lo = mid + 1;
        else
            return mid;
    }
    int found = lo;
    for (int i = lo; i <= hi; ++i) {
        if (BandTop(*list[i]) <= y) found = i;
        if (y >= BandTop(*list[i]) && y <= BandBottom(*list[i])) return i;
    }
    return found;
}

} // namespace

TTextPos HitTest(const BoxParagraphs& box, int mode, int x, int y) {
    TTextPos pos;
    if (!box.paragraphs || box.Count() == 0) return pos;
    int first = 0, last = box.Count() - 1;
    if (mode == 0 || mode == 3 || mode == 4) {
        first = box.BodyFirst();
        last = box.BodyLast();
    } else if (mode != 5) {
        return pos;
    }
    if (first < 0 || last < first || last >= box.Count()) return pos;

    const ParagraphList& list = *box.paragraphs;
    const int index = FindParagraph(list, first, last, y);
    TOVKparag& p = *list[index];
    const auto& lines = p.Lines();
    const auto& chars = p.Chars();
    const int contentTop = p.Top() + p.Style().SpaceAbove();
    pos.paragraph = &p;
    pos.paragraphIndex = index;
    if (lines.empty()) {
        pos.characterIndex = 0;
        pos.y = contentTop;
        pos.height = p.DefaultLineHeight();
        return pos;
    }

    const int yIn = y - contentTop;
    int lineIndex = 0;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i)
        if (lines[i].top < yIn) lineIndex = i;
    const TOVKline& line = lines[lineIndex];

    const bool lastLine = lineIndex == static_cast<int>(lines.size()) - 1;
    // On the last line the place after the last character is one more character.
    int limit = line.first + line.count + (lastLine ? 1 : 0);
    limit = std::min(limit, static_cast<int>(chars.size()));
    int i = line.first;
    int x0 = line.indent + line.offset;
    int before = x0;
    while (i < limit && x0 < x) {
        before = x0;
        x0 += chars[i].Width;
        ++i;
    }
    pos.lineIndex = lineIndex;
    pos.characterIndex = std::max(i - 1, 0);
    pos.x = i == line.first ? x0 : before;
    pos.xRight = x0;
    pos.y = contentTop + line.top;
    pos.height = line.height;
    return pos;
}

bool IsWordSeparator(unsigned char c) {
    switch (c) {
    case ' ':
    case '!':
    case '"':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case '-':
    case '.':
    case '/':
    case ':':
    case ';':
    case '<':
    case '=':
    case '>':
    case '?':
    case '{':
    case '|':
    case '}':
    case '~':
    case 147:
    case 148:
        return true;
    default:
        return false;
    }
}

TextPoint WordStart(const BoxParagraphs& box, TextPoint at) {
    if (!box.paragraphs || at.paragraph < 0 || at.paragraph >= box.Count()) return at;
    const std::string& s = (*box.paragraphs)[at.paragraph]->Text();
    const int n = static_cast<int>(s.size());
    auto sep = [&](int k) { return k >= n || IsWordSeparator(static_cast<unsigned char>(s[k])); };
    int i = std::clamp(at.character, 0, n);
    if (i > 0 && !sep(i - 1)) --i;
    while (i > 0 && sep(i)) --i;
    if (i > 0) {
        while (i > 0 && !sep(i)) --i;
        return {at.paragraph, i > 0 ? i + 1 : 0};
    }
    if (at.paragraph > box.BodyFirst()) {
        const int prev = at.paragraph - 1;
        return {prev, (*box.paragraphs)[prev]->Length()};
    }
    return {at.paragraph, 0};
}

TextPoint WordEnd(const BoxParagraphs& box, TextPoint at) {
    if (!box.paragraphs || at.paragraph < 0 || at.paragraph >= box.Count()) return at;
    const std::string& s = (*box.paragraphs)[at.paragraph]->Text();
    const int n = static_cast<int>(s.size());
    int i = std::clamp(at.character, 0, n);
    if (i < n) {
        while (i < n && !IsWordSeparator(static_cast<unsigned char>(s[i]))) ++i;
        while (i < n && s[i] == ' ') ++i;
        return {at.paragraph, i};
    }
    if (at.paragraph < box.BodyLast()) return {at.paragraph + 1, 0};
    return {at.paragraph, i};
}

bool PastDragThreshold(int pressX, int pressY, int x, int y) {
    return std::abs(x - pressX) > kDragThreshold || std::abs(y - pressY) > kDragThreshold;
}

int VerticalScrollRange(int contentHeight, bool& capped) {
    capped = contentHeight > kMaxScrollRange;
    // Qt's scroll bars take any int, so the range is the whole content: cutting it at the old
    // limit would leave the end of a long page where no scrolling reaches it.
    return std::max(0, contentHeight);
}

ScrollPoint ScrollIntoView(int x, int y, int width, int height, int sx, int sy, int cw, int ch) {
    ScrollPoint to{sx, sy};
    if (x < sx)
        to.x = x;
    else if (x + width > sx + cw)
        to.x = x + width - cw;
    if (y < sy)
        to.y = y;
    else if (y + height > sy + ch)
        to.y = y + height - ch;
    return to;
}

std::uint32_t LinkAt(const BoxParagraphs& box, const TTextPos& pos) {
    if (!pos.Valid() || !pos.paragraph) return kNoLink;
    const auto& chars = pos.paragraph->Chars();
    if (pos.characterIndex >= static_cast<int>(chars.size())) return kNoLink;
    (void)box;
    return chars[pos.characterIndex].LinkRef;
}

} // namespace morvell::boxselection
