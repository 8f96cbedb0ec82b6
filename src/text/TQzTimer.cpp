#include "text/TQzTimer.h"

#include <algorithm>

namespace morvell {

namespace {
int ClampInterval(int interval) { return std::max(interval, 1); }
} // namespace

TQzSingleTimer::TQzSingleTimer(TQz100Timer& owner, int interval, Callback callback)
    : m_owner(&owner), m_remaining(ClampInterval(interval)), m_interval(ClampInterval(interval)),
      m_callback(std::move(callback)) {
    owner.Attach(this);
}

TQzSingleTimer::~TQzSingleTimer() {
    if (m_owner != nullptr) m_owner->Detach(this);
}

void TQzSingleTimer::SetInterval(int interval) {
    m_interval = ClampInterval(interval);
    m_remaining = m_interval;
}

void TQzSingleTimer::SetEnabled(bool enabled) {
    m_enabled = enabled;
    if (enabled) m_remaining = m_interval;
}

TQz100Timer::TQz100Timer() = default;

TQz100Timer::~TQz100Timer() {
    *m_alive = false;
    for (TQzSingleTimer* client : m_clients) {
        if (client != nullptr) client->m_owner = nullptr;
    }
}

void TQz100Timer::SetEnabled(bool enabled) {
    if (m_enabled == enabled) return;
    m_enabled = enabled;
    if (m_onEnabledChanged) m_onEnabledChanged(enabled);
}

std::unique_ptr<TQzSingleTimer> TQz100Timer::NewTimer(int interval, TQzSingleTimer::Callback callback) {
    return std::make_unique<TQzSingleTimer>(*this, interval, std::move(callback));
}

std::size_t TQz100Timer::ClientCount() const {
    return static_cast<std::size_t>(std::count_if(m_clients.begin(), m_clients.end(),
                                                  [](const TQzSingleTimer* c) { return c != nullptr; }));
}

void TQz100Timer::Attach(TQzSingleTimer* client) { m_clients.push_back(client); }

void TQz100Timer::Detach(TQzSingleTimer* client) {
    auto it = std::find(m_clients.begin(), m_clients.end(), client);
    if (it == m_clients.end()) return;
    if (m_tickDepth > 0) {
        *it = nullptr;
        m_holes = true;
    } else {
        m_clients.erase(it);
    }
}

void TQz100Timer::Compact() {
    if (!m_holes) return;
    std::erase(m_clients, nullptr);
    m_holes = false;
}

TQz100Timer& SharedQz100Timer() {
    static TQz100Timer shared;
    return shared;
}

void TQz100Timer::Tick() {
    if (!m_enabled) return;
    const std::shared_ptr<bool> alive = m_alive;
    ++m_tickDepth;
    // Walk a snapshot of the count: clients appended by a callback lie beyond it.
    for (std::size_t i = m_clients.size(); i-- > 0;) {
        TQzSingleTimer* client = m_clients[i];
        if (client == nullptr || !client->m_enabled) continue;
        client->m_remaining -= kTickMilliseconds;
        if (client->m_remaining > 0) continue;
        if (client->m_oneShot) client->m_enabled = false;
        bool failed = false;
        if (client->m_callback) {
            // Copy: the callback may replace itself or destroy its client.
            TQzSingleTimer::Callback callback = client->m_callback;
            try {
                callback(*client);
            } catch (...) {
                // Any exception a timer handler lets out is swallowed here, as it would be
                // by the event loop's timer dispatch: deferred work must never take the
                // reader down. The client keeps its spent count so it fires again next tick.
                failed = true;
            }
        }
        if (!*alive) return; // the callback destroyed this shared timer
        // The callback may have destroyed this client; its slot is null then.
        if (m_clients[i] != client) continue;
        if (failed) continue;
        // A callback that re-enabled the client or changed its interval has already set the
        // count; resetting again gives the same value.
        client->m_remaining = client->m_interval;
    }
    --m_tickDepth;
    if (m_tickDepth == 0) Compact();
}

} // namespace morvell
