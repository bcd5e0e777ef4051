#include "modbus_slave.h"

#include "crc16.h"

namespace sim {

namespace {

quint16 word(const QByteArray &f, int at)
{
    return quint16((quint8(f.at(at)) << 8) | quint8(f.at(at + 1)));
}

void putWord(QByteArray &f, quint16 v)
{
    f.append(char(v >> 8));
    f.append(char(v & 0xFF));
}

} // namespace

void ModbusSlave::appendCrc(QByteArray &frame)
{
    const quint16 crc = Crc16Modbus(reinterpret_cast<const quint8 *>(frame.constData()), frame.size());
    frame.append(char(crc & 0xFF));
    frame.append(char(crc >> 8));
}

bool ModbusSlave::crcOk(const QByteArray &frame)
{
    if (frame.size() < 4)
        return false;
    const int n = frame.size() - 2;
    const quint16 crc = Crc16Modbus(reinterpret_cast<const quint8 *>(frame.constData()), n);
    return quint8(frame.at(n)) == (crc & 0xFF) && quint8(frame.at(n + 1)) == (crc >> 8);
}

QByteArray ModbusSlave::exceptionReply(quint8 address, quint8 function, quint8 code)
{
    QByteArray r;
    r.append(char(address));
    r.append(char(function | 0x80));
    r.append(char(code));
    appendCrc(r);
    return r;
}

Outcome ModbusSlave::handle(const QByteArray &frame, qint64 wallMs)
{
    Outcome out;
    if (frame == "ACTIV") {
        out.kind = Outcome::Activ;
        out.reply = frame;
        return out;
    }
    if (frame == "DEACTIV") {
        out.kind = Outcome::Deactiv;
        out.notes << QStringLiteral("DEACTIV: ignored");
        return out;
    }
    if (!crcOk(frame)) {
        out.notes << QStringLiteral("ignored: %1 bytes without a valid CRC%2")
                         .arg(frame.size())
                         .arg(frame.size() == 5 ? QStringLiteral(" (pre-send)") : QString());
        return out;
    }
    const quint8 address = quint8(frame.at(0));
    if (address != m_address && address != 0) {
        out.notes << QStringLiteral("ignored: request for address %1").arg(address);
        return out;
    }
    out = handleRequest(frame, wallMs);
    if (address == 0) {
        // A broadcast acts but is never answered.
        out.kind = Outcome::Unanswered;
        out.reply.clear();
        out.notes << QStringLiteral("broadcast: not answered");
    }
    return out;
}

Outcome ModbusSlave::handleRequest(const QByteArray &frame, qint64 wallMs)
{
    const quint8 function = quint8(frame.at(1));
    Outcome out;
    switch (function) {
    case 3:
        out = readRegisters(frame, RegKind::Holding, wallMs);
        break;
    case 4:
        out = readRegisters(frame, RegKind::Input, wallMs);
        break;
    case 16:
        out = writeRegisters(frame, wallMs);
        break;
    default:
        out.kind = Outcome::Answered;
        out.reply = exceptionReply(m_address, function, kIllegalFunction);
        out.notes << QStringLiteral("function %1 not served: exception 1").arg(function);
        break;
    }
    out.function = function;
    return out;
}

Outcome ModbusSlave::readRegisters(const QByteArray &frame, RegKind kind, qint64 wallMs)
{
    Outcome out;
    const quint8 function = quint8(frame.at(1));
    if (frame.size() != 8) {
        out.notes << QStringLiteral("ignored: function %1 request of %2 bytes").arg(function).arg(frame.size());
        return out;
    }
    const quint16 address = word(frame, 2);
    const quint8 page = quint8(address >> 12);
    const quint16 reg = address & 0x0FFF;
    const int count = word(frame, 4);
    out.kind = Outcome::Answered;

    if (kind == RegKind::Input && !m_detector.answersInput(page, reg)) {
        out.kind = Outcome::Unanswered;
        out.notes << QStringLiteral("input register %1 page %2: no such register, no answer")
                         .arg(reg, 4, 16, QLatin1Char('0')).arg(page, 1, 16);
        return out;
    }
    if (count < 1 || count > 125) {
        out.reply = exceptionReply(m_address, function, kIllegalDataValue);
        out.notes << QStringLiteral("count %1: exception 3").arg(count);
        return out;
    }
    const quint8 exception = m_detector.registers().check(kind, page, reg, count);
    if (exception) {
        out.reply = exceptionReply(m_address, function, exception);
        out.notes << QStringLiteral("%1 %2 page %3 count %4: exception %5")
                         .arg(QChar(char(kind))).arg(reg, 4, 16, QLatin1Char('0'))
                         .arg(page, 1, 16).arg(count).arg(exception);
        return out;
    }
    m_detector.update(wallMs);
    out.reply.append(char(m_address));
    out.reply.append(char(function));
    out.reply.append(char(2 * count));
    for (int i = 0; i < count; ++i)
        putWord(out.reply, m_detector.registers().read(kind, page, quint16(reg + i)));
    appendCrc(out.reply);
    return out;
}

Outcome ModbusSlave::writeRegisters(const QByteArray &frame, qint64 wallMs)
{
    Outcome out;
    if (frame.size() < 9 || frame.size() != 9 + quint8(frame.at(6))) {
        out.notes << QStringLiteral("ignored: function 16 request of %1 bytes").arg(frame.size());
        return out;
    }
    const quint16 address = word(frame, 2);
    const quint8 page = quint8(address >> 12);
    const quint16 reg = address & 0x0FFF;
    const int count = word(frame, 4);
    const int bytes = quint8(frame.at(6));
    out.kind = Outcome::Answered;
    if (count < 1 || count > 123 || bytes != 2 * count) {
        out.reply = exceptionReply(m_address, 16, kIllegalDataValue);
        out.notes << QStringLiteral("count %1 with %2 bytes: exception 3").arg(count).arg(bytes);
        return out;
    }
    const auto refused = m_refused.constFind(key(page, reg));
    if (refused != m_refused.constEnd()) {
        out.reply = exceptionReply(m_address, 16, refused.value());
        out.notes << QStringLiteral("H %1 page %2 count %3: write refused, exception %4")
                         .arg(reg, 4, 16, QLatin1Char('0')).arg(page, 1, 16).arg(count).arg(refused.value());
        return out;
    }
    const quint8 exception = m_detector.registers().check(RegKind::Holding, page, reg, count);
    if (exception) {
        out.reply = exceptionReply(m_address, 16, exception);
        out.notes << QStringLiteral("H %1 page %2 count %3: exception %4")
                         .arg(reg, 4, 16, QLatin1Char('0')).arg(page, 1, 16).arg(count).arg(exception);
        return out;
    }
    m_detector.update(wallMs);
    QVector<quint16> values;
    values.reserve(count);
    for (int i = 0; i < count; ++i) {
        const quint16 v = word(frame, 7 + 2 * i);
        values.append(v);
        m_detector.registers().write(page, quint16(reg + i), v);
    }
    const WriteEffect effect = m_detector.afterWrite(page, reg, values, wallMs);
    out.notes << effect.notes;
    out.switchOff = effect.switchOff;
    // The reply echoes the whole address word, page included, and the count.
    out.reply = frame.left(6);
    appendCrc(out.reply);
    return out;
}

} // namespace sim
