// The transfers' reply wait: which report ends it, its time bound, and that
// the windows get their paint events while it waits.
#include "transfer_fixture.h"

#include <QTimer>

namespace {

class ReplyWaitTest : public TransferTest {};

Bytes Report(uint8_t op, uint8_t type, uint8_t sv) { return ScriptedReceiver::Reply(op, type, sv, nullptr); }

} // namespace

TEST_F(ReplyWaitTest, ReportForAnotherSvDoesNotEndTheWait)
{
    Feed(*port, Report(1, 2, 4));
    onPause = [this] {
        if (pauses == 5)
            Feed(*port, Report(1, 2, 5));
    };
    const auto r = WaitForSystemDataReply(2, 5);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->sv, 5);
    EXPECT_EQ(pauses, 5);
    EXPECT_EQ(LastReplyOperation, 1);
}

TEST_F(ReplyWaitTest, RightReportBehindAWrongOneInTheSameReadIsFound)
{
    const Bytes data = {7, 8};
    Feed(*port, Report(2, 6, 9));
    Feed(*port, ScriptedReceiver::Reply(2, 6, 10, &data));
    const auto r = WaitForSystemDataReply(6, 10);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->dataLength, 2);
    EXPECT_EQ(r->data[1], 8);
    EXPECT_EQ(pauses, 0);
}

TEST_F(ReplyWaitTest, NoReplyEndsAfterTwoSecondsAndKeepsTheLastOperation)
{
    LastReplyOperation = 7;
    Feed(*port, Report(2, 3, 1)); // the right type, another SV
    EXPECT_FALSE(WaitForSystemDataReply(3, 0));
    EXPECT_EQ(LastReplyOperation, 7);
    EXPECT_GE(elapsed, std::chrono::milliseconds(2000));
    EXPECT_LT(elapsed, std::chrono::milliseconds(2000) + ReplyWait().pollInterval * 2);
}

TEST_F(ReplyWaitTest, ShortAndMalformedReportsAreIgnored)
{
    Feed(*port, Frame({0x58, 0x02, 0x03}));                // too short to name an SV
    Feed(*port, Frame({0x58, 0x02, 0x03, 0x00, 0x09, 1})); // announces 9 bytes, carries 1
    Feed(*port, Frame({0x59, 0x02, 0x03, 0x00, 0x00}));    // another id
    EXPECT_FALSE(WaitForSystemDataReply(3, 0));
}

TEST_F(ReplyWaitTest, WithoutADisplayPortTheWaitEndsAtOnce)
{
    DisplayPort = 0;
    EXPECT_FALSE(WaitForSystemDataReply(2, 1));
    EXPECT_EQ(pauses, 0);
}

// The real pause: queued events (paints, timers) are handled between polls.
TEST_F(ReplyWaitTest, DefaultPauseLetsQueuedEventsRun)
{
    ResetReplyWait();
    ReplyWait().limit = std::chrono::milliseconds(30);
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    EXPECT_FALSE(WaitForSystemDataReply(2, 1));
    EXPECT_TRUE(ran);
}
