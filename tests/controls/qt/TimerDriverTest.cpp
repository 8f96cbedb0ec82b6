#include "platform/Messages.h"
#include "text/qt/QtTimerDriver.h"

#include <QTest>
#include <gtest/gtest.h>

namespace morvell {
namespace {

TEST(QtTimerDriver, TicksTheSharedTimerWhileItIsEnabled) {
    TQz100Timer shared;
    int fired = 0;
    TQzSingleTimer client(shared, 100, [&](TQzSingleTimer&) { ++fired; });
    client.Start();
    RecordingMessages messages;
    SetMessages(&messages);
    {
        QtTimerDriver driver(shared);
        EXPECT_TRUE(driver.Running());
        EXPECT_TRUE(QTest::qWaitFor([&] { return fired >= 2; }, 2000));

        shared.SetEnabled(false);
        EXPECT_FALSE(driver.Running());
        const int stopped = fired;
        QTest::qWait(250);
        EXPECT_EQ(fired, stopped);

        shared.SetEnabled(true);
        EXPECT_TRUE(driver.Running());
    }
    // The driver is gone: changing the shared timer must not reach it.
    shared.SetEnabled(false);
    shared.SetEnabled(true);
    SetMessages(nullptr);
    EXPECT_TRUE(messages.Entries().empty());
}

} // namespace
} // namespace morvell
