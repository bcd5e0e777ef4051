// The transaction engine against a scripted detector on a pseudo-terminal:
// what goes over the wire, attempts, pre-sends, timeouts and result bits.
#include "archive_buffers.h"
#include "link_test_command.h"
#include "pty_peer.h"

#include <QElapsedTimer>
#include <QtTest>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

const QByteArray kNoReply;

// A good reply to a register read: the requested number of registers, each
// holding 0x0100 + its index.
QByteArray readReply(const QByteArray &request)
{
    const int count = quint8(request[4]) * 256 + quint8(request[5]);
    QByteArray reply = request.left(2);
    reply += char(2 * count);
    for (int i = 0; i < count; ++i) {
        reply += char(0x01);
        reply += char(i);
    }
    return PtyPeer::withCrc(reply);
}

QByteArray exceptionReply(const QByteArray &request, int code)
{
    QByteArray reply = request.left(2);
    reply[1] = char(reply[1] | 0x80);
    reply += char(code);
    return PtyPeer::withCrc(reply);
}

// Frames the peer saw that are whole requests (not pre-sends).
QVector<QByteArray> requests(const PtyPeer &peer)
{
    QVector<QByteArray> out;
    for (const auto &frame : peer.frames())
        if (PtyPeer::hasGoodCrc(frame.bytes))
            out.append(frame.bytes);
    return out;
}

void settle() { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }

} // namespace

class tst_transport : public QObject
{
    Q_OBJECT

    PtyPeer *peer = nullptr;
    LinkTestCommand *cmd = nullptr;

public:

private:
    // The peer answers every whole request with what `answer` makes of it.
    void respond(std::function<QByteArray(const QByteArray &)> answer, int delayMs = 1)
    {
        peer->setResponder([answer, delayMs](const QByteArray &frame) {
            if (!PtyPeer::hasGoodCrc(frame))
                return PtyPeer::Reply();
            const QByteArray reply = answer(frame);
            return reply.isEmpty() ? PtyPeer::Reply() : PtyPeer::answer(reply, delayMs);
        });
    }

private slots:
    void init()
    {
        peer = new PtyPeer;
        QVERIFY(peer->isOpen());
        peer->start();
        cmd = new LinkTestCommand;
        QVERIFY(connectToPeer(*cmd));
    }

    bool connectToPeer(Command &c)
    {
        c.device_code = 405;
        c.port.setPortName(peer->slavePath());
        if (!c.port.open(QIODevice::ReadWrite)) {
            qWarning() << c.port.errorString();
            return false;
        }
        c.port.setBaudRate(115200);
        c.port.setDataBits(QSerialPort::Data8);
        c.port.setParity(QSerialPort::NoParity);
        c.port.setStopBits(QSerialPort::OneStop);
        c.port.setFlowControl(QSerialPort::NoFlowControl);
        c.port_connected = 1;
        return true;
    }

    void cleanup()
    {
        delete cmd;
        cmd = nullptr;
        delete peer;
        peer = nullptr;
    }

    void offlineDoesNoIo_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("read holding") << 3;
        QTest::newRow("read input") << 4;
        QTest::newRow("write") << 16;
    }

    void offlineDoesNoIo()
    {
        QFETCH(int, kind);
        respond(readReply);
        cmd->port_connected = 0;
        QCOMPARE(cmd->Transmit_command(quint8(kind), 0, 0x0103, 1), quint16(2));
        QCOMPARE(cmd->Transmit_command_log(12, 170, 0, 5), quint16(2));
        QCOMPARE(cmd->Transmit_filter_log(20, 0, 100), quint16(2));
        const quint8 block[4] = {1, 2, 3, 4};
        QCOMPARE(cmd->Transmit_Firmware(14, 0x08000000, block, 4), quint16(2));
        settle();
        QVERIFY(peer->frames().isEmpty());
        QVERIFY(cmd->decode_calls.isEmpty());
    }

    void countZeroSendsNothing()
    {
        respond(readReply);
        QCOMPARE(cmd->Transmit_command(3, 0, 0x0103, 0), quint16(2));
        QCOMPARE(cmd->Transmit_command(16, 0, 0x0103, 0), quint16(2));
        settle();
        QVERIFY(peer->frames().isEmpty());
        QVERIFY(cmd->encode_calls.isEmpty());
    }

    void kindNotSent_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("kind");
        QTest::newRow("command 6") << "command" << 6;
        QTest::newRow("command 12") << "command" << 12;
        QTest::newRow("log 3") << "log" << 3;
        QTest::newRow("filter 12") << "filter" << 12;
        QTest::newRow("firmware 16") << "firmware" << 16;
    }

    void kindNotSent()
    {
        QFETCH(QString, entry);
        QFETCH(int, kind);
        respond(readReply);
        const quint8 block[2] = {1, 2};
        auto call = [&] {
            if (entry == "command")
                return cmd->Transmit_command(quint8(kind), 0, 0x0103, 1);
            if (entry == "log")
                return cmd->Transmit_command_log(quint8(kind), 170, 0, 1);
            if (entry == "filter")
                return cmd->Transmit_filter_log(quint8(kind), 0, 1);
            return cmd->Transmit_Firmware(quint8(kind), 0, block, 2);
        };
        QCOMPARE(call(), quint16(1));
        cmd->port_connected = 0;
        QCOMPARE(call(), quint16(2));
        settle();
        QVERIFY(peer->frames().isEmpty());
    }

    void refusedRequestSendsNothing_data()
    {
        QTest::addColumn<int>("refusal");
        QTest::newRow("register 0x018C of layout p1") << 3;
        QTest::newRow("outside the map") << 4;
        QTest::newRow("past the end of a block") << 8;
    }

    void refusedRequestSendsNothing()
    {
        QFETCH(int, refusal);
        respond(readReply);
        cmd->encode_refusal = quint16(refusal);
        QCOMPARE(int(cmd->Transmit_command(16, 0, 0x0180, 2)), refusal);
        QCOMPARE(cmd->encode_calls.size(), 1);
        settle();
        QVERIFY(peer->frames().isEmpty());
    }

    // With the real register maps: a read must start at a register the map
    // knows, or nothing is sent.
    void readStartOutsideTheMapSendsNothing_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("result");
        QTest::newRow("p0 holding 0x0180") << 0 << 3 << 0 << 0x0180 << 4;
        QTest::newRow("p1 holding 0x0208") << 1 << 3 << 170 << 0x0208 << 4;
        QTest::newRow("p1 input 0x0500") << 1 << 4 << 170 << 0x0500 << 4;
        QTest::newRow("p1 holding 0x0200 is known") << 1 << 3 << 170 << 0x0200 << 2;
        QTest::newRow("p0 input model code is known") << 0 << 4 << 170 << 0x0010 << 2;
    }

    void readStartOutsideTheMapSendsNothing()
    {
        QFETCH(int, layout);
        QFETCH(int, kind);
        QFETCH(int, page);
        QFETCH(int, reg);
        QFETCH(int, result);
        cmd->port.close();
        Command real;
        QVERIFY(connectToPeer(real));
        real.protocol_version = qint16(layout);
        respond(readReply);
        QCOMPARE(int(real.Transmit_command(quint8(kind), quint8(page), quint16(reg), 1)), result);
        settle();
        QCOMPARE(requests(*peer).size(), result == 2 ? 1 : 0);
    }

    void oversizedFirmwareBlockSendsNothing()
    {
        QByteArray block(247, '\x11');
        QCOMPARE(cmd->Transmit_Firmware(14, 0, reinterpret_cast<const quint8 *>(block.constData()), 247),
                 quint16(4));
        settle();
        QVERIFY(peer->frames().isEmpty());
    }

    void readOnTheWire()
    {
        respond(readReply);
        QCOMPARE(cmd->Transmit_command(4, 170, 0x0010, 3), quint16(2));
        const auto frames = peer->frames();
        QCOMPARE(frames.size(), 2);
        const QByteArray request = PtyPeer::withCrc(QByteArray::fromHex("ff04a0100003"));
        QCOMPARE(frames[0].bytes.toHex(), request.left(5).toHex()); // the pre-send
        QCOMPARE(frames[1].bytes.toHex(), request.toHex());
        QVERIFY(frames[1].firstByteUs - frames[0].lastByteUs >= 15000);
        QCOMPARE(cmd->decode_calls.size(), 1);
        QCOMPARE(cmd->decode_calls[0].function, 4);
        QCOMPARE(cmd->decode_calls[0].page, quint8(0xA));
        QCOMPARE(cmd->decode_calls[0].reg, quint16(0x0010));
        QCOMPARE(cmd->decode_calls[0].words, (QVector<quint16>{0x100, 0x101, 0x102}));
    }

    void preSendByModel_data()
    {
        QTest::addColumn<int>("deviceCode");
        QTest::addColumn<bool>("preSend");
        QTest::newRow("404: no pre-send") << 404 << false;
        QTest::newRow("405") << 405 << true;
        QTest::newRow("411") << 411 << true;
        QTest::newRow("bootloader") << 999 << true;
    }

    void preSendByModel()
    {
        QFETCH(int, deviceCode);
        QFETCH(bool, preSend);
        respond(readReply);
        cmd->device_code = quint16(deviceCode);
        QCOMPARE(cmd->Transmit_command(3, 1, 0x0100, 2), quint16(2));
        const auto frames = peer->frames();
        const QByteArray request = PtyPeer::withCrc(QByteArray::fromHex("ff0311000002"));
        QCOMPARE(frames.size(), preSend ? 2 : 1);
        QCOMPARE(frames.first().bytes.toHex(), (preSend ? request.left(5) : request).toHex());
        QCOMPARE(frames.last().bytes.toHex(), request.toHex());
    }

    void model404WaitsLongerForTheFirstByte()
    {
        cmd->device_code = 404;
        respond(readReply, 250); // later than 85 ms, within 500 ms
        QCOMPARE(cmd->Transmit_command(3, 0, 0x0100, 1), quint16(2));
        QCOMPARE(requests(*peer).size(), 1);
    }

    void silentDetector()
    {
        respond([](const QByteArray &) { return kNoReply; });
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(cmd->Transmit_command(3, 0, 0x0100, 1), quint16(32));
        QCOMPARE(requests(*peer).size(), 10);
        // Ten waits of 85 ms for the first byte (not the 500 ms of model 404).
        QVERIFY2(timer.elapsed() >= 850 && timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
    }

    void fewerAttemptsForAQuestionUsuallyUnanswered()
    {
        respond([](const QByteArray &) { return kNoReply; });
        cmd->transmit_attempts = 2;
        QCOMPARE(cmd->Transmit_command(4, 0xAA, 0x0999, 1), quint16(32));
        QCOMPARE(requests(*peer).size(), 2);
    }

    void exceptionReplies_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("attempts");
        QTest::newRow("code 2") << 2 << 64 << 10;
        QTest::newRow("code 3") << 3 << 128 << 10;
        QTest::newRow("code 4, device failure") << 4 << 512 << 10;
        QTest::newRow("code 6, busy") << 6 << 512 << 10;
    }

    void exceptionReplies()
    {
        QFETCH(int, code);
        QFETCH(int, result);
        QFETCH(int, attempts);
        respond([code](const QByteArray &request) { return exceptionReply(request, code); });
        QCOMPARE(int(cmd->Transmit_command(3, 0, 0x0100, 1)), result);
        const auto seen = requests(*peer);
        QCOMPARE(seen.size(), attempts);
        for (const QByteArray &request : seen) // each attempt sends the same request
            QCOMPARE(request, seen.first());
        QCOMPARE(peer->frames().size(), attempts + 1); // one pre-send before them
        QVERIFY(cmd->decode_calls.isEmpty());
    }

    void replyCutByAGapIsRetried()
    {
        std::atomic<int> served{0};
        peer->setResponder([&served](const QByteArray &frame) {
            if (!PtyPeer::hasGoodCrc(frame))
                return PtyPeer::Reply();
            const QByteArray reply = readReply(frame);
            if (served++ == 0) // the last byte 20 ms after the others
                return PtyPeer::Reply{{1, reply.left(reply.size() - 1)}, {20, reply.right(1)}};
            return PtyPeer::answer(reply);
        });
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(cmd->Transmit_command(3, 0, 0x0100, 4), quint16(2));
        const auto seen = requests(*peer);
        QCOMPARE(seen.size(), 2);
        // The cut reply failed its CRC and the engine paused before retrying.
        const auto frames = peer->frames();
        QVERIFY(frames.last().firstByteUs - frames[frames.size() - 2].lastByteUs >= 480000);
        QCOMPARE(cmd->decode_calls.size(), 1); // only the whole reply was decoded
        QCOMPARE(cmd->decode_calls[0].words.size(), 4);
    }

    void corruptArchiveRepliesPauseOnlyOnce()
    {
        cmd->device_code = 411;
        respond([](const QByteArray &request) {
            QByteArray reply = PtyPeer::withCrc(request.left(2) + char(0));
            reply[reply.size() - 1] = char(reply[reply.size() - 1] ^ 0x01);
            return reply;
        });
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(cmd->Transmit_command_log(12, 170, 0, 1), quint16(256));
        QCOMPARE(requests(*peer).size(), 10);
        QVERIFY2(timer.elapsed() >= 500 && timer.elapsed() < 2500, qPrintable(QString::number(timer.elapsed())));
    }

    void malformedReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("result");
        QTest::newRow("two bytes") << QByteArray::fromHex("ff03") << 256;
        QTest::newRow("four bytes with CRC") << PtyPeer::withCrc(QByteArray::fromHex("ff03")) << 256;
        QTest::newRow("longer than rx_buffer") << QByteArray(3100, '\x5a') << 256;
        QTest::newRow("other function") << PtyPeer::withCrc(QByteArray::fromHex("ff0402000a")) << 1;
        QTest::newRow("fewer registers than asked") << PtyPeer::withCrc(QByteArray::fromHex("ff0302000a")) << 8;
        QTest::newRow("count beyond the frame") << PtyPeer::withCrc(QByteArray::fromHex("ff0308000a000b")) << 8;
    }

    void malformedReplies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, result);
        respond([reply](const QByteArray &) { return reply; });
        QCOMPARE(int(cmd->Transmit_command(3, 0, 0x0100, 2)), result);
        QCOMPARE(requests(*peer).size(), 10);
        QVERIFY(cmd->decode_calls.isEmpty());
    }

    void writeOnTheWire()
    {
        cmd->encode_first_value = 0x04D2;
        respond([](const QByteArray &request) { return PtyPeer::withCrc(request.left(6)); });
        QCOMPARE(cmd->Transmit_command(16, 2, 0x0103, 1), quint16(2));
        QCOMPARE(requests(*peer).value(0).toHex(), QByteArray("ff10210300010204d2") + PtyPeer::withCrc(QByteArray::fromHex("ff10210300010204d2")).right(2).toHex());
    }

    void writeEchoOfAnotherRegisterFails()
    {
        respond([](const QByteArray &request) {
            QByteArray echo = request.left(6);
            echo[3] = char(echo[3] + 1);
            return PtyPeer::withCrc(echo);
        });
        QCOMPARE(cmd->Transmit_command(16, 0xAA, 0x0240, 1), quint16(4));
        QCOMPARE(requests(*peer).size(), 10);
    }

    void writeTimeoutReopensThePort()
    {
        respond(readReply);
        QVERIFY(peer->setSlaveOutputStopped(true));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(cmd->Transmit_command(3, 0, 0x0100, 1), quint16(16));
        QVERIFY(timer.elapsed() >= 10 * 50);
        QVERIFY(cmd->port.isOpen());
        QVERIFY(requests(*peer).isEmpty());

        // The line is back: the reopened port keeps its settings and works.
        QVERIFY(peer->setSlaveOutputStopped(false));
        QCOMPARE(cmd->port.baudRate(), 115200);
        QCOMPARE(cmd->Transmit_command(3, 0, 0x0100, 1), quint16(2));
        QCOMPARE(requests(*peer).size(), 1);
    }

    void writeTimeoutThenRecovery()
    {
        respond(readReply);
        QVERIFY(peer->setSlaveOutputStopped(true));
        std::thread release([this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(160));
            peer->setSlaveOutputStopped(false);
        });
        const quint16 result = cmd->Transmit_command(3, 0, 0x0100, 1);
        release.join();
        QCOMPARE(result, quint16(2));
        QCOMPARE(requests(*peer).size(), 1); // the stuck frames were dropped with the port
    }

    void archiveRecordsOnTheWire()
    {
        cmd->device_code = 411;
        QByteArray records;
        for (int i = 0; i < 2 * 48; ++i)
            records += char(i);
        respond([records](const QByteArray &request) {
            return PtyPeer::withCrc(request.left(2) + char(2) + records);
        });
        std::memset(archiv_read_mas, 0xEE, sizeof archiv_read_mas);
        QCOMPARE(cmd->Transmit_command_log(12, 170, 0x0105, 2), quint16(2));
        const auto frames = peer->frames();
        QCOMPARE(frames.size(), 1); // no pre-send
        QCOMPARE(frames[0].bytes.toHex(), PtyPeer::withCrc(QByteArray::fromHex("ff0c01050002")).toHex());
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(archiv_read_mas), 96), records);
        QCOMPARE(archiv_read_mas[96], quint8(0xEE));
    }

    void archiveRecordsThatDoNotFitAreRefused_data()
    {
        QTest::addColumn<int>("deviceCode");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("recordSize");
        QTest::addColumn<int>("result");
        QTest::newRow("26 records") << 411 << 26 << 48 << 4;
        // 18 records of 168 bytes do not even fit rx_buffer.
        QTest::newRow("18 records of 168") << 420 << 18 << 168 << 256;
    }

    void archiveRecordsThatDoNotFitAreRefused()
    {
        QFETCH(int, deviceCode);
        QFETCH(int, records);
        QFETCH(int, recordSize);
        QFETCH(int, result);
        cmd->device_code = quint16(deviceCode);
        respond([records, recordSize](const QByteArray &request) {
            return PtyPeer::withCrc(request.left(2) + char(records) + QByteArray(records * recordSize, '\x33'));
        });
        std::memset(archiv_read_mas, 0xEE, sizeof archiv_read_mas);
        QCOMPARE(int(cmd->Transmit_command_log(12, 170, 0, quint16(records))), result);
        QCOMPARE(requests(*peer).size(), 10);
        QCOMPARE(archiv_read_mas[0], quint8(0xEE));
        QCOMPARE(archiv_read_mas[sizeof archiv_read_mas - 1], quint8(0xEE));
    }

    void archiveRange_data()
    {
        QTest::addColumn<int>("deviceCode");
        QTest::addColumn<bool>("preSend");
        QTest::newRow("411: pre-send") << 411 << true;
        QTest::newRow("405: none") << 405 << false;
    }

    void archiveRange()
    {
        QFETCH(int, deviceCode);
        QFETCH(bool, preSend);
        cmd->device_code = quint16(deviceCode);
        respond([](const QByteArray &request) {
            return PtyPeer::withCrc(request.left(2) + QByteArray::fromHex("1000000020000000"));
        });
        address_archiv_start = address_archiv_stop = 0;
        QCOMPARE(cmd->Transmit_filter_log(20, 0x01020304, 0x05060708), quint16(2));
        QCOMPARE(address_archiv_start, 16u);
        QCOMPARE(address_archiv_stop, 32u);
        const auto frames = peer->frames();
        const QByteArray request = PtyPeer::withCrc(QByteArray::fromHex("ff140102030405060708"));
        QCOMPARE(frames.size(), preSend ? 2 : 1);
        QCOMPARE(frames.last().bytes.toHex(), request.toHex());
        if (preSend)
            QCOMPARE(frames.first().bytes.toHex(), request.left(5).toHex());
    }

    void archiveRangeSilentDetector()
    {
        cmd->device_code = 411;
        cmd->filter_reply_timeout_ms = 100;
        respond([](const QByteArray &) { return kNoReply; });
        QCOMPARE(cmd->Transmit_filter_log(20, 0, 1), quint16(32));
        // Two attempts, each after its own pre-send.
        const auto frames = peer->frames();
        QCOMPARE(frames.size(), 4);
        QCOMPARE(frames[0].bytes.size(), 5);
        QCOMPARE(frames[2].bytes.size(), 5);
        QCOMPARE(requests(*peer).size(), 2);
    }

    void firmwareBlock_data()
    {
        QTest::addColumn<int>("echoOffset");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("attempts");
        QTest::newRow("echo") << 0 << 2 << 1;
        QTest::newRow("wrong echo") << 0x10 << 4 << 15;
    }

    void firmwareBlock()
    {
        QFETCH(int, echoOffset);
        QFETCH(int, result);
        QFETCH(int, attempts);
        respond([echoOffset](const QByteArray &request) {
            QByteArray echo = request.left(6);
            echo[5] = char(echo[5] + echoOffset);
            return PtyPeer::withCrc(echo);
        });
        QByteArray block(16, '\x7e');
        QCOMPARE(int(cmd->Transmit_Firmware(14, 0x0800FE10, reinterpret_cast<const quint8 *>(block.constData()), 16)),
                 result);
        const auto frames = peer->frames();
        QCOMPARE(frames.size(), attempts + 1); // one pre-send
        QCOMPARE(frames[0].bytes.toHex(), QByteArray("ff0e0800fe"));
        QCOMPARE(frames[1].bytes.size(), 7 + 16 + 2);
    }
};

QTEST_GUILESS_MAIN(tst_transport)
#include "tst_transport.moc"
