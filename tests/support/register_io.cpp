#include "register_io.h"

#include <cstring>

quint16 decodeRegisters(Command &cmd, int function, quint8 page, quint16 reg, const QVector<quint16> &words)
{
    quint8 *data = cmd.rx_buffer + 3;
    for (int i = 0; i < words.size(); ++i) {
        data[2 * i] = quint8(words[i] >> 8);
        data[2 * i + 1] = quint8(words[i] & 0xFF);
    }
    cmd.rx_buffer[2] = quint8(2 * words.size());
    cmd.codec_cursor = data;
    cmd.codec_remaining = quint16(2 * words.size());
    return function == 4 ? cmd.CmdFunc4(page, reg) : cmd.CmdFunc3(page, reg);
}

quint16 encodeRegisters(Command &cmd, quint8 page, quint16 reg, quint16 count, QVector<quint16> *words)
{
    std::memset(cmd.tx_buffer, 0xEE, sizeof cmd.tx_buffer);
    cmd.tx_buffer[6] = 0;
    cmd.codec_byte_count_ptr = cmd.tx_buffer + 6;
    cmd.codec_cursor = cmd.tx_buffer + 7;
    cmd.codec_frame_length = 7;
    cmd.codec_remaining = count;
    const quint16 result = cmd.EncodeFunc16(page, reg);
    if (words) {
        words->clear();
        if (result == 2) {
            for (int i = 0; i < count; ++i)
                words->append(quint16(cmd.tx_buffer[7 + 2 * i] << 8 | cmd.tx_buffer[8 + 2 * i]));
        }
    }
    return result;
}
