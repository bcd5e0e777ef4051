// A Command whose register maps are stood in for by the test, so that the
// frame codec and the transaction engine can be checked on their own: the
// decoders record what the codec handed them, the encoder places known values.
#pragma once

#include "command.h"

#include <QPair>
#include <QVector>

class LinkTestCommand : public Command
{
public:
    struct DecodeCall
    {
        int function;
        quint8 page;
        quint16 reg;
        quint16 byte_count;
        QVector<quint16> words;
    };

    quint16 decode_result = 2;           // what the decoders answer
    quint16 encode_refusal = 0;          // non-zero: the encoder refuses with it
    quint16 encode_first_value = 0x1000; // register i gets encode_first_value + i
    QVector<DecodeCall> decode_calls;
    QVector<QPair<quint8, quint16>> encode_calls;

    quint16 CmdFunc3(quint8 page, quint16 reg) override { return decode(3, page, reg); }
    quint16 CmdFunc4(quint8 page, quint16 reg) override { return decode(4, page, reg); }

    // Every start register is known to the stand-in maps.
    quint16 CheckReadStart(quint8, quint8, quint16) override { return 2; }

    quint16 EncodeFunc16(quint8 page, quint16 reg) override
    {
        encode_calls.append({page, reg});
        if (encode_refusal)
            return encode_refusal;
        for (quint16 i = 0;; ++i) {
            if (CMD_PUT_WORD_OUT_REG(quint16(encode_first_value + i)))
                break;
        }
        return 2;
    }

private:
    quint16 decode(int function, quint8 page, quint16 reg)
    {
        DecodeCall call{function, page, reg, codec_remaining, {}};
        quint16 word = 0;
        bool done = false;
        while (!done) {
            done = CMD_SAVE_SAME_WORD(word);
            call.words.append(word);
        }
        decode_calls.append(call);
        return decode_result;
    }
};
