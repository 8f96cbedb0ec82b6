#include "text/qt/OVKCursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cstring>
#include <map>

namespace morvell {

namespace {

struct CursorEntry {
    int number;
    const char* name;
};

constexpr CursorEntry kCursors[] = {
    {kCursorHandPoint, "HANDPNT"},    {kCursorHandPoint2, "HANDPNT2"}, {kCursorEditHand, "EDITHAND"},
    {kCursorDefHand, "DEFMANO"},      {kCursorGrab, "GRABBR"},         {kCursorFist, "FIST"},
    {kCursorDefHandZoom, "DEFMANOZ"}, {kCursorZoom, "ZOOM"},           {kCursorAnchor, "ANCORA"},
};

constexpr int kSize = 32;

// A pointing hand: index finger up, the other fingers folded. Hot spot at the finger tip.
QPainterPath PointingHand() {
    QPainterPath p;
    p.addRoundedRect(QRectF(9, 1, 5, 16), 2.5, 2.5);  // index finger
    p.addRoundedRect(QRectF(13.5, 9, 4.5, 9), 2, 2);  // middle
    p.addRoundedRect(QRectF(17.5, 10, 4.5, 8), 2, 2); // ring
    p.addRoundedRect(QRectF(21.5, 11, 4, 7), 2, 2);   // little
    p.addRoundedRect(QRectF(4, 12, 7, 5), 2.5, 2.5);  // thumb
    p.addRoundedRect(QRectF(7, 14, 18.5, 12), 4, 4);  // palm
    return p.simplified();
}

// An open hand (grab) or a closed one (fist).
QPainterPath OpenHand(bool closed) {
    QPainterPath p;
    const double fingerTop = closed ? 9 : 3;
    for (int i = 0; i < 4; ++i)
        p.addRoundedRect(QRectF(8 + i * 4.5, fingerTop + (i == 0 || i == 3 ? 2 : 0), 4.5, 14), 2, 2);
    p.addRoundedRect(QRectF(3, closed ? 13 : 11, 7, 5), 2.5, 2.5);
    p.addRoundedRect(QRectF(7, 14, 19, 12), 4, 4);
    return p.simplified();
}

QPixmap Blank() {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    return pm;
}

void DrawShape(QPainter& painter, const QPainterPath& path) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.2));
    painter.setBrush(Qt::white);
    painter.drawPath(path);
}

QCursor Make(int number) {
    QPixmap pm = Blank();
    QPainter painter(&pm);
    QPoint hot(11, 1);
    switch (number) {
    case kCursorHandPoint:
    case kCursorHandPoint2:
    case kCursorEditHand:
    case kCursorDefHand:
    case kCursorDefHandZoom:
        DrawShape(painter, PointingHand());
        if (number == kCursorHandPoint2) {
            painter.setBrush(Qt::black);
            painter.drawEllipse(QRectF(24, 2, 6, 6)); // a second kind of link
        } else if (number == kCursorEditHand) {
            painter.setPen(QPen(Qt::black, 1.5));
            painter.drawLine(25, 2, 25, 10); // an I-beam beside the hand
            painter.drawLine(23, 2, 27, 2);
            painter.drawLine(23, 10, 27, 10);
        } else if (number == kCursorDefHandZoom) {
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(QRectF(21, 1, 8, 8));
            painter.drawLine(27, 8, 30, 11);
        }
        break;
    case kCursorGrab:
    case kCursorFist:
        DrawShape(painter, OpenHand(number == kCursorFist));
        hot = QPoint(16, 16);
        break;
    case kCursorZoom:
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 2));
        painter.setBrush(QColor(255, 255, 255, 200));
        painter.drawEllipse(QRectF(2, 2, 16, 16));
        painter.drawLine(16, 16, 28, 28);
        painter.drawLine(6, 10, 14, 10);
        painter.drawLine(10, 6, 10, 14);
        hot = QPoint(10, 10);
        break;
    case kCursorAnchor:
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(13, 1, 6, 6));
        painter.drawLine(16, 7, 16, 28);
        painter.drawLine(10, 12, 22, 12);
        painter.drawArc(QRectF(5, 14, 22, 14), 180 * 16, 180 * 16);
        hot = QPoint(16, 16);
        break;
    default:
        painter.end();
        return QCursor(Qt::ArrowCursor);
    }
    painter.end();
    return QCursor(pm, hot.x(), hot.y());
}

std::map<int, QCursor>& Cache() {
    static std::map<int, QCursor> cache;
    return cache;
}

} // namespace

void LoadOVKCursors() {
    for (const CursorEntry& e : kCursors)
        if (!Cache().count(e.number)) Cache().emplace(e.number, Make(e.number));
}

QCursor OVKCursor(int number) {
    auto it = Cache().find(number);
    if (it != Cache().end()) return it->second;
    if (!OVKCursorName(number)) return QCursor(Qt::ArrowCursor);
    LoadOVKCursors();
    return Cache().at(number);
}

const char* OVKCursorName(int number) {
    for (const CursorEntry& e : kCursors)
        if (e.number == number) return e.name;
    return nullptr;
}

int OVKCursorNumber(const char* name) {
    if (!name) return -1;
    for (const CursorEntry& e : kCursors)
        if (std::strcmp(e.name, name) == 0) return e.number;
    return -1;
}

} // namespace morvell
