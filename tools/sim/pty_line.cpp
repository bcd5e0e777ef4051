#include "pty_line.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

qint64 monotonicUs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

void sleepUs(qint64 us)
{
    if (us <= 0)
        return;
    timespec ts{time_t(us / 1000000), long((us % 1000000) * 1000)};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

PtyLine::~PtyLine()
{
    hangUp();
}

bool PtyLine::open(QString *error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        *error = QStringLiteral("cannot open a pseudo-terminal: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        hangUp();
        return false;
    }
    const char *name = ptsname(m_master);
    if (!name) {
        *error = QStringLiteral("no name for the pseudo-terminal");
        hangUp();
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0) {
        *error = QStringLiteral("cannot open %1: %2").arg(m_slavePath, QString::fromLocal8Bit(strerror(errno)));
        hangUp();
        return false;
    }
    // Raw 8N1: no echo, no line editing, no translation of CR/LF, so every
    // byte of a frame passes unchanged in both directions.
    termios tio;
    if (tcgetattr(m_slave, &tio) == 0) {
        cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        cfsetispeed(&tio, B115200);
        cfsetospeed(&tio, B115200);
        tcsetattr(m_slave, TCSANOW, &tio);
    }
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    return true;
}

QByteArray PtyLine::readAvailable()
{
    QByteArray out;
    char buf[512];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n > 0) {
            out.append(buf, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    return out;
}

bool PtyLine::write(const QByteArray &bytes, int baud)
{
    const qint64 start = monotonicUs();
    const qint64 deadline = start + 1000000;
    int sent = 0;
    while (sent < bytes.size()) {
        int chunk = bytes.size() - sent;
        if (baud > 0) {
            // Bytes whose last bit has left the wire by now.
            const qint64 due = (monotonicUs() - start) * baud / 10 / 1000000 + 1;
            chunk = int(qMin<qint64>(chunk, qMax<qint64>(0, due - sent)));
            if (chunk == 0) {
                const qint64 next = start + qint64(sent + 1) * 10 * 1000000 / baud;
                sleepUs(next - monotonicUs());
                continue;
            }
        }
        const ssize_t n = ::write(m_master, bytes.constData() + sent, size_t(chunk));
        if (n > 0) {
            sent += int(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            if (monotonicUs() > deadline)
                return false;
            pollfd p{m_master, POLLOUT, 0};
            poll(&p, 1, 10);
            continue;
        }
        return false;
    }
    if (baud > 0) {
        // The last byte is on the wire only after its ten bits.
        sleepUs(start + qint64(bytes.size()) * 10 * 1000000 / baud - monotonicUs());
    }
    return true;
}

void PtyLine::hangUp()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

} // namespace sim
