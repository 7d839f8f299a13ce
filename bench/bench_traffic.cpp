#include "bench_traffic.h"

#include "link/framing.h"
#include "link/packets.h"
#include "sim/receiver_simulator.h"
#include "support/captures.h"

std::vector<uint8_t> CaptureTraffic()
{
    std::vector<uint8_t> out;
    for (const std::string& name : CaptureNames()) {
        const std::vector<uint8_t> bytes = ReadCapture(name);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

namespace {

std::vector<uint8_t> QueryFrame(CommandKind kind)
{
    Command command;
    command.kind = kind;
    uint8_t message[kMaxPacketMessage];
    const size_t length = EncodeCommand(command, message);
    std::vector<uint8_t> frame(2 * length + 3);
    frame.resize(BuildFrame(message, length, frame.data()));
    return frame;
}

} // namespace

std::vector<uint8_t> SimulatorTraffic(size_t minBytes)
{
    const std::vector<uint8_t> queries[] = {QueryFrame(CommandKind::RequestHealth),
                                            QueryFrame(CommandKind::RequestSatSelection),
                                            QueryFrame(CommandKind::RequestTracking)};
    ReceiverSimulator receiver(SimOptions{});
    std::vector<uint8_t> out;
    while (out.size() < minBytes) {
        for (const std::vector<uint8_t>& q : queries)
            receiver.Receive(q.data(), q.size());
        receiver.Advance(1.0);
        const std::vector<uint8_t> second = receiver.TakeOutput();
        out.insert(out.end(), second.begin(), second.end());
    }
    return out;
}
