#include "shell/qt/TFabout.h"

#include "shell/StartupTexts.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace morvell {

namespace {
constexpr int kWidth = 460;
constexpr int kHeight = 280;
} // namespace

TFabout::TFabout(Mode mode, QWidget* parent) : QDialog(parent), m_mode(mode) {
    setObjectName(QStringLiteral("TFabout"));
    setFixedSize(kWidth, kHeight);
    setWindowTitle(QString::fromUtf8(startup_texts::kApplicationName));
    if (mode == Mode::Splash) {
        setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    } else {
        setModal(true);
        m_ok = new QPushButton(QString::fromUtf8(startup_texts::kAboutOk), this);
        m_ok->setObjectName(QStringLiteral("OK"));
        m_ok->setDefault(true);
        m_ok->setGeometry(kWidth - 100, kHeight - 44, 84, 28);
        connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    }
}

void TFabout::ShowAtOnce() {
    show();
    raise();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TFabout::mousePressEvent(QMouseEvent* event) {
    // A click on the splash sends it away; the reader does not need it to go on.
    if (m_mode == Mode::Splash) close();
    QDialog::mousePressEvent(event);
}

void TFabout::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0.0, QColor(0x1d, 0x3b, 0x5c));
    sky.setColorAt(1.0, QColor(0x0b, 0x16, 0x24));
    p.fillRect(rect(), sky);

    // An open book: two pages bending away from the spine.
    const QPointF spine(96, 150);
    for (int side : {-1, 1}) {
        QPainterPath page;
        page.moveTo(spine.x(), spine.y() - 48);
        page.cubicTo(spine.x() + side * 24, spine.y() - 62, spine.x() + side * 52, spine.y() - 60,
                     spine.x() + side * 70, spine.y() - 52);
        page.lineTo(spine.x() + side * 70, spine.y() + 40);
        page.cubicTo(spine.x() + side * 52, spine.y() + 32, spine.x() + side * 24, spine.y() + 34, spine.x(),
                     spine.y() + 48);
        page.closeSubpath();
        p.setPen(QPen(QColor(0xc8, 0xa8, 0x5a), 2));
        p.setBrush(QColor(0xf6, 0xf0, 0xe0));
        p.drawPath(page);
        p.setPen(QPen(QColor(0x9a, 0x8c, 0x70), 1.2));
        for (int line = 0; line < 5; ++line) {
            const double y = spine.y() - 30 + line * 15;
            p.drawLine(QPointF(spine.x() + side * 12, y), QPointF(spine.x() + side * 58, y - 4));
        }
    }
    // A link leaving the page, the reader's whole point.
    p.setPen(QPen(QColor(0x6c, 0xc4, 0xff), 3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath link;
    link.moveTo(spine.x() + 40, spine.y() - 10);
    link.cubicTo(spine.x() + 80, spine.y() - 90, spine.x() + 120, spine.y() - 40, spine.x() + 104,
                 spine.y() - 96);
    p.drawPath(link);
    p.setBrush(QColor(0x6c, 0xc4, 0xff));
    p.drawEllipse(QPointF(spine.x() + 104, spine.y() - 96), 5, 5);

    QFont big = font();
    big.setPointSize(30);
    big.setBold(true);
    p.setFont(big);
    p.setPen(Qt::white);
    p.drawText(QRect(190, 70, kWidth - 200, 50), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8(startup_texts::kApplicationName));

    QFont small = font();
    small.setPointSize(10);
    p.setFont(small);
    p.setPen(QColor(0xd0, 0xdc, 0xea));
    p.drawText(QRect(192, 122, kWidth - 200, 20), Qt::AlignLeft,
               QStringLiteral("Version ") + QStringLiteral(MORVELL_VERSION));
    p.drawText(QRect(192, 146, kWidth - 200, 20), Qt::AlignLeft, QString::fromUtf8(startup_texts::kCredits));
    p.setPen(QColor(0x6c, 0xc4, 0xff));
    p.drawText(QRect(192, 170, kWidth - 200, 20), Qt::AlignLeft,
               QString::fromUtf8(startup_texts::kWebAddress));

    p.setPen(QPen(QColor(0x3a, 0x5a, 0x80), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace morvell
