// The serial device seam. Everything that touches an OS serial API lives
// behind this interface; tests can substitute an in-memory device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Line settings as given to the device: baud in bit/s, data bits 5..8,
// parity 0 none / 1 odd / 2 even, stop bits 0 = one, 2 = two.
struct LineSettings {
    int baud = 9600;
    int dataBits = 8;
    int parity = 1;
    int stopBits = 0;
};

// Where a device stands. A network device is Connecting until its
// connection is made; any device is Gone once a read or write found it
// removed, hung up or disconnected (the slot then counts as lost).
enum class DeviceState { Connecting, Ready, Gone };

class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    virtual DeviceState State() const { return DeviceState::Ready; }
    // The descriptor to watch for readiness (QSocketNotifier), or -1.
    virtual int NativeHandle() const { return -1; }
    // A descriptor that polls quiet exactly when the device has nothing to do
    // now (no input, no hang-up), or -1 when it must be serviced every time.
    virtual int QuietHandle() const { return -1; }
    // Why the device is Gone, in words for the user ("" when it is not).
    virtual std::string GoneReason() const { return {}; }

    // Clears a pending line error and returns the number of bytes waiting
    // in the input queue (0 when none or when the device has gone).
    virtual int QueuedInputBytes() = 0;
    // Reads what is waiting, at most maxBytes, never blocking.
    // Returns the count read (0 when nothing), or -1 when the device failed.
    virtual long Read(uint8_t* buffer, size_t maxBytes) = 0;
    // Writes what fits now, never blocking. Returns the count written (0 or
    // fewer than count when the line is full), or -1 when the device failed.
    virtual long Write(const uint8_t* bytes, size_t count) = 0;
    // Applies the line settings in place (raw 8-bit line, no flow control,
    // DTR and RTS on). Returns false when the device refuses them.
    virtual bool SetLineSettings(const LineSettings& settings) = 0;
    // Reads the settings back from the device (for tests and --list-ports).
    virtual bool GetLineSettings(LineSettings& settings) = 0;
    // Drops both queues.
    virtual bool Purge() = 0;
    // Waits until the transmit queue has gone out on the line.
    virtual bool FlushTransmit() = 0;
    virtual bool ClearBreak() = 0;
};

// Sets quiet[i] for each device that certainly has nothing to do now, asking
// the system about all of them at once (one call per poll tick instead of one
// per line). Devices without a quiet handle, and null ones, are never quiet.
void FindQuietDevices(const SerialDevice* const* devices, size_t count, bool* quiet);

// Why an open failed: the kind decides the advice given to the user.
enum class OpenFailure { None, Missing, Busy, Permission, Other };

struct OpenError {
    OpenFailure kind = OpenFailure::None;
    std::string reason; // the system's words, e.g. "Permission denied"
};

// Opens the device exclusively (a second holder is refused), non-blocking,
// raw, at 9600 8-O-1. Returns null and fills error on failure. A network
// URL (tcp://HOST:PORT, rfc2217://HOST:PORT) gives a connecting network device.
std::unique_ptr<SerialDevice> OpenSerialDevice(const std::string& path, std::string* error = nullptr);
std::unique_ptr<SerialDevice> OpenSerialDevice(const std::string& path, OpenError& error);
