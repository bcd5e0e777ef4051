#include "sim_process.h"

#include "crc16.h"
#include "testpaths.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

// --- SimRegisterDump ------------------------------------------------------

bool SimRegisterDump::load(const QString &path)
{
    m_values.clear();
    m_counters.clear();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (const QByteArray &raw : lines) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty())
            continue;
        const QList<QByteArray> parts = line.split(' ');
        if (line.startsWith('#')) {
            // "# name value name value ..." pairs after the marker; the first
            // line is "# ivra-detector-sim dump N".
            for (int i = 1; i + 1 < parts.size(); ++i) {
                bool ok = false;
                const int v = parts.at(i + 1).toInt(&ok);
                if (ok)
                    m_counters.insert(QString::fromLatin1(parts.at(i)), v);
            }
            continue;
        }
        if (parts.size() != 4)
            continue;
        bool okp = false, okr = false, okv = false;
        const int page = parts.at(1).toInt(&okp, 16);
        const int reg = parts.at(2).toInt(&okr, 16);
        const int value = parts.at(3).toInt(&okv, 16);
        if (okp && okr && okv)
            m_values.insert((quint32(quint8(parts.at(0).at(0))) << 16) | quint32(page << 12) | quint32(reg),
                            quint16(value));
    }
    return !m_values.isEmpty();
}

std::optional<quint16> SimRegisterDump::value(char kind, int page, int reg) const
{
    auto it = m_values.constFind((quint32(quint8(kind)) << 16) | quint32((page & 0xF) << 12) | quint32(reg & 0xFFF));
    if (it == m_values.constEnd())
        return std::nullopt;
    return it.value();
}

// --- SimProcess -----------------------------------------------------------

SimProcess::SimProcess() = default;

SimProcess::~SimProcess()
{
    if (isRunning()) {
        stop(3000);
        if (isRunning()) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
}

QString SimProcess::program()
{
    return ivraBinDir() + QStringLiteral("/ivra-detector-sim");
}

QString SimProcess::logPath() const
{
    return m_dir.filePath(QStringLiteral("sim.log"));
}

QString SimProcess::dumpPath() const
{
    return m_dir.filePath(QStringLiteral("sim.dump"));
}

bool SimProcess::start(const QStringList &options, int timeoutMs)
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return false;
    }
    QStringList args = options;
    args << QStringLiteral("--log") << logPath() << QStringLiteral("--dump") << dumpPath();
    m_process.setProgram(program());
    m_process.setArguments(args);
    m_process.setReadChannel(QProcess::StandardOutput);
    m_process.start();
    if (!m_process.waitForStarted(timeoutMs)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(program(), m_process.errorString());
        return false;
    }
    QElapsedTimer t;
    t.start();
    while (!m_process.canReadLine()) {
        if (m_process.state() != QProcess::Running || t.elapsed() > timeoutMs) {
            m_error = QStringLiteral("the simulator gave no port: %1")
                          .arg(QString::fromLocal8Bit(m_process.readAllStandardError()));
            return false;
        }
        m_process.waitForReadyRead(50);
    }
    m_portPath = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return !m_portPath.isEmpty();
}

bool SimProcess::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

bool SimProcess::signal(int sig)
{
    const qint64 pid = m_process.processId();
    return pid > 0 && ::kill(pid_t(pid), sig) == 0;
}

bool SimProcess::stop(int timeoutMs)
{
    if (!isRunning())
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    signal(SIGTERM);
    return waitForExit(timeoutMs);
}

bool SimProcess::waitForExit(int timeoutMs)
{
    if (isRunning() && !m_process.waitForFinished(timeoutMs)) {
        m_error = QStringLiteral("the simulator did not end");
        return false;
    }
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
}

bool SimProcess::requestDump(int timeoutMs)
{
    const int before = dump().counter(QStringLiteral("dump"));
    if (!signal(SIGUSR1))
        return false;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        if (dump().counter(QStringLiteral("dump")) > before)
            return true;
        QThread::msleep(5);
    }
    m_error = QStringLiteral("no dump within %1 ms").arg(timeoutMs);
    return false;
}

SimRegisterDump SimProcess::dump() const
{
    SimRegisterDump d;
    d.load(dumpPath());
    return d;
}

QVector<SimLogEntry> SimProcess::log() const
{
    QVector<SimLogEntry> out;
    QFile f(logPath());
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    for (const QByteArray &raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        const int s1 = line.indexOf(' ');
        const int s2 = line.indexOf(' ', s1 + 1);
        if (s1 < 0 || s2 < 0)
            continue;
        SimLogEntry e;
        e.time = QDateTime::fromString(line.left(s1), Qt::ISODateWithMs);
        e.kind = line.mid(s1 + 1, s2 - s1 - 1);
        const QString rest = line.mid(s2 + 1);
        if (e.kind == QLatin1String("--"))
            e.note = rest;
        else
            e.bytes = QByteArray::fromHex(rest.toLatin1());
        out.append(e);
    }
    return out;
}

void SimProcess::toggleExposure()
{
    signal(SIGUSR2);
}

// --- SimLine --------------------------------------------------------------

SimLine::~SimLine()
{
    close();
}

bool SimLine::open(const QString &path)
{
    close();
    m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_fd < 0)
        return false;
    termios tio;
    if (tcgetattr(m_fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(m_fd, TCSANOW, &tio);
    }
    tcflush(m_fd, TCIOFLUSH);
    return true;
}

void SimLine::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool SimLine::send(const QByteArray &bytes)
{
    int sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + sent, size_t(bytes.size() - sent));
        if (n > 0)
            sent += int(n);
        else if (n < 0 && (errno == EINTR || errno == EAGAIN))
            QThread::usleep(200);
        else
            return false;
    }
    return true;
}

QByteArray SimLine::receive(int firstByteTimeoutMs, int gapMs)
{
    QByteArray out;
    QElapsedTimer t;
    t.start();
    qint64 last = 0;
    for (;;) {
        const qint64 now = t.elapsed();
        const qint64 left = out.isEmpty() ? firstByteTimeoutMs - now : last + gapMs - now;
        if (left <= 0)
            break;
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, int(left)) <= 0)
            continue;
        if (p.revents & (POLLHUP | POLLERR) && !(p.revents & POLLIN))
            break;
        char buf[512];
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n > 0) {
            out.append(buf, int(n));
            last = t.elapsed();
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            break;
        }
    }
    return out;
}

QByteArray SimLine::transact(const QByteArray &request, int firstByteTimeoutMs, int gapMs)
{
    if (!send(request))
        return {};
    return receive(firstByteTimeoutMs, gapMs);
}

bool SimLine::hungUp(int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, 20) > 0) {
            if (p.revents & (POLLHUP | POLLERR))
                return true;
            char buf[64];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n == 0 || (n < 0 && errno == EIO))
                return true;
        }
    }
    return false;
}

QByteArray SimLine::withCrc(QByteArray frame)
{
    const quint16 crc = Crc16Modbus(reinterpret_cast<const quint8 *>(frame.constData()), frame.size());
    frame.append(char(crc & 0xFF));
    frame.append(char(crc >> 8));
    return frame;
}

bool SimLine::crcOk(const QByteArray &frame)
{
    return frame.size() >= 4 && withCrc(frame.left(frame.size() - 2)) == frame;
}

QByteArray SimLine::readRequest(quint8 address, quint8 function, int page, int reg, int count)
{
    const quint16 word = quint16(((page & 0xF) << 12) | (reg & 0x0FFF));
    QByteArray f;
    f.append(char(address));
    f.append(char(function));
    f.append(char(word >> 8));
    f.append(char(word & 0xFF));
    f.append(char(count >> 8));
    f.append(char(count & 0xFF));
    return withCrc(f);
}

QByteArray SimLine::writeRequest(quint8 address, int page, int reg, const QVector<quint16> &values)
{
    const quint16 word = quint16(((page & 0xF) << 12) | (reg & 0x0FFF));
    QByteArray f;
    f.append(char(address));
    f.append(char(16));
    f.append(char(word >> 8));
    f.append(char(word & 0xFF));
    f.append(char(values.size() >> 8));
    f.append(char(values.size() & 0xFF));
    f.append(char(2 * values.size()));
    for (quint16 v : values) {
        f.append(char(v >> 8));
        f.append(char(v & 0xFF));
    }
    return withCrc(f);
}

QVector<quint16> SimLine::replyWords(const QByteArray &reply)
{
    QVector<quint16> out;
    if (reply.size() < 5 || !crcOk(reply) || (reply.at(1) != 3 && reply.at(1) != 4))
        return out;
    const int bytes = quint8(reply.at(2));
    if (bytes % 2 || reply.size() != 5 + bytes)
        return out;
    for (int i = 0; i < bytes; i += 2)
        out.append(quint16((quint8(reply.at(3 + i)) << 8) | quint8(reply.at(4 + i))));
    return out;
}
