// Modbus RTU CRC-16 (polynomial 0xA001 reflected, initial value 0xFFFF, no
// final XOR). On the wire the CRC follows the frame low byte first.
#pragma once

#include <QtGlobal>

// CRC of the first `length` bytes of `data`.
quint16 Crc16Modbus(const quint8 *data, int length);

// Appends the CRC of the first `length` bytes at data[length] (low byte) and
// data[length + 1] (high byte). The caller's frame grows by 2 bytes.
void CreateCRC(quint8 *data, int length);

// The CRC of the first `length` bytes with its two bytes exchanged, so that it
// compares directly with data[length] * 256 + data[length + 1] of a received
// frame.
quint16 CreateCRC_out(const quint8 *data, int length);
