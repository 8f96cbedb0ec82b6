#include "text/qt/TOVKSplit.h"

namespace morvell {

TOVKSplit::TOVKSplit(QWidget* parent) : TSplitterBehaviour<QWidget>(parent) {
    // A bar fills itself; its palette comes from the parent until a colour is set.
    setAutoFillBackground(true);
}

QColor TOVKSplit::Color() const { return palette().color(QPalette::Window); }

void TOVKSplit::SetColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
}

} // namespace morvell
