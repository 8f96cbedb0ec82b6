#include "text/qt/THintWindow.h"

#include "platform/CodePage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace morvell {

TQzHintWindow::TQzHintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // The desktop's tool-tip face and colours, so ebook hints look like every other hint.
    setFont(QToolTip::font());
    setPalette(QToolTip::palette());
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

QPoint TQzHintWindow::PlaceHint(const QPoint& globalPos, const QSize& size, const QRect& screen) {
    int x = globalPos.x() + kOffsetX;
    int y = globalPos.y() + kOffsetY;
    if (x + size.width() > screen.x() + screen.width()) x = screen.x() + screen.width() - size.width();
    // No room below the pointer: above it, so the window never covers what the pointer is on.
    if (y + size.height() > screen.y() + screen.height()) y = globalPos.y() - size.height() - 2;
    return QPoint(std::max(x, screen.x()), std::max(y, screen.y()));
}

void TQzHintWindow::ActivateHint(const QPoint& globalPos, const std::string& hintBytes, int maxWidth) {
    ActivateHint(globalPos, QString::fromStdString(CodePage::ToUtf8(hintBytes, m_charSet)), maxWidth);
}

void TQzHintWindow::ActivateHint(const QPoint& globalPos, const QString& text, int maxWidth) {
    // Hints written on Windows end their lines with CR LF; a lone CR would draw as a box.
    m_text = text;
    m_text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (m_text.isEmpty()) {
        hide();
        return;
    }
    const QScreen* screen = QGuiApplication::screenAt(globalPos);
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 100000, 100000);
    QSize size = CalcHintRect(std::min(maxWidth, area.width()), m_text).size();
    size = size.boundedTo(area.size());
    setGeometry(QRect(PlaceHint(globalPos, size, area), size));
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
    // Plain drawText: no mnemonic ('&') and no markup ('<') processing.
    painter.drawText(rect().adjusted(kInset, kInset, -kInset, -kInset), kTextFlags, m_text);
}

// --- the application's hint -------------------------------------------------------------------

namespace {

// Drives the one hint window. While a hint shows or waits it filters the application's
// events to notice what should end it; otherwise it stays out of the event path.
class HintController : public QObject {
public:
    HintController() {
        if (const QStyle* style = QApplication::style()) {
            m_timings.showDelay = style->styleHint(QStyle::SH_ToolTip_WakeUpDelay);
            m_timings.reshowWindow = style->styleHint(QStyle::SH_ToolTip_FallAsleepDelay);
        }
        m_showTimer.setSingleShot(true);
        m_hideTimer.setSingleShot(true);
        connect(&m_showTimer, &QTimer::timeout, this, [this] { ShowPending(); });
        connect(&m_hideTimer, &QTimer::timeout, this, [this] { Hide(true); });
        // The window is a top-level widget: it must go before the application does.
        connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { delete m_window.data(); });
    }

    TQzHintWindow& Window() {
        if (m_window.isNull()) m_window = new TQzHintWindow();
        return *m_window;
    }

    void Show(QWidget* owner, const QPoint& globalPos, const std::string& bytes, const std::string& charSet) {
        if (owner == nullptr) return;
        const QString text = QString::fromStdString(CodePage::ToUtf8(bytes, charSet));
        if (text.isEmpty()) {
            HideFor(owner);
            return;
        }
        const bool showing = Visible();
        const bool same = owner == m_owner && text == m_pendingText;
        if (showing && same) return;
        const bool alreadyWaiting = same && m_showTimer.isActive();
        SetOwner(owner);
        m_pendingText = text;
        m_pendingPos = globalPos;
        Window().SetCharSet(charSet);
        if (showing || (m_sinceHidden.isValid() && m_sinceHidden.elapsed() < m_timings.reshowWindow)) {
            ShowPending();
        } else if (!alreadyWaiting) {
            m_showTimer.start(std::max(0, m_timings.showDelay));
        }
    }

    void HideFor(QWidget* owner) {
        if (owner != nullptr && owner == m_owner) Hide(true);
    }

    // `fading`: the hint went because the pointer moved on or time ran out, so a hint shown
    // soon after replaces it at once. A press or key ends that: the user acted on the page.
    void Hide(bool fading) {
        const bool wasVisible = Visible();
        m_showTimer.stop();
        m_hideTimer.stop();
        if (!m_window.isNull()) m_window->hide();
        SetOwner(nullptr);
        m_pendingText.clear();
        if (wasVisible && fading) {
            m_sinceHidden.start();
        } else if (!fading) {
            m_sinceHidden.invalidate();
        }
    }

    bool Visible() const { return !m_window.isNull() && m_window->isVisible(); }
    QString Text() const { return Visible() ? m_window->Text() : QString(); }
    QWidget* Owner() const { return m_owner; }

    HintTimings m_timings;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::Wheel:
        case QEvent::KeyPress:
            Hide(false);
            break;
        case QEvent::ApplicationDeactivate:
            Hide(false);
            break;
        case QEvent::Leave:
        case QEvent::Hide:
            if (watched == m_owner) Hide(true);
            break;
        case QEvent::MouseMove:
            // A waiting hint shows once the pointer rests, where it rests.
            if (watched == m_owner && m_showTimer.isActive()) {
                m_pendingPos = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
                m_showTimer.start(std::max(0, m_timings.showDelay));
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    void ShowPending() {
        if (m_owner.isNull() || m_pendingText.isEmpty()) return;
        Window().ActivateHint(m_pendingPos, m_pendingText);
        m_sinceHidden.invalidate();
        const auto extra = std::max<qsizetype>(0, m_pendingText.size() - 100);
        m_hideTimer.start(std::max(0, m_timings.hideAfter) + static_cast<int>(40 * extra));
    }

    void SetOwner(QWidget* owner) {
        // The filter follows the owner. A destroyed owner has already nulled m_owner, so the
        // flag, not the pointer, says whether the filter is in.
        if (m_filtering != (owner != nullptr)) {
            m_filtering = owner != nullptr;
            if (m_filtering) {
                qApp->installEventFilter(this);
            } else {
                qApp->removeEventFilter(this);
            }
        }
        if (owner == m_owner) return;
        if (!m_owner.isNull()) disconnect(m_owner, &QObject::destroyed, this, nullptr);
        m_owner = owner;
        if (owner != nullptr) connect(owner, &QObject::destroyed, this, [this] { Hide(false); });
    }

    QPointer<TQzHintWindow> m_window;
    QPointer<QWidget> m_owner;
    QString m_pendingText;
    QPoint m_pendingPos;
    QTimer m_showTimer;
    QTimer m_hideTimer;
    QElapsedTimer m_sinceHidden;
    bool m_filtering = false;
};

HintController& Controller() {
    // Parented to the application, so it lives exactly as long as the application does.
    static QPointer<HintController> controller;
    if (controller.isNull()) {
        controller = new HintController();
        controller->setParent(qApp);
    }
    return *controller;
}

} // namespace

void ShowHint(QWidget* owner, const QPoint& globalPos, const std::string& hintBytes,
              const std::string& charSet) {
    Controller().Show(owner, globalPos, hintBytes, charSet);
}

void HideHint(QWidget* owner) { Controller().HideFor(owner); }

void CancelHint() { Controller().Hide(false); }

bool HintVisible() { return Controller().Visible(); }

QString HintText() { return Controller().Text(); }

QWidget* HintOwner() { return Controller().Owner(); }

TQzHintWindow& ApplicationHintWindow() { return Controller().Window(); }

HintTimings CurrentHintTimings() { return Controller().m_timings; }

void SetHintTimings(const HintTimings& timings) { Controller().m_timings = timings; }

} // namespace morvell
