#pragma once
// The one platform timer of the reader's lightweight timers: a QTimer that calls Tick() on the
// shared TQz100Timer every 100 ms while that timer is enabled.

#include "text/TQzTimer.h"

#include <QObject>
#include <QTimer>

namespace morvell {

class QtTimerDriver : public QObject {
    Q_OBJECT
public:
    explicit QtTimerDriver(TQz100Timer& timer, QObject* parent = nullptr);
    // Drives the reader's shared timer.
    explicit QtTimerDriver(QObject* parent = nullptr) : QtTimerDriver(SharedQz100Timer(), parent) {}
    ~QtTimerDriver() override;
    QtTimerDriver(const QtTimerDriver&) = delete;
    QtTimerDriver& operator=(const QtTimerDriver&) = delete;

    bool Running() const { return m_qtTimer.isActive(); }
    TQz100Timer& Timer() const { return m_timer; }

private:
    void Apply(bool enabled);

    TQz100Timer& m_timer;
    QTimer m_qtTimer;
};

} // namespace morvell
