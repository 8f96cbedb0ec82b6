#include "text/TQzTimer.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace morvell {
namespace {

// Ticks (1-based) on which a client fired during `ticks` ticks.
std::vector<int> FiringTicks(int interval, int ticks) {
    TQz100Timer shared;
    std::vector<int> fired;
    int now = 0;
    TQzSingleTimer client(shared, interval, [&](TQzSingleTimer&) { fired.push_back(now); });
    client.Start();
    for (now = 1; now <= ticks; ++now) shared.Tick();
    return fired;
}

struct IntervalCase {
    int interval;
    std::vector<int> fired; // during 10 ticks
};

class TimerIntervals : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(TimerIntervals, FireOnTheTickThatUsesUpTheInterval) {
    EXPECT_EQ(FiringTicks(GetParam().interval, 10), GetParam().fired);
}

INSTANTIATE_TEST_SUITE_P(Table, TimerIntervals,
                         ::testing::Values(
                             // Below one tick: every tick.
                             IntervalCase{50, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
                             IntervalCase{0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
                             IntervalCase{100, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
                             // Rounded up to whole ticks: 250 ms fires after 300 ms.
                             IntervalCase{250, {3, 6, 9}}, IntervalCase{300, {3, 6, 9}},
                             IntervalCase{301, {4, 8}}, IntervalCase{600, {6}}, IntervalCase{1000, {10}},
                             IntervalCase{1800, {}}));

TEST(TQzSingleTimer, DefaultsAndPayload) {
    TQz100Timer shared;
    TQzSingleTimer client(shared);
    EXPECT_EQ(client.Interval(), 1000);
    EXPECT_FALSE(client.Enabled());
    EXPECT_EQ(client.Owner(), &shared);
    client.Tag = -1;
    client.Value = 7;
    client.Text = "1,0,0,0,640,";
    int seenTag = 0, seenValue = 0;
    std::string seenText;
    client.SetInterval(100);
    client.SetCallback([&](TQzSingleTimer& t) {
        seenTag = t.Tag;
        seenValue = t.Value;
        seenText = t.Text;
    });
    client.Start();
    shared.Tick();
    EXPECT_EQ(seenTag, -1);
    EXPECT_EQ(seenValue, 7);
    EXPECT_EQ(seenText, "1,0,0,0,640,");
}

TEST(TQzSingleTimer, DisabledClientsAndDisabledSharedTimerDoNotCount) {
    TQz100Timer shared;
    int fired = 0;
    TQzSingleTimer client(shared, 200, [&](TQzSingleTimer&) { ++fired; });
    shared.Tick();
    shared.Tick();
    EXPECT_EQ(fired, 0); // never enabled
    client.Start();
    shared.Tick();
    shared.SetEnabled(false);
    shared.Tick();
    shared.Tick();
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(client.Remaining(), 100);
    shared.SetEnabled(true);
    shared.Tick();
    EXPECT_EQ(fired, 1);
}

TEST(TQzSingleTimer, EnablingOrChangingIntervalRestartsTheCount) {
    TQz100Timer shared;
    int fired = 0;
    TQzSingleTimer client(shared, 300, [&](TQzSingleTimer&) { ++fired; });
    client.Start();
    shared.Tick();
    shared.Tick();
    client.Start(); // restart while running
    shared.Tick();
    shared.Tick();
    EXPECT_EQ(fired, 0);
    client.SetInterval(200);
    shared.Tick();
    EXPECT_EQ(fired, 0);
    shared.Tick();
    EXPECT_EQ(fired, 1);
}

TEST(TQzSingleTimer, HandlerThatStopsItselfFiresOnce) {
    TQz100Timer shared;
    int fired = 0;
    TQzSingleTimer front(shared, 600, [&](TQzSingleTimer& t) {
        ++fired;
        t.Stop();
    });
    front.Start();
    for (int i = 0; i < 20; ++i) shared.Tick();
    EXPECT_EQ(fired, 1);

    TQzSingleTimer oneShot(shared, 200, [&](TQzSingleTimer&) { ++fired; });
    oneShot.SetOneShot(true);
    oneShot.Start();
    for (int i = 0; i < 20; ++i) shared.Tick();
    EXPECT_EQ(fired, 2);
    EXPECT_FALSE(oneShot.Enabled());
}

TEST(TQz100Timer, ClientsAreVisitedFromLastToFirst) {
    TQz100Timer shared;
    std::string order;
    TQzSingleTimer a(shared, 100, [&](TQzSingleTimer&) { order += 'a'; });
    TQzSingleTimer b(shared, 100, [&](TQzSingleTimer&) { order += 'b'; });
    TQzSingleTimer c(shared, 100, [&](TQzSingleTimer&) { order += 'c'; });
    a.Start();
    b.Start();
    c.Start();
    shared.Tick();
    EXPECT_EQ(order, "cba");
}

TEST(TQz100Timer, ThrowingCallbackIsSwallowedAndFiresAgainNextTick) {
    TQz100Timer shared;
    int calls = 0, other = 0;
    TQzSingleTimer failing(shared, 300, [&](TQzSingleTimer&) {
        ++calls;
        if (calls == 1) throw std::runtime_error("handler failed");
        if (calls == 2) throw 42; // not even an exception class
    });
    TQzSingleTimer healthy(shared, 100, [&](TQzSingleTimer&) { ++other; });
    failing.Start();
    healthy.Start();
    std::vector<int> callsAfterTick;
    for (int i = 0; i < 6; ++i) {
        EXPECT_NO_THROW(shared.Tick());
        callsAfterTick.push_back(calls);
    }
    // Fails on tick 3 and (not reset) on tick 4, succeeds on tick 5 and is then reset.
    EXPECT_EQ(callsAfterTick, (std::vector<int>{0, 0, 1, 2, 3, 3}));
    EXPECT_EQ(other, 6); // the client beside it ran on every tick
}

TEST(TQz100Timer, CallbackMayDestroyItselfOrAnotherClient) {
    TQz100Timer shared;
    std::string order;
    auto first = std::make_unique<TQzSingleTimer>(shared, 100);
    auto second = std::make_unique<TQzSingleTimer>(shared, 100);
    auto third = std::make_unique<TQzSingleTimer>(shared, 100);
    first->SetCallback([&](TQzSingleTimer&) { order += '1'; });
    // Visited before `first` and `second`: removes `first` (not yet visited) and itself.
    second->SetCallback([&](TQzSingleTimer&) {
        order += '2';
        first.reset();
        second.reset();
    });
    third->SetCallback([&](TQzSingleTimer&) { order += '3'; });
    first->Start();
    second->Start();
    third->Start();
    shared.Tick();
    EXPECT_EQ(order, "32");
    EXPECT_EQ(shared.ClientCount(), 1u);
    shared.Tick();
    EXPECT_EQ(order, "323");
}

TEST(TQz100Timer, ClientAddedDuringTickWaitsForTheNextTick) {
    TQz100Timer shared;
    std::vector<std::unique_ptr<TQzSingleTimer>> added;
    int addedFired = 0;
    TQzSingleTimer adder(shared, 100, [&](TQzSingleTimer& self) {
        self.Stop();
        added.push_back(shared.NewTimer(100, [&](TQzSingleTimer&) { ++addedFired; }));
        added.back()->Start();
    });
    adder.Start();
    shared.Tick();
    EXPECT_EQ(addedFired, 0);
    EXPECT_EQ(shared.ClientCount(), 2u);
    shared.Tick();
    EXPECT_EQ(addedFired, 1);
}

TEST(TQz100Timer, EitherSideMayGoFirst) {
    auto client = std::unique_ptr<TQzSingleTimer>();
    {
        TQz100Timer shared;
        client = shared.NewTimer(100);
        client->Start();
    }
    EXPECT_EQ(client->Owner(), nullptr);
    client.reset(); // must not touch the destroyed shared timer

    // A callback that destroys the shared timer ends the tick without touching it again.
    auto shared = std::make_unique<TQz100Timer>();
    int fired = 0;
    TQzSingleTimer a(*shared, 100, [&](TQzSingleTimer&) { ++fired; });
    TQzSingleTimer b(*shared, 100, [&](TQzSingleTimer&) {
        ++fired;
        shared.reset();
    });
    a.Start();
    b.Start();
    shared->Tick();
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(a.Owner(), nullptr);
}

TEST(TQz100Timer, EnabledChangesReachTheDriver) {
    TQz100Timer shared;
    std::vector<bool> seen;
    shared.SetOnEnabledChanged([&](bool on) { seen.push_back(on); });
    EXPECT_TRUE(shared.Enabled());
    shared.SetEnabled(true); // no change, no call
    shared.SetEnabled(false);
    shared.SetEnabled(true);
    EXPECT_EQ(seen, (std::vector<bool>{false, true}));
}

} // namespace
} // namespace morvell
