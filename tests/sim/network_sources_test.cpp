// zelk_sim serving a receiver on a TCP port, and zelk_dump reading network
// sources: straight from zelk_sim --listen (tcp://), and through the real
// ser2net in front of zelk_sim's pseudo-terminal (rfc2217://).
#include <gtest/gtest.h>

#include "platform/child_process.h"
#include "support/loopback_listener.h"
#include "support/ser2net.h"

namespace {

const std::string kBin = JX_BINARY_DIR;

// Reads the dump's lines until the receiver's time report (0x41) shows its week.
bool DumpShowsTheReceiver(const std::string& source, std::string* seen)
{
    ChildProcess dump;
    std::string error;
    if (!dump.Start(kBin + "/zelk_dump", {source}, &error)) {
        *seen = error;
        return false;
    }
    std::string line;
    for (int i = 0; i < 200 && dump.ReadLine(&line, 5000); ++i) {
        *seen += line + "\n";
        if (line.rfind("41 ", 0) == 0 && line.find("week=2400") != std::string::npos)
            return true;
    }
    return false;
}

TEST(NetworkSources, DumpReadsTheSimulatorOverRawTcpAndThroughSer2netOverRfc2217)
{
    ChildProcess listening;
    std::string error;
    std::string url;
    ASSERT_TRUE(listening.Start(kBin + "/zelk_sim", {"--listen", "127.0.0.1:0"}, &error)) << error;
    ASSERT_TRUE(listening.ReadLine(&url, 5000));
    ASSERT_EQ(url.rfind("tcp://127.0.0.1:", 0), 0u) << url;
    std::string seen;
    EXPECT_TRUE(DumpShowsTheReceiver(url, &seen)) << seen;

    ChildProcess onPty;
    std::string device;
    ASSERT_TRUE(onPty.Start(kBin + "/zelk_sim", {}, &error)) << error;
    ASSERT_TRUE(onPty.ReadLine(&device, 5000));
    std::vector<Ser2net::Port> ports = {{device, true, 0}};
    Ser2net ser2net;
    ASSERT_TRUE(ser2net.Start(ports, &error)) << error;
    seen.clear();
    EXPECT_TRUE(DumpShowsTheReceiver(Ser2net::Url(ports[0]), &seen)) << seen;
}

TEST(NetworkSources, DumpOfAPortNobodyServesFailsWithTheReason)
{
    const std::string cmd = kBin + "/zelk_dump tcp://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + " 2>&1";
    FILE* out = popen(cmd.c_str(), "r");
    ASSERT_NE(out, nullptr);
    char text[512] = {};
    const size_t n = fread(text, 1, sizeof text - 1, out);
    const int status = pclose(out);
    EXPECT_NE(std::string(text, n).find("Connection refused"), std::string::npos) << text;
    EXPECT_NE(status, 0);
}

} // namespace
