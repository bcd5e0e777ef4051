// Word codec shared by the register maps: one register at a time between the
// device image and the request or reply frame, high byte first on the wire.
#include "command.h"

bool Command::CMD_PUT_WORD_OUT_REG(quint16 value)
{
    codec_cursor[0] = quint8(value >> 8);
    codec_cursor[1] = quint8(value & 0xFF);
    *codec_byte_count_ptr = quint8(*codec_byte_count_ptr + 2);
    codec_cursor += 2;
    codec_frame_length = qint16(codec_frame_length + 2);
    --codec_remaining;
    return codec_remaining == 0;
}

bool Command::CMD_SAVE_SAME_WORD(quint16 &target)
{
    CMD_SAVE_SAME_WORD_2(target);
    return codec_remaining == 0;
}

void Command::CMD_SAVE_SAME_WORD_2(quint16 &target)
{
    target = quint16((codec_cursor[0] << 8) | codec_cursor[1]);
    codec_cursor += 2;
    codec_remaining = quint16(codec_remaining - 2);
}
