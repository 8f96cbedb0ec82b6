#include "text/qt/THintWindow.h"

#include "platform/CodePage.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

namespace morvell {

TQzHintWindow::TQzHintWindow(QWidget* parent) : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QRect TQzHintWindow::CalcHintRect(int maxWidth, const QString& text) const {
    const QFontMetrics fm(font());
    QRect r = fm.boundingRect(QRect(0, 0, std::max(maxWidth, 16), 100000), kTextFlags, text);
    // Room for the inset on the left and top and a matching margin on the other sides.
    r.setWidth(r.width() + 2 * kInset + 4);
    r.setHeight(r.height() + 2 * kInset + 2);
    r.moveTopLeft(QPoint(0, 0));
    return r;
}

void TQzHintWindow::ActivateHint(const QPoint& globalPos, const std::string& hintBytes, int maxWidth) {
    ActivateHint(globalPos, QString::fromStdString(CodePage::ToUtf8(hintBytes, m_charSet)), maxWidth);
}

void TQzHintWindow::ActivateHint(const QPoint& globalPos, const QString& text, int maxWidth) {
    m_text = text;
    if (text.isEmpty()) {
        hide();
        return;
    }
    const QRect r = CalcHintRect(maxWidth, text);
    setGeometry(QRect(globalPos, r.size()));
    show();
    update();
}

void TQzHintWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    painter.fillRect(rect(), pal.color(QPalette::ToolTipBase));
    painter.setPen(pal.color(QPalette::ToolTipText).darker(150));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(pal.color(QPalette::ToolTipText));
    painter.drawText(rect().adjusted(kInset, kInset, -kInset, -kInset), kTextFlags, m_text);
}

} // namespace morvell
