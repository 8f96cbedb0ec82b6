#pragma once
// The shared 100 ms timer and its lightweight clients.
//
// One TQz100Timer lives for the whole run of the reader; windows and controls take their
// delayed work from it as TQzSingleTimer clients instead of each owning a platform timer.
// The class has no clock of its own: whoever drives it calls Tick() once per 100 ms (the UI
// does it from one QTimer, see text/qt/QtTimerDriver.h; tests call it directly), so every
// interval is in effect rounded up to a whole number of ticks.

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace morvell {

class TQz100Timer;

// A lightweight timer served by a TQz100Timer. It registers itself with its shared timer when
// constructed and leaves it when destroyed; destroying either side first is safe, and so is
// destroying a client (itself included) from inside a callback.
//
// A client repeats: each time its remaining time runs out the callback runs and the remaining
// time starts again from the interval. A handler that wants one shot disables its timer, or
// the client is made one-shot with SetOneShot(true).
class TQzSingleTimer {
public:
    using Callback = std::function<void(TQzSingleTimer&)>;

    static constexpr int kDefaultInterval = 1000;

    explicit TQzSingleTimer(TQz100Timer& owner, int interval = kDefaultInterval, Callback callback = {});
    ~TQzSingleTimer();
    TQzSingleTimer(const TQzSingleTimer&) = delete;
    TQzSingleTimer& operator=(const TQzSingleTimer&) = delete;

    // Milliseconds; values below 1 are taken as 1, which fires on every tick.
    int Interval() const { return m_interval; }
    // Changing the interval starts the count again from the new interval.
    void SetInterval(int interval);

    bool Enabled() const { return m_enabled; }
    // Enabling (also an already enabled timer) restarts the count from the interval.
    void SetEnabled(bool enabled);
    void Start() { SetEnabled(true); }
    void Stop() { SetEnabled(false); }

    // A one-shot client disables itself just before its callback runs (so a callback that
    // fails is not retried; the callback may enable it again).
    bool OneShot() const { return m_oneShot; }
    void SetOneShot(bool oneShot) { m_oneShot = oneShot; }

    int Remaining() const { return m_remaining; }

    void SetCallback(Callback callback) { m_callback = std::move(callback); }
    const Callback& GetCallback() const { return m_callback; }

    // Payload for the owner's handlers.
    int Tag = 0;
    int Value = 0;
    std::string Text;

    // The shared timer this client belongs to; null once that timer is gone.
    TQz100Timer* Owner() const { return m_owner; }

private:
    friend class TQz100Timer;

    TQz100Timer* m_owner;
    int m_remaining;
    int m_interval;
    bool m_enabled = false;
    bool m_oneShot = false;
    Callback m_callback;
};

class TQz100Timer {
public:
    static constexpr int kTickMilliseconds = 100;

    TQz100Timer();
    ~TQz100Timer();
    TQz100Timer(const TQz100Timer&) = delete;
    TQz100Timer& operator=(const TQz100Timer&) = delete;

    // While disabled Tick() does nothing and the driver stops its platform timer.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    // Called by the driver whenever Enabled changes, so it can start or stop its timer.
    void SetOnEnabledChanged(std::function<void(bool)> handler) { m_onEnabledChanged = std::move(handler); }

    // One 100 ms step: the clients are visited from the last registered to the first; an
    // enabled client loses 100 ms and, at 0 or below, its callback runs and its count starts
    // again from the interval. Clients added by a callback wait for the next tick; clients
    // removed by a callback are skipped.
    void Tick();

    // Convenience for the owners of clients: a client owned by the caller.
    std::unique_ptr<TQzSingleTimer> NewTimer(int interval = TQzSingleTimer::kDefaultInterval,
                                             TQzSingleTimer::Callback callback = {});

    std::size_t ClientCount() const;

private:
    friend class TQzSingleTimer;
    void Attach(TQzSingleTimer* client);
    void Detach(TQzSingleTimer* client);
    void Compact();

    bool m_enabled = true;
    int m_tickDepth = 0;
    bool m_holes = false;
    // Slots of removed clients are nulled while a tick runs and compacted afterwards, so the
    // indices of the running tick stay valid.
    std::vector<TQzSingleTimer*> m_clients;
    std::function<void(bool)> m_onEnabledChanged;
    // Lets a tick notice that a callback destroyed the shared timer itself.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

// The reader's one shared timer, created on first use and freed at exit. Clients still alive
// at exit are detached, not touched.
TQz100Timer& SharedQz100Timer();

} // namespace morvell
