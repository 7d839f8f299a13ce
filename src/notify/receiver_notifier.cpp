#include "notify/receiver_notifier.h"

ReceiverNotifier& Receivers()
{
    static ReceiverNotifier notifier;
    return notifier;
}

void ReceiverNotifier::AnnouncePacketIn(int slot, int id, const uint8_t* data, uint32_t length)
{
    emit packetIn(slot, id, QByteArrayView(data, static_cast<qsizetype>(length)));
}

void ReceiverNotifier::AnnouncePacketOut(int slot, const uint8_t* message, size_t length)
{
    if (length != 0)
        emit packetOut(slot, message[0], QByteArrayView(message + 1, static_cast<qsizetype>(length - 1)));
}
