#include "wire_requests.h"

QString WireRequest::toString() const
{
    return QStringLiteral("T(%1, %2, %3, %4)")
        .arg(function)
        .arg(page, 0, 16)
        .arg(reg, 4, 16, QLatin1Char('0'))
        .arg(count)
        .toUpper();
}

WireRequest T(int function, int page, int reg, int count)
{
    WireRequest r;
    r.function = function;
    r.page = page & 0x0F;
    r.reg = reg;
    r.count = count;
    return r;
}

namespace {

bool requestOf(const QByteArray &frame, WireRequest &r)
{
    if (frame.size() < 8 || !SimLine::crcOk(frame))
        return false;
    const auto byte = [&frame](int i) { return int(quint8(frame.at(i))); };
    r.function = byte(1);
    const int address = byte(2) << 8 | byte(3);
    r.page = address >> 12;
    r.reg = address & 0x0FFF;
    r.count = byte(4) << 8 | byte(5);
    return true;
}

} // namespace

QVector<WireRequest> wireRequests(const QVector<SimLogEntry> &log)
{
    QVector<WireRequest> out;
    QByteArray last;          // bytes of the last request
    bool lastAnswered = true; // whether it got a reply
    for (const SimLogEntry &e : log) {
        if (e.kind == QLatin1String("TX")) {
            if (!out.isEmpty() && !lastAnswered) {
                lastAnswered = true;
                out.last().answered = true;
                out.last().end = e.time;
                out.last().replyBytes = e.bytes.size();
            }
            continue;
        }
        if (e.kind != QLatin1String("RX"))
            continue;
        WireRequest r;
        if (!requestOf(e.bytes, r))
            continue;
        if (!out.isEmpty() && !lastAnswered && e.bytes == last) {
            ++out.last().attempts;
            out.last().end = e.time;
            continue;
        }
        r.time = r.end = e.time;
        r.requestBytes = e.bytes.size();
        out.append(r);
        last = e.bytes;
        lastAnswered = false;
    }
    return out;
}

int activCount(const QVector<SimLogEntry> &log)
{
    int n = 0;
    for (const SimLogEntry &e : log)
        n += e.kind == QLatin1String("RX") && e.bytes == "ACTIV";
    return n;
}

bool sawDeactiv(const QVector<SimLogEntry> &log)
{
    for (const SimLogEntry &e : log)
        if (e.kind == QLatin1String("RX") && e.bytes.contains("DEACTIV"))
            return true;
    return false;
}

QStringList toStrings(const QVector<WireRequest> &requests)
{
    QStringList out;
    for (const WireRequest &r : requests)
        out << r.toString();
    return out;
}

int indexOf(const QVector<WireRequest> &requests, const WireRequest &r, int from)
{
    for (int i = qMax(0, from); i < requests.size(); ++i)
        if (requests.at(i) == r)
            return i;
    return -1;
}
