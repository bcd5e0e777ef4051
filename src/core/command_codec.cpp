// Modbus RTU frame codec: the request frames the tool sends to a detector and
// the checks of the replies that come back. The serial line itself belongs to
// the transaction engine (command_transport.cpp).
#include "archive_buffers.h"
#include "command.h"

#include <cstring>

namespace {

constexpr int kMaxFirmwareBlock = 246; // header 7 + 246 + CRC 2 = 255 <= tx_buffer
constexpr int kMaxArchiveRecords = 25;

void putWord(quint8 *at, quint16 value)
{
    at[0] = quint8(value >> 8);
    at[1] = quint8(value & 0xFF);
}

void putLong(quint8 *at, quint32 value)
{
    at[0] = quint8(value >> 24);
    at[1] = quint8(value >> 16);
    at[2] = quint8(value >> 8);
    at[3] = quint8(value);
}

quint16 getWord(const quint8 *at) { return quint16((at[0] << 8) | at[1]); }

// The archive range comes back least significant byte first.
quint32 getLongLittleEndian(const quint8 *at)
{
    return quint32(at[0]) | (quint32(at[1]) << 8) | (quint32(at[2]) << 16) | (quint32(at[3]) << 24);
}

// Frames of functions 3, 4 and 12 share one shape: address and two words.
int buildTwoWordRequest(quint8 address, quint8 function, quint16 first, quint16 second,
                        quint8 *buffer)
{
    buffer[0] = address;
    buffer[1] = function;
    putWord(buffer + 2, first);
    putWord(buffer + 4, second);
    return 6;
}

int buildFirmwareRequest(quint8 address, quint8 function, quint32 image_address,
                         const quint8 *data, quint8 length, quint8 *buffer)
{
    if (length > kMaxFirmwareBlock)
        return 4;
    buffer[0] = address;
    buffer[1] = function;
    putLong(buffer + 2, image_address);
    buffer[6] = length;
    if (length > 0)
        std::memcpy(buffer + 7, data, length);
    return 7 + length;
}

} // namespace

int Command::TransmitFunc3(quint16 address, quint16 count, quint8 *buffer)
{
    return buildTwoWordRequest(quint8(modbus_address), 3, address, count, buffer);
}

int Command::TransmitFunc4(quint16 address, quint16 count, quint8 *buffer)
{
    return buildTwoWordRequest(quint8(modbus_address), 4, address, count, buffer);
}

quint16 Command::CheckReadStart(quint8 function, quint8 page, quint16 reg)
{
    // The register maps tell whether they know a start register only by
    // decoding it: decode one zero register into the image and put the image
    // back as it was, codec state included.
    const DeviceImage saved = *this;
    quint8 *const cursor = codec_cursor;
    const quint16 remaining = codec_remaining;
    quint8 zero[2] = {0, 0};
    codec_cursor = zero;
    codec_remaining = 2;
    const quint16 result = function == 3 ? CmdFunc3(page, reg) : CmdFunc4(page, reg);
    static_cast<DeviceImage &>(*this) = saved;
    codec_cursor = cursor;
    codec_remaining = remaining;
    return result == 4 ? 4 : 2;
}

int Command::TransmitFunc12(quint16 start, quint16 count, quint8 *buffer)
{
    return buildTwoWordRequest(quint8(modbus_address), 12, start, count, buffer);
}

int Command::TransmitFunc16(quint16 address, quint16 count, quint8 *buffer)
{
    buffer[0] = quint8(modbus_address);
    buffer[1] = 16;
    putWord(buffer + 2, address);
    putWord(buffer + 4, count);
    buffer[6] = 0;
    codec_byte_count_ptr = buffer + 6;
    codec_cursor = buffer + 7;
    codec_frame_length = 7;
    codec_remaining = count;
    // 123 registers are the most a request can carry in tx_buffer
    // (7 + 246 + CRC); the register blocks are far shorter, so a longer
    // count always runs past the end of a block.
    if (count == 0 || count > 123)
        return 8;
    const quint16 refusal = EncodeFunc16(quint8(address >> 12), quint16(address & 0x0FFF));
    if (refusal != 2)
        return refusal;
    return codec_frame_length;
}

int Command::TransmitFunc14(quint32 address, const quint8 *data, quint8 length, quint8 *buffer)
{
    return buildFirmwareRequest(quint8(modbus_address), 14, address, data, length, buffer);
}

int Command::TransmitFunc15(quint32 address, const quint8 *data, quint8 length, quint8 *buffer)
{
    return buildFirmwareRequest(quint8(modbus_address), 15, address, data, length, buffer);
}

int Command::TransmitFunc20(quint32 start, quint32 stop, quint8 *buffer)
{
    buffer[0] = quint8(modbus_address);
    buffer[1] = 20;
    putLong(buffer + 2, start);
    putLong(buffer + 6, stop);
    return 10;
}

quint16 Command::Parsing_command(quint8 *reply, quint16 address, int length)
{
    const quint8 function = reply[1];
    switch (function) {
    case 3:
    case 4: {
        // The decoders walk the register values by the byte count of the
        // reply: it must be a whole number of registers and lie inside the
        // bytes received (address, function, count, data, CRC).
        const quint16 byte_count = reply[2];
        if (byte_count == 0 || (byte_count & 1) != 0)
            return 8;
        if (length >= 0 && length != 3 + byte_count + 2)
            return 8;
        codec_cursor = reply + 3;
        codec_remaining = byte_count;
        const quint8 page = quint8(address >> 12);
        const quint16 reg = quint16(address & 0x0FFF);
        return function == 3 ? CmdFunc3(page, reg) : CmdFunc4(page, reg);
    }
    case 6:
    case 16:
        if (length >= 0 && length < 6)
            return 4;
        return CmdFunc16(reply, address);
    case 14:
        if (length >= 0 && length < 8)
            return 4;
        return CmdFunc14(reply, address);
    case 15:
        if (length >= 0 && length < 8)
            return 4;
        return CmdFunc15(reply, address);
    case 12:
        return CmdFunc12(reply, length);
    case 20:
        return CmdFunc20(reply, length);
    case 0x83:
    case 0x84:
    case 0x8C:
    case 0x8E:
    case 0x8F:
    case 0x90:
    case 0x94:
        switch (reply[2]) {
        case 2:
            return 64; // illegal data address
        case 3:
            return 128; // illegal data value
        default:
            // Any other refusal (device failure, busy, ...) means the
            // detector did not carry out the request: a failed attempt,
            // never a success.
            return 512;
        }
    default:
        return 1;
    }
}

quint16 Command::CmdFunc16(const quint8 *reply, quint16 reg)
{
    return (getWord(reply + 2) & 0x0FFF) == reg ? 2 : 4;
}

quint16 Command::CmdFunc14(const quint8 *reply, quint16 address_low)
{
    return getWord(reply + 4) == address_low ? 2 : 4;
}

quint16 Command::CmdFunc15(const quint8 *reply, quint16 address_low)
{
    return getWord(reply + 4) == address_low ? 2 : 4;
}

int Command::ArchiveRecordSize() const
{
    switch (device_code) {
    case 411:
    case 412:
        return 48;
    case 404:
    case 405:
    case 406:
    case 421:
        return 120;
    case 420:
        return 168;
    default:
        return 0;
    }
}

quint16 Command::CmdFunc12(const quint8 *reply, int length)
{
    const int records = reply[2];
    if (records > kMaxArchiveRecords)
        return 4;
    const int bytes = records * ArchiveRecordSize();
    // Refuse, copying nothing, records that would not fit the archive
    // buffer or that the reply does not actually carry.
    if (bytes > kArchiveReadBufferSize)
        return 4;
    if (length >= 0 && 3 + bytes + 2 > length)
        return 4;
    if (bytes > 0)
        std::memcpy(archiv_read_mas, reply + 3, size_t(bytes));
    return 2;
}

quint16 Command::CmdFunc20(const quint8 *reply, int length)
{
    if (length >= 0 && length < 12)
        return 4; // too short to carry both record numbers
    address_archiv_start = getLongLittleEndian(reply + 2);
    address_archiv_stop = getLongLittleEndian(reply + 6);
    return 2;
}
