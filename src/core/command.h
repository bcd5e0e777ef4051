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
    // The serial line to the detector. The connection dialog opens and
    // configures it (115200 baud, 8N1, no flow control); the transactions only
    // close and reopen it after a write that did not complete.
    QSerialPort port;
    QString port_name;
    // 0: offline. Every transaction then succeeds at once without any I/O,
    // so the windows work on the device image alone.
    quint32 port_connected = 0;
    qint16 modbus_address = 255; // slave address of every request

    // Timeouts in milliseconds.
    quint16 reply_timeout_ms = 85;             // first reply byte after a pre-send
    quint16 reply_timeout_long_ms = 500;       // first reply byte, model 404 (no pre-send)
    quint16 inter_chunk_timeout_ms = 15;       // further reply bytes
    quint16 log_reply_timeout_ms = 150;        // archive records: first reply byte
    quint16 log_inter_chunk_timeout_ms = 50;   // archive records: further bytes
    quint16 firmware_reply_timeout_ms = 150;   // firmware blocks: first reply byte
    quint16 firmware_inter_chunk_timeout_ms = 50;
    quint16 filter_reply_timeout_ms = 10000;   // archive range search: the detector may take 10 s
    quint16 filter_inter_chunk_timeout_ms = 15;

    // --- Transactions ------------------------------------------------------
    // Each call sends one request, retries it until a good reply arrives or
    // the attempts are used up, and returns a result bit set: 2 success;
    // 1 function not sent by this entry point (or reply function unknown);
    // 3, 4, 8 request refused by the register map or reply not decodable;
    // 16 request not written in time (port reopened); 32 no reply;
    // 64 / 128 exception reply with code 2 / 3; 256 empty, malformed or
    // corrupt reply; 512 exception reply with any other code (the detector
    // failed or was busy). Callers test for == 2, or OR several results and test
    // (result & 0xFD).

    // Registers: kind 3 reads holding registers, 4 input registers, 16 writes
    // registers from the device image. Only the low 4 bits of page are used
    // (channels 0..9, 170 = 0xAA for the device-level page 0xA).
    quint16 Transmit_command(quint8 kind, quint8 page, quint16 reg, quint16 count);
    // Attempts of one Transmit_command. A caller that asks a question whose
    // usual answer is silence (the layout probe of every refresh) lowers it
    // for that one request, so that silence does not cost ten timeouts.
    int transmit_attempts = 10;
    // Archive records (kind 12): `count` records from record number `start`
    // into archiv_read_mas. page is not used.
    quint16 Transmit_command_log(quint8 kind, quint8 page, quint16 start, quint16 count);
    // Archive range (kind 20) for the time window start..stop (device time):
    // sets address_archiv_start and address_archiv_stop.
    quint16 Transmit_filter_log(quint8 kind, quint32 start, quint32 stop);
    // Firmware block (kind 14 to the bootloader, 15 to running firmware) of
    // `length` bytes (at most 246) for image address `address`; the reply
    // must echo the low 16 bits of the address.
    quint16 Transmit_Firmware(quint8 kind, quint32 address, const quint8 *data, quint8 length);

    // --- Frame codec ---------------------------------------------------------
    // Request builders: fill `buffer` from byte 0 and return the frame length
    // without CRC. A value of 4 or less (or 8 from function 16) is not a
    // length but a refusal, and nothing is to be sent.
    // The address word is page * 4096 + register number.
    int TransmitFunc3(quint16 address, quint16 count, quint8 *buffer);
    int TransmitFunc4(quint16 address, quint16 count, quint8 *buffer);
    int TransmitFunc12(quint16 start, quint16 count, quint8 *buffer);
    // Takes the register values from the device image (EncodeFunc16).
    int TransmitFunc16(quint16 address, quint16 count, quint8 *buffer);
    // Firmware blocks; a block longer than 246 bytes (which with its header
    // and CRC would not fit tx_buffer) is refused with 4.
    int TransmitFunc14(quint32 address, const quint8 *data, quint8 length, quint8 *buffer);
    int TransmitFunc15(quint32 address, const quint8 *data, quint8 length, quint8 *buffer);
    int TransmitFunc20(quint32 start, quint32 stop, quint8 *buffer);

    // Whether a read may start at (page, reg): 2, or 4 when the register map
    // of `function` (3 or 4) does not know the register as the start of a
    // read, in which case the request is not sent. Virtual like the maps.
    virtual quint16 CheckReadStart(quint8 function, quint8 page, quint16 reg);

    // Reply dispatcher. `reply` is a whole frame whose CRC has been checked;
    // `address` is the full address word (functions 3, 4), the register
    // number without page (6, 16) or the low 16 bits of the image address
    // (14, 15). `length` is the number of bytes received, CRC included; -1
    // means the caller vouches that the buffer holds the frame as long as it
    // announces itself. Returns 2 good, 1 unknown function, 3/4/8 from the
    // checks and decoders, 64 / 128 for exception codes 2 / 3 (any other
    // exception code counts as a good reply and changes nothing).
    quint16 Parsing_command(quint8 *reply, quint16 address, int length = -1);
    // Reply checks behind the dispatcher.
    quint16 CmdFunc16(const quint8 *reply, quint16 reg);             // echoed register, page ignored
    quint16 CmdFunc14(const quint8 *reply, quint16 address_low);     // echoed image address
    quint16 CmdFunc15(const quint8 *reply, quint16 address_low);
    quint16 CmdFunc12(const quint8 *reply, int length = -1);         // records into archiv_read_mas
    quint16 CmdFunc20(const quint8 *reply, int length = -1);         // archive range
    // Size of one archive record of this model in bytes (0: the model keeps
    // no archive the tool can read).
    int ArchiveRecordSize() const;

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
    // the reply and codec_remaining to its byte count (even, at least 2, and
    // inside the received frame). They store registers
    // starting at (page, reg) into the device image and return 2 (stored),
    // 3 (more input registers than expected), 4 (register outside the map)
    // or 8 (the count runs past the end of a register block).
    // Virtual so that link tests can stand in for the maps.
    virtual quint16 CmdFunc3(quint8 page, quint16 reg);
    virtual quint16 CmdFunc4(quint8 page, quint16 reg);
    // Encoder: the codec has written the function 16 header and set
    // codec_cursor, codec_byte_count_ptr, codec_frame_length and
    // codec_remaining (the register count). Places the values of the
    // registers starting at (page, reg) with CMD_PUT_WORD_OUT_REG and returns
    // 2, or refuses with 3 (register 0x018C of layout p1), 4 (register
    // outside the map) or 8 (count past the end of a block).
    virtual quint16 EncodeFunc16(quint8 page, quint16 reg);

private:
    // How one entry point runs its attempts.
    struct LinkProfile
    {
        enum PreSend { NoPreSend, PreSendOnce, PreSendEveryAttempt };
        int attempts;
        PreSend preSend;
        int preSendWriteWaitMs;
        int preSendReadWaitMs;
        int writeWaitMs;
        int firstByteTimeoutMs;
        int interChunkTimeoutMs;
        bool pauseAfterEveryCrcError; // false: only after the first of the call
    };
    // Sends the request of `frame_length` bytes in tx_buffer (CRC appended
    // here) with the attempts of `profile`. `request_count` is the register
    // count of a function 3/4 request (checked against the reply), else 0.
    quint16 RunTransaction(const LinkProfile &profile, int frame_length,
                           quint16 reply_address, quint16 request_count);
    void SendPreSend(const LinkProfile &profile);
    // Reads one reply, framed by silence, into rx_buffer. Returns its length,
    // 0 when nothing came, or -1 when it would not fit rx_buffer.
    int ReceiveReply(int first_byte_timeout_ms, int inter_chunk_timeout_ms);

public:
    // --- Device image operations: register maps, parameter sets, derived
    // values (register_map.cpp, parameter_sets.cpp). Declarations below.

    // Recomputes discreteness_display and discreteness_base of record
    // `channel` of the layout in use from its display_format.
    void UpdateDiscreteness(int channel);
    // Factor from channel `channel`'s base unit to its displayed unit
    // (displayed value = base value x factor); 1 where the unit coefficients
    // would divide by zero or the layout is unknown.
    float UpdateConversionFactor(int channel);
    // Per-channel factors taken by the archive report when it writes a header.
    double conversion_factor_mas[10] = {1.0};

    // Register counts of the layout p1 parameter-set reads: [row][0] channel
    // settings from 0x0102, [row][1] device input registers from 0x0011.
    static constexpr quint16 count_reg_fw[2][2] = {{55, 7}, {55, 9}};
    // Row of count_reg_fw for the connected model and firmware.
    int count_reg_fw_Protocol_2() const;

    // Sets device_time and utc_offset_s of the layout in use from the PC
    // clock, before the clock registers are written.
    void SetDeviceClockFromPc();

    // Parameter sets of layout p1. mode 1: refresh with clock (inputs_only
    // skips the channel settings); mode 2: live inputs only; other: full read
    // after connecting. Returns 0 when a transaction that must succeed failed,
    // otherwise 1.
    int Read_Param_Protocol_2(int mode, bool inputs_only);
    // Writes what the logged-in account may change; with_adc also writes the
    // ADC values (production account). True on success.
    bool Write_Param_Protocol_2(bool with_adc);
    // Writes channel current_channel's parameter blocks, commits them and
    // reads them back (both layouts). True on success.
    bool Write_Param_one_chan();
    // Sets (on) or clears (off) the FID switch of every channel that has a
    // PID sensor and writes its flags to the detector.
    void Turn_on_FID(bool on);
};
