#include "text/qt/TOVKbox.h"

#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKpicture.h"
#include "objects/TOVKtesto.h"
#include "objects/picture/PictureServices.h"
#include "objects/qt/PictureQt.h"
#include "platform/CodePage.h"
#include "platform/Messages.h"
#include "text/BoxBackground.h"
#include "text/BoxTexts.h"
#include "text/LineLayout.h"
#include "text/TOVKparag.h"
#include "text/qt/OVKCursors.h"
#include "text/qt/QtCanvas.h"
#include "text/qt/THintWindow.h"
#include "text/qt/TOVKcursor.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QUrl>
#include <QVariant>

#include <algorithm>

namespace morvell {

namespace {

// Paints through QtCanvas but measures with the box's own measurer, so that the widths a
// run is checked against (and re-measured with) are those the lines were broken for.
class BoxCanvas : public Canvas {
public:
    // sameMeasurer: the inner canvas measures with the same measurer, so its widths are ours.
    BoxCanvas(QtCanvas& inner, Measurer& measurer, bool sameMeasurer)
        : m_inner(inner), m_measurer(measurer), m_sameMeasurer(sameMeasurer) {}
    FontMetrics Metrics(const FontSpec& font) override { return m_measurer.Metrics(font); }
    int Extent(const FontSpec& font, std::string_view text) override { return m_measurer.Extent(font, text); }
    void SetFont(const FontSpec& font) override { m_inner.SetFont(font); }
    const FontSpec& Font() const override { return m_inner.Font(); }
    void SetTextBackground(std::optional<std::uint32_t> colour) override {
        m_inner.SetTextBackground(colour);
    }
    int TextOut(int x, int y, std::string_view text) override {
        const int drawn = m_inner.TextOut(x, y, text);
        return m_sameMeasurer ? drawn : m_measurer.Extent(m_inner.Font(), text);
    }
    void FillRect(const CanvasRect& rect, std::uint32_t colour) override { m_inner.FillRect(rect, colour); }
    void Line(int x1, int y1, int x2, int y2, std::uint32_t colour, PenStyle style) override {
        m_inner.Line(x1, y1, x2, y2, colour, style);
    }
    void DrawImage(int x, int y, const ImageView& image, std::optional<CanvasRect> target) override {
        m_inner.DrawImage(x, y, image, target);
    }
    void SetClip(std::optional<CanvasRect> clip) override { m_inner.SetClip(clip); }

private:
    QtCanvas& m_inner;
    Measurer& m_measurer;
    bool m_sameMeasurer;
};

// The wait cursor while a long operation runs, restored however it ends.
class BusyCursor {
public:
    BusyCursor() {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::setOverrideCursor(Qt::WaitCursor), m_set = true;
    }
    ~BusyCursor() {
        if (m_set) QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool m_set = false;
};

std::string ShortHint(const std::string& hint) {
    const auto bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(0, bar);
}

} // namespace

// Raises the update lock for a scope; lowered also when the scope is left by an exception.
class TOVKbox::Lock {
public:
    explicit Lock(TOVKbox& box) : m_box(box) { ++m_box.m_updateLock; }
    ~Lock() { --m_box.m_updateLock; }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    TOVKbox& m_box;
};

TOVKbox::TOVKbox(QWidget* parent, TOVKset* document, Measurer* measurer)
    : TDragCustomControl(parent), m_document(document),
      m_screenMeasurer(&QtMeasurer::Screen(document ? document->CharSet() : std::string("windows-1252"))),
      m_measurer(measurer ? measurer : m_screenMeasurer), m_cache(m_measurer),
      m_attributes(std::make_unique<TOVKTextAttributes>(this)) {
    setMouseTracking(true);
    setAcceptDrops(true);
    setFocusPolicy(Qt::ClickFocus);
    m_caretBar = new TOVKcursor(this);
    SetReadOnly(true);
}

void TOVKbox::UpdateCaretBar() {
    if (!m_caretBar) return;
    m_caretBar->SetReadOnly(ReadOnly());
    if (ReadOnly() || m_hasSelection || !hasFocus() || !m_caret.Valid()) {
        m_caretBar->Hide();
        return;
    }
    m_caretBar->SetPosition(m_caret);
    m_caretBar->Show();
}

TOVKbox::~TOVKbox() {
    // Paragraphs tell their owner about their objects as they go: do it while the box exists.
    m_paragraphs.clear();
    DestroyOwnedObjects();
}

namespace {

// Controls go before their objects: a control tells its object when it goes away.
void DestroyControlOf(TOVKoggetto& object) {
    Visual* control = object.CurrentVisual();
    if (!control) return;
    object.ForgetVisual(control);
    if (VisualFactory* factory = CurrentVisualFactory())
        factory->DestroyVisual(control);
    else
        delete dynamic_cast<QWidget*>(control);
}

constexpr const char* kAutoPopupProperty = "morvellAutoPopup";

} // namespace

void SetAutoPopup(QMenu& menu, bool autoPopup) { menu.setProperty(kAutoPopupProperty, autoPopup); }

bool AutoPopup(const QMenu& menu) {
    const QVariant value = menu.property(kAutoPopupProperty);
    // A menu that nobody has told otherwise pops up by itself.
    return !value.isValid() || value.toBool();
}

void TOVKbox::DestroyOwnedObjects() {
    m_unclaimed.clear();
    for (auto& [raw, object] : m_ownedObjects) DestroyControlOf(*object);
    m_ownedObjects.clear();
}

bool TOVKbox::OwnsObject(const TOVKoggetto* object) const {
    return object && m_ownedObjects.contains(object);
}

TOVKoggetto* TOVKbox::ClaimObject(std::int32_t number) {
    const auto it = m_unclaimed.find(number);
    if (it == m_unclaimed.end()) return nullptr;
    TOVKoggetto* object = it->second;
    // A second tag with the same number (a forged one) must not share the object: the first
    // paragraph to let it go would leave the other holding a dead object.
    m_unclaimed.erase(it);
    return object;
}

void TOVKbox::ReleaseObject(TOVKoggetto& object) {
    const auto it = m_ownedObjects.find(&object);
    if (it == m_ownedObjects.end()) return; // the document's, or the page's free object
    std::unique_ptr<TOVKoggetto> owned = std::move(it->second);
    m_ownedObjects.erase(it);
    std::erase_if(m_unclaimed, [&](const auto& entry) { return entry.second == owned.get(); });
    DestroyControlOf(*owned);
}

VisualSize TOVKbox::SetAvailableWidth(int width) {
    (void)width;
    return {this->width(), height()};
}

void TOVKbox::SetZoom(int zoom) {
    m_zoom = std::clamp(zoom, 5, 20);
    m_cache.Clear();
}

// --- loading ---------------------------------------------------------------------------------

bool TOVKbox::CreateForPage(TOVKtesto* textObject, TBoxPage* page, bool readOnly) {
    if (!textObject) {
        PrepareForPage(page, readOnly, nullptr, m_backgroundColour, -1);
        return false;
    }
    if (!m_document) m_document = textObject->Document();
    const OVKRecord& r = textObject->Record();
    PrepareForPage(page, readOnly, textObject->ShownObject(), r.U32(101), r.U8(288) < 4 ? r.U8(288) : -1);
    return LoadPage(textObject);
}

void TOVKbox::PrepareForPage(TBoxPage* page, bool readOnly, TOVKoggetto* picture, std::uint32_t colour,
                             int pictureMode) {
    m_page = page;
    SetReadOnly(readOnly);
    SetBackgroundPicture(picture);
    SetBackgroundColour(colour);
    if (pictureMode >= 0) SetBackgroundMode(pictureMode);
    const int w = page ? page->ClientWidth() : width();
    const int h = page ? page->ClientHeight() : height();
    TQzTransCustomControl::SetBounds(0, 0, std::max(w, kMinWidth), h);
}

bool TOVKbox::ReadPage(TOVKtesto& textObject, std::vector<std::unique_ptr<TOVKoggetto>> objects) {
    // The old paragraphs let their objects go before those objects are replaced.
    m_paragraphs.clear();
    DestroyOwnedObjects();
    for (std::unique_ptr<TOVKoggetto>& object : objects) {
        if (!object) continue;
        if (const Visual* control = object->CurrentVisual(); control && control->Number() >= 0)
            m_unclaimed.emplace(control->Number() & 0xFFFFFF, object.get());
        const TOVKoggetto* key = object.get();
        m_ownedObjects.emplace(key, std::move(object));
    }
    return LoadPage(&textObject);
}

bool TOVKbox::LoadPage(TOVKtesto* textObject) {
    if (!textObject) return false;
    if (textObject->Record().U8(195) == 1) {
        Msg().Error(boxtext::kOldMarkup);
        return false;
    }
    m_textObject = textObject;
    if (!m_document) m_document = textObject->Document();
    const std::string body = textObject->DataBytes();
    const std::string header =
        textObject->HeaderCopy() ? textObject->HeaderCopy()->DataBytes() : std::string();
    const std::string footer =
        textObject->FooterCopy() ? textObject->FooterCopy()->DataBytes() : std::string();
    LoadText(header, body, footer);
    return true;
}

void TOVKbox::LoadText(std::string_view header, std::string_view body, std::string_view footer) {
    if (m_document) {
        QtMeasurer* screen = &QtMeasurer::Screen(m_document->CharSet());
        if (screen != m_screenMeasurer) {
            const bool measuringOnScreen = m_measurer == m_screenMeasurer;
            m_screenMeasurer = screen;
            if (measuringOnScreen) {
                m_measurer = screen;
                m_cache.SetTarget(screen);
            }
        }
    }
    {
        BusyCursor busy;
        Lock lock(*this);
        m_paragraphs.clear();
        m_headerCount = m_footerCount = 0;
        m_hasSelection = false;
        m_hoveredLink = kNoLink;
        m_hint.clear();
        TextStream bodyStream(body);
        ReadObjectHolders(bodyStream, *this, [this](TOVKoggetto& object, std::int32_t id) {
            if (m_page) m_page->AddFreeObject(object, id);
        });
        auto append = [this](ParagraphList&& list) {
            const int n = static_cast<int>(list.size());
            for (auto& p : list) m_paragraphs.push_back(std::move(p));
            return n;
        };
        if (!header.empty()) {
            TextStream s(header);
            m_headerCount = append(ReadParagraphs(*this, s, TOVKparag::kHeader));
        }
        append(ReadParagraphs(*this, bodyStream, TOVKparag::kBody));
        if (!footer.empty()) {
            TextStream s(footer);
            m_footerCount = append(ReadParagraphs(*this, s, TOVKparag::kFooter));
        }
        if (!IsTableCell()) {
            m_layoutWidth = m_widest = width();
            const int content = LayOutAll();
            UpdateScrollRanges(content);
        }
    }
    if (m_page) m_page->ShowFreeObjects();
    m_caret = PositionOf(BodyStart());
    m_anchor = m_end = m_caret;
    UpdateCaretBar();
    m_loaded = true;
    if (OnLayoutChanged) OnLayoutChanged(*this);
    update();
}

// --- sizing ----------------------------------------------------------------------------------

int TOVKbox::LayOutAll() {
    if (m_paragraphs.empty()) return 0;
    Lock lock(*this);
    LineLayout::Number(m_paragraphs);
    int top =
        IsTableCell() ? m_paragraphs.front()->Top() : LineLayout::FirstTop(*m_paragraphs.front(), m_document);
    for (auto& p : m_paragraphs) top = LineLayout::LayOut(*p, top);
    return top;
}

int TOVKbox::ContentHeight() const { return m_paragraphs.empty() ? 0 : m_paragraphs.back()->NextTop(); }

void TOVKbox::UpdateScrollRanges(int contentHeight) {
    m_horizontalRange = m_widest > m_layoutWidth ? m_widest : 0;
    const int below = m_paragraphs.empty() ? 0 : m_paragraphs.back()->Style().SpaceBelow();
    const int oldRange = m_verticalRange;
    m_verticalRange = boxselection::VerticalScrollRange(contentHeight - below, m_scrollCapped);
    if (!m_page) return;
    m_page->SetScrollRanges(m_horizontalRange, m_verticalRange);
    if (m_loaded && oldRange != m_verticalRange) {
        // Keep the text under the reader's eyes when the range changes with a new width.
        QPoint pos = m_page->ScrollPosition();
        pos.setY(std::clamp(pos.y() + (m_verticalRange - oldRange), 0, m_verticalRange));
        m_page->SetScrollPosition(pos);
    }
    if (m_horizontalRange == 0) {
        QPoint pos = m_page->ScrollPosition();
        if (pos.x() != 0) m_page->SetScrollPosition(QPoint(0, pos.y()));
    }
}

void TOVKbox::SetBounds(int left, int top, int w, int h) {
    if (IsTableCell()) {
        TDragCustomControl::SetBounds(left, top, w, h);
        return;
    }
    w = std::max(w, kMinWidth);
    const int clientWidth = m_page ? m_page->ClientWidth() : w;
    int content = ContentHeight();
    if ((w != width() || clientWidth != m_layoutWidth) && m_updateLock == 0 && !m_paragraphs.empty()) {
        m_layoutWidth = clientWidth;
        m_widest = clientWidth;
        content = LayOutAll();
    }
    const int clientHeight = m_page ? m_page->ClientHeight() : h;
    // Content shorter than the page needs no vertical scroll bar, so the box may use its room.
    const int pageWidth = m_page && content < clientHeight ? m_page->PageWidth() : clientWidth;
    const int boxWidth = std::max({w, m_widest, pageWidth});
    const int boxHeight = std::max(h, content);
    TDragCustomControl::SetBounds(left, top, boxWidth, boxHeight);
    UpdateScrollRanges(content);
    if (m_page) m_page->ContentSizeChanged(boxWidth, boxHeight);
    if (m_caret.Valid()) m_caret = PositionOf(m_caret.Point());
    UpdateCaretBar();
    update();
}

void TOVKbox::LayOut(int left, int top) {
    const int content = LayOutAll();
    m_widest = std::max(m_widest, 0);
    TDragCustomControl::SetBounds(left, top, m_widest, content + m_innerMargin);
}

// --- appearance ------------------------------------------------------------------------------

bool TOVKbox::IsOpaque() const {
    if (m_transparent) return false;
    const TOVKpicture* picture = BackgroundPicture();
    return !picture || IsPictureOpaque(picture);
}

void TOVKbox::SetTransparent(bool transparent) {
    m_transparent = transparent;
    update();
}

void TOVKbox::SetBackgroundColour(std::uint32_t colour) {
    m_backgroundColour = colour;
    update();
}

void TOVKbox::SetBackgroundPicture(TOVKoggetto* immagine) {
    m_backgroundObject = immagine;
    m_backgroundPicture = nullptr;
    update();
}

void TOVKbox::SetBackgroundPicture(const TOVKpicture* picture) {
    m_backgroundObject = nullptr;
    m_backgroundPicture = picture;
    update();
}

void TOVKbox::SetBackgroundMode(int mode) {
    m_backgroundMode = mode & (kBackgroundFixed | kBackgroundOnce);
    update();
}

void TOVKbox::SetOwnerTable(TOVKoggetto* table, bool tablesOwnBox) {
    m_ownerTable = table;
    m_tablesOwnBox = tablesOwnBox;
}

void TOVKbox::SetBorderWidth(int width) {
    m_borderWidth = std::clamp(width, 0, 100);
    update();
}

void TOVKbox::SetShowBoundaries(bool show) {
    m_showBoundaries = show;
    update();
}

const TOVKpicture* TOVKbox::BackgroundPicture() const {
    if (m_backgroundPicture) return m_backgroundPicture;
    if (!m_backgroundObject || !m_document) return nullptr;
    PictureObject* immagine = m_document->ImmagineAt(m_backgroundObject->Index());
    if (!immagine) return nullptr;
    const TOVKpicture* picture = GetPicture(*m_document, *immagine);
    return picture && !picture->IsEmpty() ? picture : nullptr;
}

void TOVKbox::PaintBackground(QPainter& painter, const QRect& area) {
    const QColor colour = QtCanvas::ToQColor(m_backgroundColour);
    const TOVKpicture* picture = BackgroundPicture();
    const QImage image = picture ? FrameToQImage(*picture) : QImage();
    if (!image.isNull()) {
        BackgroundRequest request;
        request.area = {area.left(), area.top(), area.right() + 1, area.bottom() + 1};
        request.tileWidth = image.width();
        request.tileHeight = image.height();
        request.mode = m_backgroundMode;
        request.cellBox = IsTableCell();
        request.tileFromBox = m_document && m_document->Header().TileOrigin() != 0;
        request.boxLeft = x();
        request.boxTop = y();
        if (m_page) {
            request.scrollX = m_page->ScrollPosition().x();
            request.scrollY = m_page->ScrollPosition().y();
        }
        request.pictureOpaque = IsPictureOpaque(picture);
        const BackgroundPlan plan = PlanBackground(request);
        if (plan.fillFirst && !m_transparent) painter.fillRect(area, colour);
        for (const auto& [tx, ty] : plan.tiles) painter.drawImage(QPoint(tx, ty), image);
    } else if (!m_transparent) {
        painter.fillRect(area, colour);
    }
    if (Locked() && !ReadOnly()) {
        painter.fillRect(area, QBrush(QtCanvas::ToQColor(kSystemHighlight), Qt::BDiagPattern));
        painter.fillRect(area, QBrush(palette().color(QPalette::Dark), Qt::FDiagPattern));
    }
}

void TOVKbox::PaintBorder(QPainter& painter) {
    if (!m_showBoundaries) return;
    if (m_borderWidth > 0 && IsTableCell()) {
        QColor dark = palette().color(QPalette::Dark);
        QColor light = palette().color(QPalette::Light);
        // The table's own box is raised, its cells are sunken.
        if (m_tablesOwnBox) std::swap(dark, light);
        for (int i = 0; i < m_borderWidth; ++i) {
            const QRect r = rect().adjusted(i, i, -i - 1, -i - 1);
            painter.setPen(dark);
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
            painter.setPen(light);
            painter.drawLine(r.bottomLeft(), r.bottomRight());
            painter.drawLine(r.topRight(), r.bottomRight());
        }
    } else if (m_borderWidth == 0 && !ReadOnly()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void TOVKbox::paintEvent(QPaintEvent* event) {
    if (m_updateLock > 0) return;
    QPainter painter(this);
    const QRect area = event->rect();
    painter.setClipRect(area);
    PaintBackground(painter, area);
    PaintBorder(painter);

    QtCanvas qtCanvas(painter, *m_screenMeasurer);
    BoxCanvas canvas(qtCanvas, *m_measurer, m_measurer == m_screenMeasurer);
    LineLayout::Number(m_paragraphs);
    const CanvasRect clip{area.left(), area.top(), area.right() + 1, area.bottom() + 1};
    for (std::size_t i = 0; i < m_paragraphs.size(); ++i) {
        TOVKparag& p = *m_paragraphs[i];
        const CanvasRect band = LineLayout::Band(p, width());
        if (!band.Intersects(clip)) continue;
        LineLayout::Draw(p, static_cast<int>(i), canvas);
    }
}

// --- positions and selection -----------------------------------------------------------------

TTextPos TOVKbox::HitTest(int mode, int x, int y) const { return boxselection::HitTest(View(), mode, x, y); }

std::uint32_t TOVKbox::LinkAt(const TTextPos& pos) const {
    if (IsTableCell()) return kNoLink;
    return boxselection::LinkAt(View(), pos);
}

TTextPos TOVKbox::PositionOf(TextPoint point) const {
    TTextPos pos;
    if (point.paragraph < 0 || point.paragraph >= static_cast<int>(m_paragraphs.size())) return pos;
    TOVKparag& p = *m_paragraphs[static_cast<std::size_t>(point.paragraph)];
    pos.paragraph = &p;
    pos.paragraphIndex = point.paragraph;
    pos.characterIndex = std::clamp(point.character, 0, p.Length());
    const int contentTop = p.Top() + p.Style().SpaceAbove();
    const auto& lines = p.Lines();
    if (lines.empty()) {
        pos.y = contentTop;
        pos.height = p.DefaultLineHeight();
        return pos;
    }
    int li = 0;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i)
        if (lines[i].first <= pos.characterIndex) li = i;
    const TOVKline& line = lines[li];
    int x = line.indent + line.offset;
    const auto& chars = p.Chars();
    for (int i = line.first; i < pos.characterIndex && i < static_cast<int>(chars.size()); ++i)
        x += chars[i].Width;
    pos.lineIndex = li;
    pos.x = x;
    pos.xRight =
        pos.characterIndex < static_cast<int>(chars.size()) ? x + chars[pos.characterIndex].Width : x;
    pos.y = contentTop + line.top;
    pos.height = line.height;
    return pos;
}

TextPoint TOVKbox::SelectionStart() const {
    if (!m_hasSelection) return m_caret.Point();
    return std::min(m_anchor.Point(), m_end.Point());
}

TextPoint TOVKbox::SelectionEnd() const {
    if (!m_hasSelection) return m_caret.Point();
    return std::max(m_anchor.Point(), m_end.Point());
}

TextPoint TOVKbox::BodyStart() const {
    if (View().BodyLast() < View().BodyFirst()) return {};
    return {m_headerCount, 0};
}

TextPoint TOVKbox::BodyEnd() const {
    const int last = View().BodyLast();
    if (last < View().BodyFirst()) return {};
    return {last, m_paragraphs[static_cast<std::size_t>(last)]->Length()};
}

void TOVKbox::RedrawBetween(TextPoint a, TextPoint b) {
    if (a.paragraph < 0 && b.paragraph < 0) return;
    if (a.paragraph < 0) a = b;
    if (b.paragraph < 0) b = a;
    const TTextPos from = PositionOf(std::min(a, b));
    const TTextPos to = PositionOf(std::max(a, b));
    if (!from.Valid() || !to.Valid()) return;
    // One pixel more on each side: the highlight of a character touches its neighbours' edges.
    InvalidateRect(QRect(0, from.y, width(), to.y + to.height - from.y + 1).adjusted(-1, 0, 1, 0));
}

void TOVKbox::SetSelectionEnds(const TTextPos& anchor, const TTextPos& end) {
    const TextPoint oldStart = SelectionStart(), oldEnd = SelectionEnd();
    const bool had = m_hasSelection;
    m_anchor = anchor;
    m_end = end;
    m_hasSelection = !SamePoint(anchor, end);
    if (had) RedrawBetween(oldStart, oldEnd);
    if (m_hasSelection) RedrawBetween(SelectionStart(), SelectionEnd());
    UpdateCaretBar();
}

void TOVKbox::NotifySelectionChange() {
    // Every change of selection ends here, after the caret took its new place.
    UpdateCaretBar();
    if (OnSelectionChange) OnSelectionChange(*this);
}

void TOVKbox::Select(TextPoint from, TextPoint to) {
    const TTextPos a = PositionOf(std::min(from, to));
    const TTextPos b = PositionOf(std::max(from, to));
    SetSelectionEnds(a, b);
    m_caret = PositionOf(from);
    NotifySelectionChange();
}

void TOVKbox::ClearSelection() {
    if (!m_hasSelection) return;
    const TextPoint a = SelectionStart(), b = SelectionEnd();
    m_hasSelection = false;
    m_anchor = m_end = m_caret;
    UpdateCaretBar();
    RedrawBetween(a, b);
}

void TOVKbox::SelectAll() { Select(BodyStart(), BodyEnd()); }

void TOVKbox::ScrollIntoView(const QRect& r) {
    if (!m_page) return;
    QPoint offset(0, 0);
    QWidget* content = m_page->ContentWidget();
    // Climb to the page's content, adding the offsets of the parents on the way.
    for (QWidget* w = this; w && w != content; w = w->parentWidget()) {
        if (w != this || content) offset += w->pos();
        if (!content) break;
    }
    if (!content) offset = QPoint(0, 0);
    const QPoint s = m_page->ScrollPosition();
    const auto to =
        boxselection::ScrollIntoView(r.x() + offset.x(), r.y() + offset.y(), r.width(), r.height(), s.x(),
                                     s.y(), m_page->ClientWidth(), m_page->ClientHeight());
    if (to.x != s.x() || to.y != s.y()) m_page->SetScrollPosition(QPoint(to.x, to.y));
}

// --- copy ------------------------------------------------------------------------------------

void TOVKbox::Copy(QClipboard* clipboard) {
    auto* mime = new QMimeData;
    {
        BusyCursor busy;
        Lock lock(*this);
        const std::string charSet = m_document ? m_document->CharSet() : std::string("windows-1252");
        if (!m_wrapper) {
            std::string objects;
            TOVKoggetto* picture = m_attributes->WriteSelection(objects, 0);
            mime->setData(boxtext::kMimeObjects,
                          QByteArray(objects.data(), static_cast<qsizetype>(objects.size())));
            if (picture && m_document) {
                if (PictureObject* immagine = m_document->ImmagineAt(picture->Index()))
                    if (const TOVKpicture* pic = GetPicture(*m_document, *immagine)) {
                        const QImage image = FrameToQImage(*pic);
                        if (!image.isNull()) mime->setImageData(image);
                    }
            }
            const std::string rtf = m_attributes->WriteRtf();
            mime->setData(boxtext::kMimeRtf, QByteArray(rtf.data(), static_cast<qsizetype>(rtf.size())));
        }
        const std::string plain = CodePage::ToUtf8(m_attributes->WritePlainText(), charSet);
        const QByteArray utf8(plain.data(), static_cast<qsizetype>(plain.size()));
        mime->setData(boxtext::kMimePlain, utf8);
        // Also as the bare text type, which most programs ask for first.
        mime->setText(QString::fromUtf8(utf8));
    }
    if (!clipboard) clipboard = QGuiApplication::clipboard();
    if (clipboard)
        clipboard->setMimeData(mime);
    else
        delete mime;
    NotifySelectionChange();
}

// --- links -----------------------------------------------------------------------------------

TOVKoggetto* TOVKbox::ResolveLink(std::uint32_t reference) const {
    if (reference == kNoLink) return nullptr;
    const auto ref = static_cast<std::int32_t>(reference);
    if (m_textObject) return m_textObject->ResolveLocal(ref);
    return m_document ? m_document->ObjectByRef(ref) : nullptr;
}

TOVKoggetto* TOVKbox::FindPageObject(std::int32_t identifier) {
    if (TOVKoggetto* object = ClaimObject(identifier)) return object;
    return m_page ? m_page->FindPageObject(identifier) : nullptr;
}

void TOVKbox::SetHint(std::uint32_t link) {
    if (link == kNoLink) {
        m_hint.clear();
        HideHint(this);
        return;
    }
    TOVKoggetto* object = ResolveLink(link);
    m_hint = object ? object->Describe() : std::string();
    const std::string charSet = m_document ? m_document->CharSet() : std::string("windows-1252");
    // The reader's own hint window, not a tool tip: the text is shown literally, in the
    // ebook's code page, and follows the pointer from one link straight onto the next.
    ShowHint(this, QCursor::pos(), ShortHint(m_hint), charSet);
}

void TOVKbox::Hover(const QPoint& at) {
    const TTextPos pos = HitTest(kHitAll, at.x(), at.y());
    const std::uint32_t link = pos.Contains(at.x(), at.y()) ? LinkAt(pos) : kNoLink;
    if (link != kNoLink) {
        setCursor(OVKCursor(ReadOnly() || Locked() ? kCursorHandPoint : kCursorEditHand));
        if (link != m_hoveredLink || m_hint.empty()) {
            SetHint(link);
            m_hoveredLink = link;
        }
    } else {
        unsetCursor();
        if (m_hoveredLink != kNoLink || !m_hint.empty()) SetHint(kNoLink);
        m_hoveredLink = kNoLink;
    }
}

void TOVKbox::QueueLink(std::uint32_t reference, Qt::MouseButton button) {
    TOVKoggetto* link = ResolveLink(reference);
    if (!link || !m_linksEnabled) return;
    ClearSelection();
    if (!OnLink) return;
    TBoxLink request{reference, link, QPointer<TOVKbox>(this), button};
    auto handler = OnLink;
    QObject* context = LinkContext ? LinkContext.data() : QCoreApplication::instance();
    // Following the link may destroy this box: it runs from the event loop, after the mouse
    // handler has returned, and only while the box (and so the page copy) still exists.
    QMetaObject::invokeMethod(
        context,
        [handler, request] {
            if (request.source) handler(request);
        },
        Qt::QueuedConnection);
}

// --- mouse -----------------------------------------------------------------------------------

void TOVKbox::mousePressEvent(QMouseEvent* event) {
    if (m_updateLock > 0 || m_doubleClick) return;
    const QPoint at = event->position().toPoint();
    const TTextPos any = HitTest(kHitAll, at.x(), at.y());
    if (!any.Valid()) return;
    m_pressSeen = true;
    const TTextPos pos = HitTest(kHitBody, at.x(), at.y());
    m_caret = pos;
    if (event->button() != Qt::RightButton) {
        ClearSelection();
        m_pressPoint = at;
        m_pressPos = pos;
        m_pendingPress = true;
        m_anchor = m_end = pos;
        if (ReadOnly()) {
            if (OnTakeFocus)
                OnTakeFocus(*this);
            else
                setFocus(Qt::MouseFocusReason);
        }
    }
    UpdateCaretBar();
}

void TOVKbox::mouseMoveEvent(QMouseEvent* event) {
    if (m_updateLock > 0) return;
    const QPoint at = event->position().toPoint();
    if (m_pendingPress && !m_mouseSelecting) {
        if (!boxselection::PastDragThreshold(m_pressPoint.x(), m_pressPoint.y(), at.x(), at.y())) return;
        m_mouseSelecting = true;
        ClearSelection();
        m_anchor = m_end = m_pressPos;
        NotifySelectionChange();
        if (OnClickedBox) OnClickedBox(*this);
    }
    if (m_mouseSelecting) {
        const TTextPos pos = HitTest(kHitBody, at.x(), at.y());
        if (!pos.Valid()) return;
        SetSelectionEnds(m_anchor, pos);
        m_caret = pos;
        return;
    }
    if (!m_pendingPress) Hover(at);
}

void TOVKbox::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_pressSeen) return;
    m_pressSeen = false;
    const QPoint at = event->position().toPoint();
    const Qt::MouseButton button = event->button();
    if (m_doubleClick) {
        m_doubleClick = false;
        m_pendingPress = false;
        const TTextPos pos = HitTest(kHitAll, at.x(), at.y());
        const std::uint32_t link = pos.Contains(at.x(), at.y()) ? LinkAt(pos) : kNoLink;
        if (link != kNoLink && !m_hasSelection)
            QueueLink(link, button);
        else if (!Locked())
            SelectWord(at);
        return;
    }
    if (m_mouseSelecting) {
        m_mouseSelecting = false;
        m_pendingPress = false;
        m_hasSelection = !SamePoint(m_anchor, m_end);
        UpdateCaretBar();
        NotifySelectionChange();
        if (OnClickedBox) OnClickedBox(*this);
        return;
    }
    m_pendingPress = false;
    const TTextPos pos = HitTest(kHitAll, at.x(), at.y());
    const std::uint32_t link = pos.Contains(at.x(), at.y()) ? LinkAt(pos) : kNoLink;
    if (ReadOnly() && !m_hasSelection && link != kNoLink) {
        QueueLink(link, button);
        return;
    }
    if (OnBoxClick) OnBoxClick(*this, at, button);
    if (button == Qt::RightButton && m_popup && !m_tablesOwnBox) PopUp(at);
}

void TOVKbox::SetPopupMenu(QMenu* menu) {
    m_popup = menu;
    // The box opens its menu itself on the release; the platform's own context-menu request
    // must not open the view's menu a second time through the parents.
    setContextMenuPolicy(menu ? Qt::PreventContextMenu : Qt::DefaultContextMenu);
}

QMenu* TOVKbox::PopupMenu() const { return m_popup.data(); }

void TOVKbox::PopUp(const QPoint& at) {
    if (AutoPopup(*m_popup)) Msg().Error(boxtext::kAutoPopupBug);
    if (m_popup) m_popup->popup(mapToGlobal(at));
}

void TOVKbox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (m_updateLock > 0) return;
    // Handled at the release that follows.
    m_doubleClick = true;
    m_pressSeen = true;
    event->accept();
}

void TOVKbox::SelectWord(const QPoint& at) {
    const TTextPos pos = HitTest(kHitBody, at.x(), at.y());
    if (!pos.Valid()) return;
    const TextPoint start = boxselection::WordStart(View(), pos.Point());
    const TextPoint end = boxselection::WordEnd(View(), pos.Point());
    SetSelectionEnds(PositionOf(start), PositionOf(end));
    m_caret = PositionOf(start);
    NotifySelectionChange();
}

void TOVKbox::leaveEvent(QEvent* event) {
    if (m_hoveredLink != kNoLink) {
        unsetCursor();
        m_hoveredLink = kNoLink;
    }
    m_hint.clear();
    HideHint(this);
    TDragCustomControl::leaveEvent(event);
}

// --- keys ------------------------------------------------------------------------------------

void TOVKbox::ScrollBy(int dx, int dy) {
    if (!m_page) return;
    const QPoint s = m_page->ScrollPosition();
    const int x = std::clamp(s.x() + dx, 0, std::max(0, m_horizontalRange));
    const int y = std::clamp(s.y() + dy, 0, std::max(0, m_verticalRange));
    m_page->SetScrollPosition(QPoint(x, y));
}

void TOVKbox::keyPressEvent(QKeyEvent* event) {
    if (m_updateLock > 0) return;
    if (!ReadOnly() && !Locked()) {
        // Editing is not part of the reader.
        event->ignore();
        return;
    }
    const int page = m_page ? m_page->ClientHeight() : height();
    const int pageStep = page < 30 ? page - 10 : page - 20;
    switch (event->key()) {
    case Qt::Key_PageUp:
        ScrollBy(0, -pageStep);
        break;
    case Qt::Key_PageDown:
        ScrollBy(0, pageStep);
        break;
    case Qt::Key_Up:
        ScrollBy(0, -10);
        break;
    case Qt::Key_Down:
        ScrollBy(0, 10);
        break;
    case Qt::Key_Left:
        ScrollBy(-10, 0);
        break;
    case Qt::Key_Right:
        ScrollBy(10, 0);
        break;
    default:
        if (event->matches(QKeySequence::Copy)) break; // copying goes through the frame set
        event->ignore();
        return;
    }
    event->accept();
}

// --- dropped files ---------------------------------------------------------------------------

void TOVKbox::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !m_wrapper) event->acceptProposedAction();
}

void TOVKbox::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    if (paths.isEmpty() || m_wrapper) return;
    event->acceptProposedAction();
    if (ReadOnly() || Locked()) {
        if (paths.front().toLower().endsWith(QLatin1String(boxtext::kEbookExtension)))
            emit filesDropped(paths, nullptr);
        return;
    }
    const TTextPos pos = HitTest(kHitBody, event->position().toPoint().x(), event->position().toPoint().y());
    if (pos.Valid()) m_caret = pos;
    UpdateCaretBar();
    emit filesDropped(paths, this);
}

// --- control base ----------------------------------------------------------------------------

void TOVKbox::SetReadOnly(bool readOnly) {
    TDragCustomControl::SetReadOnly(readOnly);
    if (readOnly) ClearSelection();
    UpdateCaretBar();
    for (auto& p : m_paragraphs)
        for (auto& e : p->Objects())
            if (e.object && e.object->CurrentVisual())
                if (auto* control = dynamic_cast<TDragCustomControl*>(e.object->CurrentVisual()))
                    control->SetReadOnly(readOnly);
}

void TOVKbox::SetAnimated(bool animated) {
    TDragCustomControl::SetAnimated(animated);
    for (auto& p : m_paragraphs)
        for (auto& e : p->Objects())
            if (e.object && e.object->CurrentVisual())
                if (auto* control = dynamic_cast<TDragCustomControl*>(e.object->CurrentVisual()))
                    control->SetAnimated(animated);
}

void TOVKbox::GotFocus() {
    m_mouseSelecting = false;
    if (!ReadOnly()) TDragCustomControl::GotFocus();
    UpdateCaretBar();
}

void TOVKbox::LostFocus() {
    m_mouseSelecting = false;
    m_pendingPress = false;
    TDragCustomControl::LostFocus();
    UpdateCaretBar();
}

} // namespace morvell
