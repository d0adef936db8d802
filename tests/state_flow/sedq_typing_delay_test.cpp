// The delay after a burst of keys: it runs out once, the whole delay after the last restart and
// never before, however often it was restarted while it ran; stopped, it does not run out.
#include "sedq/state_flow/sedq_typing_delay.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace
{
const int DELAY_MS = 120;
}

TEST(sedq_typing_delay, runs_out_once_the_whole_delay_after_the_last_restart)
{
    for (const int restarts : {1, 2, 5})
    {
        SEDQ_TYPING_DELAY delay(DELAY_MS, nullptr);
        QSignalSpy due(&delay, &SEDQ_TYPING_DELAY::due);
        QElapsedTimer since_last;
        qint64 ran_out_after = -1;
        QObject::connect(&delay, &SEDQ_TYPING_DELAY::due, [&]() { ran_out_after = since_last.elapsed(); });
        // Restarted well inside the delay: the timer started first runs out before the last
        // restart's delay has passed, and must wait on.
        for (int i = 0; i < restarts; ++i)
        {
            if (i > 0)
                QTest::qWait(DELAY_MS * 2 / 3);
            since_last.start();
            delay.restart();
        }
        EXPECT_TRUE(QTest::qWaitFor([&]() { return due.count() > 0; }, 10 * DELAY_MS)) << restarts;
        EXPECT_GE(ran_out_after, DELAY_MS) << restarts;
        QTest::qWait(DELAY_MS * 3 / 2);
        EXPECT_EQ(due.count(), 1) << restarts;
        EXPECT_FALSE(delay.is_active()) << restarts;
    }
}

TEST(sedq_typing_delay, a_stopped_delay_does_not_run_out)
{
    SEDQ_TYPING_DELAY delay(DELAY_MS, nullptr);
    QSignalSpy due(&delay, &SEDQ_TYPING_DELAY::due);
    delay.restart();
    QTest::qWait(DELAY_MS / 2);
    delay.restart();
    delay.stop();
    EXPECT_FALSE(delay.is_active());
    QTest::qWait(DELAY_MS * 2);
    EXPECT_EQ(due.count(), 0);
}
