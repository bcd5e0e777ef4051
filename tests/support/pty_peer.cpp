#include "pty_peer.h"

#include "crc16.h"

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void sleepUntilNs(qint64 ns)
{
    const qint64 now = steadyNs();
    if (ns > now)
        std::this_thread::sleep_for(std::chrono::nanoseconds(ns - now));
}

} // namespace

PtyPeer::PtyPeer(int frameGapMs) : frameGapMs_(frameGapMs), epochNs_(steadyNs())
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0)
        return;
    char name[128];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
        ::close(master_);
        master_ = -1;
        return;
    }
    slavePath_ = QString::fromLocal8Bit(name);
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0)
        return;
    // A raw line: no echo, no line editing, no character translation, until
    // the program configures it itself.
    termios tio{};
    tcgetattr(slave_, &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    tcsetattr(slave_, TCSANOW, &tio);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PtyPeer::~PtyPeer()
{
    stop();
    if (slave_ >= 0) {
        tcflow(slave_, TCOON);
        ::close(slave_);
    }
    if (master_ >= 0)
        ::close(master_);
}

void PtyPeer::setResponder(Responder responder)
{
    std::lock_guard<std::mutex> lock(mutex_);
    responder_ = std::move(responder);
}

void PtyPeer::start()
{
    if (running_ || !isOpen())
        return;
    running_ = true;
    thread_ = std::thread([this] { run(); });
}

void PtyPeer::stop()
{
    running_ = false;
    if (thread_.joinable())
        thread_.join();
}

QVector<PtyPeer::Frame> PtyPeer::frames() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return frames_;
}

void PtyPeer::clearFrames()
{
    std::lock_guard<std::mutex> lock(mutex_);
    frames_.clear();
}

bool PtyPeer::waitForFrames(int count, int timeoutMs) const
{
    const qint64 deadline = steadyNs() + qint64(timeoutMs) * 1000000;
    while (true) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (frames_.size() >= count)
                return true;
        }
        if (steadyNs() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

qint64 PtyPeer::nowUs() const { return (steadyNs() - epochNs_) / 1000; }

bool PtyPeer::setSlaveOutputStopped(bool stopped)
{
    return slave_ >= 0 && tcflow(slave_, stopped ? TCOOFF : TCOON) == 0;
}

QByteArray PtyPeer::withCrc(const QByteArray &frame)
{
    QByteArray out = frame + QByteArray(2, '\0');
    CreateCRC(reinterpret_cast<quint8 *>(out.data()), frame.size());
    return out;
}

void PtyPeer::run()
{
    Frame current;
    while (running_) {
        pollfd pfd{master_, POLLIN, 0};
        // While a frame is open, a silence of frameGapMs ends it; otherwise
        // wake up now and then to notice stop().
        const int timeout = current.bytes.isEmpty() ? 10 : frameGapMs_;
        const int ready = ::poll(&pfd, 1, timeout);
        if (ready > 0 && (pfd.revents & POLLIN)) {
            char buffer[4096];
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) {
                const qint64 now = nowUs();
                if (current.bytes.isEmpty())
                    current.firstByteUs = now;
                current.lastByteUs = now;
                current.bytes.append(buffer, int(n));
            }
            continue;
        }
        if (ready > 0) {
            // Hang-up or error without data (cannot happen while slave_ is
            // open); avoid spinning.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (ready == 0 && !current.bytes.isEmpty()) {
            Responder responder;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                frames_.append(current);
                responder = responder_;
            }
            const QByteArray request = current.bytes;
            current = Frame();
            if (responder)
                sendReply(responder(request));
        }
    }
}

void PtyPeer::sendReply(const Reply &reply)
{
    for (const Chunk &chunk : reply) {
        if (!running_)
            return;
        if (chunk.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(chunk.delayMs));
        writePaced(chunk.bytes);
    }
}

void PtyPeer::writePaced(const QByteArray &bytes)
{
    const int baud = baud_;
    const qint64 start = steadyNs();
    const double byteNs = baud > 0 ? 10.0e9 / baud : 0.0;
    int sent = 0;
    while (sent < bytes.size() && running_) {
        int due = bytes.size();
        if (baud > 0) {
            // A byte is handed over once its ten bits have been on the line.
            due = qMin(bytes.size(), int((steadyNs() - start) / byteNs));
            if (due <= sent) {
                sleepUntilNs(start + qint64((sent + 1) * byteNs));
                continue;
            }
        }
        const ssize_t n = ::write(master_, bytes.constData() + sent, size_t(due - sent));
        if (n > 0) {
            sent += int(n);
        } else {
            pollfd pfd{master_, POLLOUT, 0};
            ::poll(&pfd, 1, 5);
        }
    }
}

bool PtyPeer::hasGoodCrc(const QByteArray &frame)
{
    if (frame.size() < 4)
        return false;
    const auto *data = reinterpret_cast<const quint8 *>(frame.constData());
    const int n = frame.size();
    return CreateCRC_out(data, n - 2) == quint16(data[n - 2] * 256 + data[n - 1]);
}
