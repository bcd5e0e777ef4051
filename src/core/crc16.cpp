#include "crc16.h"

quint16 Crc16Modbus(const quint8 *data, int length)
{
    quint16 crc = 0xFFFF;
    for (int i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

void CreateCRC(quint8 *data, int length)
{
    const quint16 crc = Crc16Modbus(data, length);
    data[length] = quint8(crc & 0xFF);     // low byte first on the wire
    data[length + 1] = quint8(crc >> 8);
}

quint16 CreateCRC_out(const quint8 *data, int length)
{
    const quint16 crc = Crc16Modbus(data, length);
    return quint16((crc << 8) | (crc >> 8));
}
