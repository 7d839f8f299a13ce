#include "platform/telnet_codec.h"

using namespace telnet;

namespace {

// Options we carry out ourselves, and options we let the server carry out.
bool WeSupport(uint8_t option) { return option == BINARY || option == SGA || option == COM_PORT_OPTION; }
bool WeAccept(uint8_t option) { return option == BINARY || option == SGA || option == ECHO; }

void Put(std::vector<uint8_t>& out, uint8_t verb, uint8_t option)
{
    out.insert(out.end(), {IAC, verb, option});
}

constexpr size_t kSubKept = 64; // longer subnegotiations are not ours; keep the head

void ComPortCommand(std::vector<uint8_t>& out, uint8_t command, const std::vector<uint8_t>& value)
{
    out.insert(out.end(), {IAC, SB, COM_PORT_OPTION, command});
    TelnetCodec::Encode(value.data(), value.size(), out);
    out.insert(out.end(), {IAC, SE});
}

} // namespace

std::vector<uint8_t> TelnetCodec::Greeting()
{
    us_[BINARY] = us_[COM_PORT_OPTION] = WantYes;
    him_[BINARY] = him_[SGA] = WantYes;
    std::vector<uint8_t> out;
    Put(out, WILL, BINARY);
    Put(out, DO, BINARY);
    Put(out, WILL, COM_PORT_OPTION);
    Put(out, DO, SGA);
    return out;
}

void TelnetCodec::Decode(const uint8_t* bytes, size_t count, std::vector<uint8_t>& data, std::vector<uint8_t>& replies)
{
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = bytes[i];
        switch (stage_) {
        case Stage::Data:
            if (b == IAC)
                stage_ = Stage::Iac;
            else
                data.push_back(b);
            break;
        case Stage::Iac:
            stage_ = Stage::Data;
            if (b == IAC) {
                data.push_back(IAC);
            } else if (b == SB) {
                sub_.clear();
                subBytes_ = 0;
                stage_ = Stage::Sub;
            } else if (b >= WILL && b <= DONT) {
                verb_ = b;
                stage_ = Stage::Verb;
            } // other commands (NOP, GA, ...) carry nothing for a serial line
            break;
        case Stage::Verb:
            Negotiate(verb_, b, replies);
            stage_ = Stage::Data;
            break;
        case Stage::Sub:
            ++subBytes_;
            if (b == IAC)
                stage_ = Stage::SubIac;
            else if (sub_.size() < kSubKept)
                sub_.push_back(b);
            break;
        case Stage::SubIac:
            ++subBytes_;
            if (b == IAC) {
                if (sub_.size() < kSubKept)
                    sub_.push_back(IAC);
                stage_ = Stage::Sub;
            } else {
                FinishSub();
                stage_ = Stage::Data;
                if (b != SE) { // an unterminated subnegotiation: take the byte as a command
                    stage_ = Stage::Iac;
                    const uint8_t again[] = {b};
                    Decode(again, 1, data, replies);
                }
            }
            break;
        }
    }
}

void TelnetCodec::Negotiate(uint8_t verb, uint8_t option, std::vector<uint8_t>& replies)
{
    const bool toUs = verb == DO || verb == DONT;
    Side& side = toUs ? us_[option] : him_[option];
    const bool enable = verb == DO || verb == WILL;
    const uint8_t yesVerb = toUs ? WILL : DO;
    const uint8_t noVerb = toUs ? WONT : DONT;
    if (enable) {
        if (side == WantYes) {
            side = Yes; // the answer to our own request
        } else if (side == No) {
            const bool ok = toUs ? WeSupport(option) : WeAccept(option);
            side = ok ? Yes : No;
            Put(replies, ok ? yesVerb : noVerb, option);
            ++answers_;
        }
        return;
    }
    if (toUs && option == COM_PORT_OPTION && side != No)
        comPortRefused_ = true;
    if (side == Yes) {
        Put(replies, noVerb, option);
        ++answers_;
    }
    side = No; // a refusal of our request needs no answer
}

void TelnetCodec::FinishSub()
{
    if (sub_.size() < 3 || sub_[0] != COM_PORT_OPTION)
        return;
    const uint8_t command = sub_[1];
    const uint8_t value = sub_[2];
    switch (command) {
    case SET_BAUDRATE + kServerOffset:
        if (sub_.size() >= 6) {
            server_.baud = static_cast<int>((uint32_t{sub_[2]} << 24) | (uint32_t{sub_[3]} << 16) |
                                            (uint32_t{sub_[4]} << 8) | sub_[5]);
            serverBaudSeen_ = true;
        }
        break;
    case SET_DATASIZE + kServerOffset:
        server_.dataBits = value;
        break;
    case SET_PARITY + kServerOffset:
        server_.parity = value >= 1 && value <= 3 ? value - 1 : server_.parity;
        break;
    case SET_STOPSIZE + kServerOffset:
        server_.stopBits = value == 2 ? 2 : 0;
        break;
    default:
        break; // line and modem state notices: nothing to show
    }
}

void TelnetCodec::Encode(const uint8_t* bytes, size_t count, std::vector<uint8_t>& out)
{
    for (size_t i = 0; i < count; ++i) {
        out.push_back(bytes[i]);
        if (bytes[i] == IAC)
            out.push_back(IAC);
    }
}

bool TelnetCodec::LineCommands(const LineSettings& s, std::vector<uint8_t>& out)
{
    if (s.baud <= 0 || s.dataBits < 5 || s.dataBits > 8 || s.parity < 0 || s.parity > 2 ||
        (s.stopBits != 0 && s.stopBits != 2))
        return false;
    const auto baud = static_cast<uint32_t>(s.baud);
    ComPortCommand(out, SET_BAUDRATE,
                   {static_cast<uint8_t>(baud >> 24), static_cast<uint8_t>(baud >> 16),
                    static_cast<uint8_t>(baud >> 8), static_cast<uint8_t>(baud)});
    ComPortCommand(out, SET_DATASIZE, {static_cast<uint8_t>(s.dataBits)});
    ComPortCommand(out, SET_PARITY, {static_cast<uint8_t>(s.parity + 1)});
    ComPortCommand(out, SET_STOPSIZE, {static_cast<uint8_t>(s.stopBits == 2 ? 2 : 1)});
    // No flow control outbound (1) and inbound (14); DTR on (8); RTS on (11).
    for (uint8_t control : {1, 14, 8, 11})
        ComPortCommand(out, SET_CONTROL, {control});
    return true;
}

std::vector<uint8_t> TelnetCodec::PurgeCommand()
{
    std::vector<uint8_t> out;
    ComPortCommand(out, PURGE_DATA, {3});
    return out;
}
