// Command: the link to one detector and the program's copy of its registers.
//
// It owns the serial port, the request and reply buffers, the timeouts and the
// device image. The program has one process-wide instance (Command::instance());
// every operation is a member, so tests run them on fresh instances.
#pragma once

#include "crc16.h"
#include "device_image.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <cstdint>

class Command : public QObject, public DeviceImage
{
    Q_OBJECT
public:
    explicit Command(QObject *parent = nullptr);
    ~Command() override;

    // The process-wide instance used by the windows. main() installs one;
    // tests may install their own.
    static Command &instance();
    static void setInstance(Command *command);

    // --- Transport state -------------------------------------------------
    QSerialPort port;
    QString port_name;
    quint32 port_connected = 0;
    qint16 modbus_address = 255;

    // --- Transactions (function codes 3, 4, 16) --------------------------
    quint16 Transmit_command(quint8 kind, quint8 page, quint16 reg, quint16 count);

    // --- Codec state -------------------------------------------------------
    // Decoding: data bytes of the reply not yet consumed; encoding: registers
    // not yet placed in the request.
    quint16 codec_remaining = 0;
    quint8 *codec_cursor = nullptr;        // next byte to read or to fill
    quint8 *codec_byte_count_ptr = nullptr; // byte-count byte of a function 16 request
    qint16 codec_frame_length = 0;          // function 16 request built so far
    quint8 tx_buffer[256] = {};
    quint8 rx_buffer[3000] = {};

    // Word codec used by the register maps (high byte first on the wire).
    // Places one register value in the function 16 request; true when the
    // last requested register has been placed.
    bool CMD_PUT_WORD_OUT_REG(quint16 value);
    // Takes one register value from the reply; true when the reply data is used up.
    bool CMD_SAVE_SAME_WORD(quint16 &target);
    // The same without the end test, for decoders that convert the word first.
    void CMD_SAVE_SAME_WORD_2(quint16 &target);

    // --- Register maps (register_map.cpp) -----------------------------------
    // Decoders: the codec has set codec_cursor to the first register value of
    // the reply and codec_remaining to its byte count. They store registers
    // starting at (page, reg) into the device image and return 2 (stored),
    // 3 (more input registers than expected), 4 (register outside the map)
    // or 8 (the count runs past the end of a register block).
    quint16 CmdFunc3(quint8 page, quint16 reg);
    quint16 CmdFunc4(quint8 page, quint16 reg);
    // Encoder: the codec has written the function 16 header and set
    // codec_cursor, codec_byte_count_ptr, codec_frame_length and
    // codec_remaining (the register count). Places the values of the
    // registers starting at (page, reg) with CMD_PUT_WORD_OUT_REG and returns
    // 2, or refuses with 3 (register 0x018C of layout p1), 4 (register
    // outside the map) or 8 (count past the end of a block).
    quint16 EncodeFunc16(quint8 page, quint16 reg);

    // --- Device image operations: register maps, parameter sets, derived
    // values (register_map.cpp, parameter_sets.cpp). Declarations below.
};
