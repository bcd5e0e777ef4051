// Modbus RTU on the detector's side: takes one frame received on the line,
// decides what it is (the "ACTIV"/"DEACTIV" wake-up words, a request for this
// detector, a broken frame such as the 5-byte pre-send) and builds the reply.
//
// Functions 3 (holding registers), 4 (input registers) and 16 (write
// registers) are answered from the register file; any other function gets
// exception 1. The archive (12, 20) and firmware (14, 15) functions plug in as
// further cases of handleRequest().
#pragma once

#include "detector.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>

namespace sim {

struct Outcome
{
    enum Kind {
        Ignored,     // not for this detector, or not a valid frame: no answer
        Activ,       // the wake-up word: echoed
        Deactiv,     // the sleep word: no answer
        Answered,    // a request with a reply (possibly an exception)
        Unanswered,  // a request this detector stays silent on
    };
    Kind kind = Ignored;
    QByteArray reply;
    QStringList notes;
    bool switchOff = false;
    quint8 function = 0;
};

class ModbusSlave
{
public:
    ModbusSlave(Detector &detector, quint8 address) : m_detector(detector), m_address(address) {}

    Outcome handle(const QByteArray &frame, qint64 wallMs);

    // A function 16 write starting at (page, reg) is refused with this
    // exception code and changes nothing: a detector that cannot store a
    // block, for tests of a save that fails half-way. Page 0xA is the device.
    void refuseWrite(quint8 page, quint16 reg, quint8 code) { m_refused.insert(key(page, reg), code); }

    // An exception reply for a function: address, function | 0x80, code, CRC.
    static QByteArray exceptionReply(quint8 address, quint8 function, quint8 code);
    // Appends the CRC, low byte first.
    static void appendCrc(QByteArray &frame);
    static bool crcOk(const QByteArray &frame);

private:
    Outcome handleRequest(const QByteArray &frame, qint64 wallMs);
    Outcome readRegisters(const QByteArray &frame, RegKind kind, qint64 wallMs);
    Outcome writeRegisters(const QByteArray &frame, qint64 wallMs);

    static quint32 key(quint8 page, quint16 reg) { return (quint32(page) << 16) | reg; }

    Detector &m_detector;
    quint8 m_address;
    QHash<quint32, quint8> m_refused;  // (page, register) -> exception code
};

} // namespace sim
