#include "describe/packet_fields.h"

void DumpFields::Text(std::string_view name, const std::string& value) { Next(name, DumpField::Kind::Text).text = value; }

void PacketKey(int id, const uint8_t* data, size_t length, char* key)
{
    static const char kDigits[] = "0123456789ABCDEF";
    key[0] = kDigits[(id >> 4) & 0x0F];
    key[1] = kDigits[id & 0x0F];
    key[2] = '\0';
    if ((id == 0x8F || id == 0x1C) && length > 0) {
        key[2] = '-';
        key[3] = kDigits[data[0] >> 4];
        key[4] = kDigits[data[0] & 0x0F];
        key[5] = '\0';
    }
}
