// Transactions per second of register reads through the transaction engine,
// against a scripted detector on a pseudo-terminal that answers 1 ms after a
// request and paces its reply bytes at 115200 baud (10 bits per byte). Each
// figure is printed beside the wire-time lower bound for the same bytes:
// the time the request, the reply and (where sent) the 5-byte pre-send take
// on a 115200 baud line.
#include "command.h"
#include "pty_peer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QSysInfo>
#include <QTextStream>
#include <cstdio>

namespace {

constexpr int kBaud = 115200;

struct Case
{
    const char *name;
    quint16 deviceCode; // 404 gets no pre-send
    quint8 page;
    quint16 reg;
    quint16 count;
};

QByteArray readReply(const QByteArray &request)
{
    const int count = quint8(request[4]) * 256 + quint8(request[5]);
    QByteArray reply = request.left(2);
    reply += char(2 * count);
    for (int i = 0; i < count; ++i) {
        reply += char(0x00);
        reply += char(i + 1);
    }
    return PtyPeer::withCrc(reply);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int transactions = argc > 1 ? qMax(1, atoi(argv[1])) : 200;
    QTextStream out(stdout);

    // The peer frames requests by 1 ms of silence and answers at once, so
    // its reply starts about 1 ms after the request.
    PtyPeer peer(1);
    if (!peer.isOpen()) {
        std::fprintf(stderr, "no pseudo-terminal\n");
        return 1;
    }
    peer.setBaudRate(kBaud);
    peer.setResponder([](const QByteArray &frame) {
        if (!PtyPeer::hasGoodCrc(frame))
            return PtyPeer::Reply(); // the pre-send
        return PtyPeer::answer(readReply(frame), 0);
    });
    peer.start();

    Command cmd;
    cmd.protocol_version = 1;
    cmd.port.setPortName(peer.slavePath());
    if (!cmd.port.open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(peer.slavePath()));
        return 1;
    }
    cmd.port.setBaudRate(kBaud);
    cmd.port.setDataBits(QSerialPort::Data8);
    cmd.port.setParity(QSerialPort::NoParity);
    cmd.port.setStopBits(QSerialPort::OneStop);
    cmd.port.setFlowControl(QSerialPort::NoFlowControl);
    cmd.port_connected = 1;

    // Layout p1: the buzzer register of the device page, and 60 registers of
    // a channel's compensation tables.
    const Case cases[] = {
        {"1 register, pre-send (405)", 405, 170, 0x0200, 1},
        {"60 registers, pre-send (405)", 405, 0, 0x0150, 60},
        {"1 register, no pre-send (404)", 404, 170, 0x0200, 1},
        {"60 registers, no pre-send (404)", 404, 0, 0x0150, 60},
    };

    out << "ivra-link-bench: " << transactions << " transactions per case, peer paced at " << kBaud
        << " baud, reply 1 ms after the request\n";
    out << QDateTime::currentDateTime().toString(Qt::ISODate) << ", " << QSysInfo::prettyProductName() << ", "
        << QSysInfo::currentCpuArchitecture() << "\n\n";
    out << QString("%1 %2 %3 %4 %5 %6\n")
               .arg("case", -34)
               .arg("bytes", 6)
               .arg("tx/s", 8)
               .arg("bound tx/s", 11)
               .arg("ratio", 7)
               .arg("ms/tx", 7);
    out.flush();

    int status = 0;
    for (const Case &c : cases) {
        cmd.device_code = c.deviceCode;
        const int preSend = c.deviceCode == 404 ? 0 : 5;
        const int bytes = preSend + (6 + 2) + (3 + 2 * c.count + 2);
        const double boundPerSecond = kBaud / 10.0 / bytes;

        peer.clearFrames();
        QElapsedTimer timer;
        timer.start();
        int failed = 0;
        for (int i = 0; i < transactions; ++i)
            if (cmd.Transmit_command(3, c.page, c.reg, c.count) != 2)
                ++failed;
        const double seconds = timer.nsecsElapsed() / 1e9;
        const double perSecond = transactions / seconds;
        out << QString("%1 %2 %3 %4 %5 %6\n")
                   .arg(c.name, -34)
                   .arg(bytes, 6)
                   .arg(perSecond, 8, 'f', 1)
                   .arg(boundPerSecond, 11, 'f', 1)
                   .arg(perSecond / boundPerSecond, 7, 'f', 3)
                   .arg(1000.0 * seconds / transactions, 7, 'f', 2);
        if (failed) {
            out << "  " << failed << " transactions failed\n";
            status = 1;
        }
        out.flush();
    }
    return status;
}
