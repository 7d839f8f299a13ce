#include "notify/receiver_notifier.h"

#include <QMetaMethod>

ReceiverNotifier& Receivers()
{
    static ReceiverNotifier notifier;
    return notifier;
}

void ReceiverNotifier::AnnouncePacketIn(int slot, int id, const uint8_t* data, uint32_t length)
{
    static const QMetaMethod signal = QMetaMethod::fromSignal(&ReceiverNotifier::packetIn);
    if (isSignalConnected(signal))
        emit packetIn(slot, id, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length)));
}

void ReceiverNotifier::AnnouncePacketOut(int slot, const uint8_t* message, size_t length)
{
    static const QMetaMethod signal = QMetaMethod::fromSignal(&ReceiverNotifier::packetOut);
    if (length == 0 || !isSignalConnected(signal))
        return;
    emit packetOut(slot, message[0],
                   QByteArray(reinterpret_cast<const char*>(message + 1), static_cast<qsizetype>(length - 1)));
}
