#include "text/qt/QtTimerDriver.h"

#include "platform/Messages.h"
#include "text/qt/ControlTexts.h"

namespace morvell {

QtTimerDriver::QtTimerDriver(TQz100Timer& timer, QObject* parent) : QObject(parent), m_timer(timer) {
    m_qtTimer.setInterval(TQz100Timer::kTickMilliseconds);
    // Exact 100 ms steps matter more than saving wake-ups: intervals are counted in ticks.
    m_qtTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_qtTimer, &QTimer::timeout, this, [this] { m_timer.Tick(); });
    m_timer.SetOnEnabledChanged([this](bool enabled) { Apply(enabled); });
    Apply(m_timer.Enabled());
}

QtTimerDriver::~QtTimerDriver() { m_timer.SetOnEnabledChanged({}); }

void QtTimerDriver::Apply(bool enabled) {
    if (!enabled) {
        m_qtTimer.stop();
        return;
    }
    m_qtTimer.start();
    if (!m_qtTimer.isActive()) Msg().Error(kOutOfSystemTimers);
}

} // namespace morvell
