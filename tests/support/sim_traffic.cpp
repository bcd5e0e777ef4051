#include "sim_traffic.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

namespace {

quint16 word(const QByteArray &b, int at)
{
    return quint16((quint8(b.at(at)) << 8) | quint8(b.at(at + 1)));
}

// A request this detector would take: a read of 8 bytes or a write whose
// byte count matches, with a good CRC.
bool parseRequest(const QByteArray &b, SimRequest *r)
{
    if (b.size() < 8 || !SimLine::crcOk(b))
        return false;
    const int function = quint8(b.at(1));
    if ((function == 3 || function == 4) && b.size() != 8)
        return false;
    if (function == 16 && (b.size() < 9 || b.size() != 9 + quint8(b.at(6))))
        return false;
    if (function != 3 && function != 4 && function != 16)
        return false;
    r->function = function;
    r->page = word(b, 2) >> 12;
    r->reg = word(b, 2) & 0x0FFF;
    r->count = word(b, 4);
    r->values.clear();
    if (function == 16) {
        for (int i = 0; 7 + 2 * i + 1 < b.size() - 2; ++i)
            r->values.append(word(b, 7 + 2 * i));
    }
    return true;
}

} // namespace

QString SimRequest::toString() const
{
    const QString where = QStringLiteral("%1, %2, %3")
                              .arg(page, 0, 16)
                              .arg(reg, 4, 16, QLatin1Char('0'))
                              .arg(count)
                              .toUpper();
    return function == 16 ? QStringLiteral("W(%1)").arg(where)
                          : QStringLiteral("R%1(%2)").arg(function).arg(where);
}

QVector<SimRequest> simRequests(const QVector<SimLogEntry> &log, int from)
{
    QVector<SimRequest> result;
    QByteArray lastFrame;
    for (int i = qMax(0, from); i < log.size(); ++i) {
        const SimLogEntry &e = log.at(i);
        if (e.kind == QLatin1String("RX")) {
            SimRequest r;
            if (!parseRequest(e.bytes, &r))
                continue;
            SimRequest *previous = result.isEmpty() ? nullptr : &result.last();
            if (previous && !previous->answered && e.bytes == lastFrame) {
                ++previous->attempts;
                previous->exception = 0;
                continue;
            }
            r.firstEntry = i;
            result.append(r);
            lastFrame = e.bytes;
        } else if (e.kind == QLatin1String("TX") && !result.isEmpty() && e.bytes.size() >= 5) {
            SimRequest &r = result.last();
            const int function = quint8(e.bytes.at(1));
            if (function == (r.function | 0x80)) {
                r.answered = false;
                r.exception = quint8(e.bytes.at(2));
            } else {
                r.answered = function == r.function && SimLine::crcOk(e.bytes);
            }
        }
    }
    return result;
}

QVector<SimRequest> writesOf(const QVector<SimRequest> &requests)
{
    QVector<SimRequest> writes;
    for (const SimRequest &r : requests) {
        if (r.isWrite())
            writes.append(r);
    }
    return writes;
}

QStringList describe(const QVector<SimRequest> &requests)
{
    QStringList list;
    for (const SimRequest &r : requests)
        list << r.toString();
    return list;
}

QStringList simWritesPerChannel(int channels, const QStringList &blocks)
{
    QStringList writes;
    for (int k = 0; k < channels; ++k) {
        for (const QString &b : blocks)
            writes << QStringLiteral("W(%1, %2)").arg(k).arg(b);
    }
    return writes;
}

QStringList simDeviceWrites(const QStringList &blocks)
{
    QStringList writes;
    for (const QString &b : blocks)
        writes << QStringLiteral("W(A, %1)").arg(b);
    return writes;
}

QHash<quint32, quint16> simHoldingRegisters(const QString &dumpPath)
{
    QHash<quint32, quint16> registers;
    QFile file(dumpPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return registers;
    while (!file.atEnd()) {
        const QList<QByteArray> f = file.readLine().trimmed().split(' ');
        if (f.size() != 4 || f.at(0) != "H")
            continue;
        bool okPage = false, okReg = false, okValue = false;
        const int page = f.at(1).toInt(&okPage, 16);
        const int reg = f.at(2).toInt(&okReg, 16);
        const uint value = f.at(3).toUInt(&okValue, 16);
        if (okPage && okReg && okValue)
            registers.insert(simRegisterKey(page, reg), quint16(value));
    }
    return registers;
}

QStringList simNotes(const QVector<SimLogEntry> &log, int from)
{
    QStringList notes;
    for (int i = qMax(0, from); i < log.size(); ++i) {
        if (log.at(i).kind == QLatin1String("--"))
            notes << log.at(i).note;
    }
    return notes;
}

SimControl::SimControl(const SimProcess &sim)
    : m_sim(sim), m_path(QFileInfo(sim.logPath()).absolutePath() + QStringLiteral("/control"))
{
}

bool SimControl::send(const QString &command, int timeoutMs)
{
    m_answer.clear();
    const int before = m_sim.log().size();
    const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const QByteArray line = command.toUtf8() + '\n';
    const bool written = ::write(fd, line.constData(), size_t(line.size())) == line.size();
    ::close(fd);
    if (!written)
        return false;
    const QString prefix = QStringLiteral("control: %1: ").arg(command);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        for (const QString &note : simNotes(m_sim.log(), before)) {
            if (note.startsWith(prefix)) {
                m_answer = note.mid(prefix.size());
                return !m_answer.startsWith(QLatin1String("refused"));
            }
        }
        QThread::msleep(10);
    }
    return false;
}
