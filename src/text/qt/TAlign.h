#pragma once
// Edge alignment of a child control inside its parent, the way the reader's panels stack
// their children (a strip at the top, a bar at the left, the rest filled by one client).
// Qt widgets have no such property, so it travels as a dynamic property of the widget; the
// splitters read it from their target to know which edge they resize.

#include <QWidget>

namespace morvell {

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

inline constexpr const char* kAlignProperty = "morvellAlign";

inline void SetAlign(QWidget* widget, TAlign align) {
    if (widget != nullptr) widget->setProperty(kAlignProperty, static_cast<int>(align));
}

inline TAlign AlignOf(const QWidget* widget) {
    if (widget == nullptr) return TAlign::alNone;
    const QVariant value = widget->property(kAlignProperty);
    if (!value.isValid()) return TAlign::alNone;
    const int n = value.toInt();
    if (n < 0 || n > static_cast<int>(TAlign::alClient)) return TAlign::alNone;
    return static_cast<TAlign>(n);
}

// Left and right targets are resized in width, top and bottom ones in height.
inline bool IsHorizontalAlign(TAlign align) { return align == TAlign::alLeft || align == TAlign::alRight; }
inline bool IsEdgeAlign(TAlign align) {
    return align == TAlign::alLeft || align == TAlign::alRight || align == TAlign::alTop ||
           align == TAlign::alBottom;
}

} // namespace morvell
