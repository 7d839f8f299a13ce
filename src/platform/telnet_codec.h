// The Telnet layer of a network serial port (RFC 854) with the serial line
// control of COM-PORT-OPTION (RFC 2217), as the client (the PC) side.
// Bytes in, bytes out: no sockets here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/serial_device.h"

namespace telnet {
constexpr uint8_t IAC = 255;
constexpr uint8_t DONT = 254;
constexpr uint8_t DO = 253;
constexpr uint8_t WONT = 252;
constexpr uint8_t WILL = 251;
constexpr uint8_t SB = 250;
constexpr uint8_t SE = 240;
constexpr uint8_t BINARY = 0;
constexpr uint8_t ECHO = 1;
constexpr uint8_t SGA = 3;
constexpr uint8_t COM_PORT_OPTION = 44;
// COM-PORT-OPTION commands from the client; the server answers with 100 added.
constexpr uint8_t SET_BAUDRATE = 1;
constexpr uint8_t SET_DATASIZE = 2;
constexpr uint8_t SET_PARITY = 3;
constexpr uint8_t SET_STOPSIZE = 4;
constexpr uint8_t SET_CONTROL = 5;
constexpr uint8_t PURGE_DATA = 12;
constexpr uint8_t kServerOffset = 100;
} // namespace telnet

class TelnetCodec {
public:
    // The client's opening: it offers and asks for binary transmission, offers
    // COM-PORT-OPTION and asks the server to suppress go-ahead.
    std::vector<uint8_t> Greeting();

    // Takes bytes from the network. Data bytes are appended to data; answers to
    // the server's negotiation (to be sent back) to replies. Sequences split
    // across calls are continued at the next call.
    void Decode(const uint8_t* bytes, size_t count, std::vector<uint8_t>& data, std::vector<uint8_t>& replies);
    // Appends the data bytes with every IAC doubled.
    static void Encode(const uint8_t* bytes, size_t count, std::vector<uint8_t>& out);

    // The commands that set the line: baud, data size, parity, stop size, no
    // flow control, DTR on, RTS on. Empty values are refused (false).
    static bool LineCommands(const LineSettings& settings, std::vector<uint8_t>& out);
    // Purge both of the server's queues.
    static std::vector<uint8_t> PurgeCommand();

    // The server agreed to COM-PORT-OPTION (answered DO); refused when it said DONT.
    bool ComPortAgreed() const { return us_[telnet::COM_PORT_OPTION] == Yes; }
    bool ComPortRefused() const { return comPortRefused_; }
    // What the server last reported for the line (its answers to the set commands).
    const LineSettings& ServerSettings() const { return server_; }
    bool ServerReportedBaud() const { return serverBaudSeen_; }
    // Answers to the server's negotiation made so far (each one costs a reply).
    uint64_t NegotiationAnswers() const { return answers_; }
    // The bytes of the subnegotiation still open; no option of ours needs many.
    size_t OpenSubnegotiationBytes() const { return stage_ == Stage::Sub || stage_ == Stage::SubIac ? subBytes_ : 0; }

private:
    enum Side : uint8_t { No, Yes, WantYes };
    enum class Stage : uint8_t { Data, Iac, Verb, Sub, SubIac };

    void Negotiate(uint8_t verb, uint8_t option, std::vector<uint8_t>& replies);
    void FinishSub();

    Stage stage_ = Stage::Data;
    uint8_t verb_ = 0;
    std::vector<uint8_t> sub_;
    size_t subBytes_ = 0;
    uint64_t answers_ = 0;
    std::array<Side, 256> us_{};  // options we perform
    std::array<Side, 256> him_{}; // options the server performs
    bool comPortRefused_ = false;
    bool serverBaudSeen_ = false;
    LineSettings server_;
};
