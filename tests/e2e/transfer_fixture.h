// The monitor on an in-memory display port with a scripted receiver behind
// it, the transfer's reply wait on a virtual clock, scripted file dialogs,
// and counters in place of every report decoder.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>

#include "monitor/monitor.h"
#include "monitor/dispatch.h"
#include "core/main_window.h"
#include "support/ui_find.h"
#include "support/ui_script_gui.h"
#include "transfer/form_alm.h"
#include "transfer/reply_wait.h"
#include "transfer_peer.h"

#include <QPlainTextEdit>
#include <QTimer>

// Readable failure output for the memo lines.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

inline int g_dispatched = 0;
inline void CountDispatch(PortRecord&) { ++g_dispatched; }

class TransferTest : public testing::Test {
protected:
    void SetUp() override
    {
        port = StartMonitorOnFake(1);
        ASSERT_TRUE(port);
        peer.Attach(*port);
        ASSERT_TRUE(dir.isValid());
        ReplyWait().now = [this] { return ReplyWaitTiming::Clock::time_point{} + elapsed; };
        ReplyWait().pause = [this](std::chrono::milliseconds d) {
            elapsed += d;
            ++pauses;
            timerRanDuringTransfer |= Monitor::Instance().IsRunning();
            if (onPause)
                onPause();
        };
        peer.before = [this](const Command& c) {
            if (c.kind == CommandKind::RequestSystemData || c.kind == CommandKind::LoadSystemData)
                timerRanDuringTransfer |= Monitor::Instance().IsRunning();
            return Bytes{};
        };
        // Every report that reaches the dispatch is counted, whatever its id
        // (id 0 is the parser's mark of a packet without a start).
        g_dispatched = 0;
        const auto rows = DispatchTable();
        for (const DispatchRow& row : rows)
            RegisterDecoder({row.id, row.subId, &CountDispatch, row.group});
        for (int id = 1; id < 256; ++id)
            RegisterDecoder({id, kNoSubId, &CountDispatch, ReportGroup::A});
    }

    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    void WriteFile(const char* name, const Bytes& bytes) const
    {
        std::ofstream out(Path(name).toStdString(), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    Bytes ReadFile(const char* name) const
    {
        std::ifstream in(Path(name).toStdString(), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The memo's lines; every message ended with a line break.
    static QStringList MemoLines()
    {
        QStringList lines = Ui<QPlainTextEdit>(Form_Alm, "Memo_Alm")->toPlainText().split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.back().isEmpty())
            lines.pop_back();
        return lines;
    }

    std::vector<Command> CommandsOf(CommandKind kind) const
    {
        std::vector<Command> out;
        for (const Command& c : peer.commands)
            if (c.kind == kind)
                out.push_back(c);
        return out;
    }

    // After a transfer: the poll timer runs again, and nothing the
    // transfer read is dispatched by the ticks that follow.
    void ExpectMonitorResumed()
    {
        EXPECT_TRUE(Monitor::Instance().IsRunning());
        EXPECT_FALSE(timerRanDuringTransfer);
        Monitor::Instance().Stop();
        port->responder = nullptr; // answers to the ticks' own queries are not the transfer's
        Tick(3);
        EXPECT_EQ(g_dispatched, 0);
    }

    std::shared_ptr<FakeSerial::State> port;
    ScriptedReceiver peer;
    ScriptedUi ui;
    QTemporaryDir dir;
    std::chrono::milliseconds elapsed{0};
    int pauses = 0;
    bool timerRanDuringTransfer = false;
    std::function<void()> onPause;
};

// The almanac set a full receiver holds, in download order.
inline std::vector<TypeSv> AlmanacOrder()
{
    std::vector<TypeSv> order = {{3, 0}};
    for (uint8_t sv = 1; sv <= 32; ++sv)
        order.push_back({2, sv});
    order.push_back({4, 0});
    order.push_back({5, 0});
    return order;
}

inline size_t TestLength(uint8_t type)
{
    switch (type) {
    case 2: return 24;
    case 3: return 5;
    case 4: return 8;
    case 5: return 13;
    default: return 165;
    }
}
