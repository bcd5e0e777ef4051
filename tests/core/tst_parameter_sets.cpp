// Parameter-set transfers against a scripted detector on a pseudo-terminal:
// which transactions (function, page, register, count) go on the wire per
// account, model and mode, and where a sequence stops when one fails.
#include "accounts.h"
#include "command.h"
#include "pty_peer.h"

#include <QSet>
#include <QtTest>
#include <chrono>
#include <mutex>
#include <thread>

namespace {

// One transaction as "function page register count", page as a hex digit.
QString T(int function, int page, int reg, int count)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(function)
        .arg(page & 0x0F, 1, 16)
        .arg(reg, 4, 16, QChar('0'))
        .arg(count);
}

QString describe(const QByteArray &frame)
{
    const int address = quint8(frame[2]) << 8 | quint8(frame[3]);
    const int count = quint8(frame[4]) << 8 | quint8(frame[5]);
    return T(quint8(frame[1]), address >> 12, address & 0x0FFF, count);
}

using Sequence = QStringList;

} // namespace

class tst_parameter_sets : public QObject
{
    Q_OBJECT

    PtyPeer *peer = nullptr;
    Command *cmd = nullptr;
    // Transactions ("function page register count") the detector rejects
    // with exception 2 (illegal data address).
    std::mutex failMutex;
    QSet<QString> failing;
    // Value of every register the detector reads out.
    quint16 readValue = 0;

    void failOn(const QString &transaction)
    {
        std::lock_guard<std::mutex> lock(failMutex);
        failing.insert(transaction);
    }

    // The requests the detector received; the retries of a rejected request
    // are counted once.
    Sequence sent()
    {
        Sequence out;
        QByteArray previous;
        for (const PtyPeer::Frame &frame : peer->frames()) {
            if (!PtyPeer::hasGoodCrc(frame.bytes))
                continue;
            const QString transaction = describe(frame.bytes);
            bool rejected;
            {
                std::lock_guard<std::mutex> lock(failMutex);
                rejected = failing.contains(transaction);
            }
            if (rejected && frame.bytes == previous)
                continue;
            previous = frame.bytes;
            out << transaction;
        }
        return out;
    }

    QByteArray lastWrite(const QString &transaction) const
    {
        QByteArray found;
        for (const PtyPeer::Frame &frame : peer->frames())
            if (PtyPeer::hasGoodCrc(frame.bytes) && describe(frame.bytes) == transaction)
                found = frame.bytes;
        return found;
    }

private slots:
    void init()
    {
        failing.clear();
        readValue = 0;
        peer = new PtyPeer;
        QVERIFY(peer->isOpen());
        peer->setResponder([this](const QByteArray &frame) {
            if (!PtyPeer::hasGoodCrc(frame) || frame.size() < 8)
                return PtyPeer::Reply();
            {
                std::lock_guard<std::mutex> lock(failMutex);
                if (failing.contains(describe(frame))) {
                    QByteArray reply = frame.left(2);
                    reply[1] = char(reply[1] | 0x80);
                    reply += char(2);
                    return PtyPeer::answer(PtyPeer::withCrc(reply));
                }
            }
            const int function = quint8(frame[1]);
            if (function == 16)
                return PtyPeer::answer(PtyPeer::withCrc(frame.left(6)));
            const int count = quint8(frame[4]) << 8 | quint8(frame[5]);
            QByteArray reply = frame.left(2);
            reply += char(2 * count);
            for (int i = 0; i < count; ++i) {
                reply += char(readValue >> 8);
                reply += char(readValue & 0xFF);
            }
            return PtyPeer::answer(PtyPeer::withCrc(reply));
        });
        peer->start();
        cmd = new Command;
        cmd->modbus_address = 1;
        cmd->port.setPortName(peer->slavePath());
        QVERIFY(cmd->port.open(QIODevice::ReadWrite));
        cmd->port.setBaudRate(115200);
        cmd->port_connected = 1;
        // The pseudo-terminal delivers a reply at once: a short end-of-reply
        // silence keeps the many transactions quick.
        cmd->inter_chunk_timeout_ms = 4;
        cmd->protocol_version = 1;
        cmd->device_code = 405;
        cmd->firmware_version = 200;
        cmd->channel_count = 2;
        for (int k = 0; k < 10; ++k)
            cmd->p1.channel[k].channel_page = qint16(k);
    }

    void cleanup()
    {
        delete cmd;
        cmd = nullptr;
        delete peer;
        peer = nullptr;
    }

    void readParameters_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("firmware");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("inputsOnly");
        QTest::addColumn<Sequence>("expected");

        QTest::newRow("refresh with clock")
            << 405 << 200 << 1 << false
            << Sequence{T(16, 0xA, 0x00FE, 4),
                        T(3, 0, 0x0102, 55), T(3, 0, 0x0150, 60), T(3, 0, 0x0300, 2), T(4, 0, 0x0020, 28),
                        T(3, 1, 0x0102, 55), T(3, 1, 0x0150, 60), T(3, 1, 0x0300, 2), T(4, 1, 0x0020, 28),
                        T(3, 0xA, 0x0200, 7), T(3, 0xA, 0x0210, 6), T(3, 0xA, 0x0220, 4), T(4, 0xA, 0x0011, 9),
                        T(4, 0xA, 0x0060, 3), T(3, 0xA, 0x0310, 2)};
        QTest::newRow("refresh with clock, inputs only, 421 firmware 11")
            << 421 << 11 << 1 << true
            << Sequence{T(16, 0xA, 0x00FE, 4), T(4, 0, 0x0020, 28), T(4, 1, 0x0020, 28),
                        T(3, 0xA, 0x0200, 7), T(3, 0xA, 0x0210, 6), T(3, 0xA, 0x0220, 4), T(4, 0xA, 0x0011, 7),
                        T(4, 0xA, 0x0060, 3), T(3, 0xA, 0x0310, 2)};
        QTest::newRow("calibration tick: switched-on channels only")
            << 405 << 200 << 2 << false << Sequence{T(4, 0, 0x0020, 28), T(4, 0xA, 0x0011, 9)};
        QTest::newRow("full read after connecting")
            << 421 << 12 << 0 << false
            << Sequence{T(3, 0, 0x0102, 55), T(3, 0, 0x0150, 60), T(3, 0, 0x0300, 2), T(4, 0, 0x0020, 28),
                        T(3, 1, 0x0102, 55), T(3, 1, 0x0150, 60), T(3, 1, 0x0300, 2), T(4, 1, 0x0020, 28),
                        T(3, 0xA, 0x00FE, 4), T(3, 0xA, 0x0200, 7), T(3, 0xA, 0x0210, 6), T(3, 0xA, 0x0220, 4),
                        T(4, 0xA, 0x0011, 9), T(4, 0xA, 0x0060, 3), T(3, 0xA, 0x0310, 2)};
    }
    void readParameters()
    {
        QFETCH(int, model);
        QFETCH(int, firmware);
        QFETCH(int, mode);
        QFETCH(bool, inputsOnly);
        QFETCH(Sequence, expected);
        cmd->device_code = quint16(model);
        cmd->firmware_version = quint16(firmware);
        cmd->p1.channel[1].channel_page = qint16(cmd->channel_off_code); // channel 1 switched off
        readValue = quint16(firmware);
        QCOMPARE(cmd->Read_Param_Protocol_2(mode, inputsOnly), 1);
        QCOMPARE(sent(), expected);
    }

    void readParametersStopAtFirstFailure()
    {
        failOn(T(3, 1, 0x0150, 60));
        QCOMPARE(cmd->Read_Param_Protocol_2(1, false), 0);
        QCOMPARE(sent(), (Sequence{T(16, 0xA, 0x00FE, 4), T(3, 0, 0x0102, 55), T(3, 0, 0x0150, 60),
                                   T(3, 0, 0x0300, 2), T(4, 0, 0x0020, 28), T(3, 1, 0x0102, 55),
                                   T(3, 1, 0x0150, 60)}));
    }

    void readWithoutCheckGoesOn_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("calibration tick") << 2;
        QTest::newRow("full read") << 0;
    }
    void readWithoutCheckGoesOn()
    {
        QFETCH(int, mode);
        cmd->channel_count = 1;
        failOn(T(4, 0, 0x0020, 28));
        QCOMPARE(cmd->Read_Param_Protocol_2(mode, false), 1);
        QVERIFY(sent().contains(T(4, 0xA, 0x0011, 9)));
    }

    void readFillsTheImage()
    {
        cmd->channel_count = 1;
        readValue = 0x0102;
        QCOMPARE(cmd->Read_Param_Protocol_2(0, false), 1);
        QCOMPARE(cmd->firmware_version, quint16(0x0102));
        QCOMPARE(cmd->p1.channel[0].warmup_time, quint16(0x0102));
        QCOMPARE(cmd->p1.device.gps_config, 0x01020102u);
        QCOMPARE(cmd->ble_mac[5], quint8(0x01));
    }

    void writeParameters_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<bool>("withAdc");
        QTest::addColumn<Sequence>("expected");
        const QString clock = T(16, 0, 0x00FE, 4);
        QTest::newRow("user") << login_user << false
                              << Sequence{clock, T(16, 0, 0x0102, 13), T(16, 0, 0x0224, 2),
                                          T(16, 1, 0x0102, 13), T(16, 1, 0x0224, 2)};
        QTest::newRow("administrator")
            << login_admin << false
            << Sequence{clock, T(16, 0, 0x0102, 41), T(16, 0, 0x0224, 5), T(16, 1, 0x0102, 41), T(16, 1, 0x0224, 5),
                        T(16, 0xA, 0x0220, 4)};
        QTest::newRow("production")
            << login_creator << false
            << Sequence{clock, T(16, 0, 0x0102, 55), T(16, 0, 0x0150, 60), T(16, 0, 0x0224, 5),
                        T(16, 1, 0x0102, 55), T(16, 1, 0x0150, 60), T(16, 1, 0x0224, 5),
                        T(16, 0xA, 0x0200, 7), T(16, 0xA, 0x0210, 6), T(16, 0xA, 0x0220, 4), T(16, 0xA, 0x0310, 2)};
        QTest::newRow("production with ADC values")
            << login_creator << true
            << Sequence{clock, T(16, 0, 0x0102, 55), T(16, 0, 0x0150, 60), T(16, 0, 0x0224, 5), T(16, 0, 0x0300, 2),
                        T(16, 1, 0x0102, 55), T(16, 1, 0x0150, 60), T(16, 1, 0x0224, 5), T(16, 1, 0x0300, 2),
                        T(16, 0xA, 0x0200, 7), T(16, 0xA, 0x0210, 6), T(16, 0xA, 0x0220, 4), T(16, 0xA, 0x0310, 2)};
        QTest::newRow("nobody logged in") << QStringLiteral("Noname") << true << Sequence{clock};
    }
    void writeParameters()
    {
        QFETCH(QString, account);
        QFETCH(bool, withAdc);
        QFETCH(Sequence, expected);
        cmd->login_name = account;
        QVERIFY(cmd->Write_Param_Protocol_2(withAdc));
        QCOMPARE(sent(), expected);
    }

    // The user account's 13 registers stop at the low half of threshold 4.
    void userWriteContents()
    {
        cmd->login_name = login_user;
        cmd->channel_count = 1;
        cmd->p1.channel[0].alarm_threshold_4 = 1.1f; // 0x3F8CCCCD
        cmd->device_time_unit_s = 1.0;
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        QVERIFY(cmd->Write_Param_Protocol_2(false));
        const QByteArray channel = lastWrite(T(16, 0, 0x0102, 13));
        QCOMPARE(channel.size(), 7 + 26 + 2);
        QCOMPARE(channel.mid(7 + 24, 2), QByteArray::fromHex("cccd")); // low half only
        const QByteArray clock = lastWrite(T(16, 0, 0x00FE, 4));
        const quint32 time = quint32(quint8(clock[13]) << 24 | quint8(clock[14]) << 16 | quint8(clock[11]) << 8 | quint8(clock[12]));
        QVERIFY(qint64(time) >= before && qint64(time) <= before + 2);
    }

    void writeParametersStopAtFirstFailure_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<Sequence>("expected");
        const QString clock = T(16, 0, 0x00FE, 4);
        QTest::newRow("clock") << login_creator << clock << Sequence{clock};
        QTest::newRow("user, second channel")
            << login_user << T(16, 1, 0x0102, 13)
            << Sequence{clock, T(16, 0, 0x0102, 13), T(16, 0, 0x0224, 2), T(16, 1, 0x0102, 13)};
        QTest::newRow("administrator, device options")
            << login_admin << T(16, 0xA, 0x0220, 4)
            << Sequence{clock, T(16, 0, 0x0102, 41), T(16, 0, 0x0224, 5), T(16, 1, 0x0102, 41), T(16, 1, 0x0224, 5),
                        T(16, 0xA, 0x0220, 4)};
        QTest::newRow("production, tables")
            << login_creator << T(16, 0, 0x0150, 60) << Sequence{clock, T(16, 0, 0x0102, 55), T(16, 0, 0x0150, 60)};
        QTest::newRow("production, ADC values")
            << login_creator << T(16, 0, 0x0300, 2)
            << Sequence{clock, T(16, 0, 0x0102, 55), T(16, 0, 0x0150, 60), T(16, 0, 0x0224, 5), T(16, 0, 0x0300, 2)};
        QTest::newRow("production, archive settings")
            << login_creator << T(16, 0xA, 0x0210, 6)
            << Sequence{clock, T(16, 0, 0x0102, 55), T(16, 0, 0x0150, 60), T(16, 0, 0x0224, 5), T(16, 0, 0x0300, 2),
                        T(16, 1, 0x0102, 55), T(16, 1, 0x0150, 60), T(16, 1, 0x0224, 5), T(16, 1, 0x0300, 2),
                        T(16, 0xA, 0x0200, 7), T(16, 0xA, 0x0210, 6)};
    }
    void writeParametersStopAtFirstFailure()
    {
        QFETCH(QString, account);
        QFETCH(QString, failing);
        QFETCH(Sequence, expected);
        cmd->login_name = account;
        failOn(failing);
        QVERIFY(!cmd->Write_Param_Protocol_2(true));
        QCOMPARE(sent(), expected);
    }

    void productionIgnoresNavigationFailure()
    {
        cmd->login_name = login_creator;
        cmd->channel_count = 1;
        failOn(T(16, 0xA, 0x0310, 2));
        QVERIFY(cmd->Write_Param_Protocol_2(false));
    }

    void writeOneChannel_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<Sequence>("expected");
        const QString commit = T(16, 0xA, 0x0240, 1);
        QTest::newRow("p0 404")
            << 0 << 404 << QString() << true
            << Sequence{T(16, 2, 0x0100, 82), T(4, 0xA, 0x0020, 8), commit, T(3, 2, 0x0100, 82)};
        QTest::newRow("p0 411")
            << 0 << 411 << QString() << true
            << Sequence{T(16, 2, 0x0100, 82), T(4, 0xA, 0x0020, 2), commit, T(3, 2, 0x0100, 82)};
        QTest::newRow("p0 420")
            << 0 << 420 << QString() << true
            << Sequence{T(16, 2, 0x0100, 82), T(16, 2, 0x0160, 20), T(4, 2, 0x0020, 13), commit,
                        T(3, 2, 0x0100, 82), T(3, 2, 0x0160, 20)};
        // All writes are made; a failure only withholds the read-back.
        QTest::newRow("p0 421, zero table fails")
            << 0 << 421 << T(16, 2, 0x0160, 20) << false
            << Sequence{T(16, 2, 0x0100, 82), T(16, 2, 0x0160, 20), T(4, 2, 0x0020, 13), commit};
        QTest::newRow("p1 405")
            << 1 << 405 << QString() << true
            << Sequence{T(16, 2, 0x0102, 55), T(16, 2, 0x0150, 60), T(16, 2, 0x0300, 2), T(4, 2, 0x0020, 21), commit,
                        T(3, 2, 0x0102, 55), T(3, 2, 0x0150, 60), T(3, 2, 0x0300, 2)};
        QTest::newRow("p1 405, commit fails")
            << 1 << 405 << commit << false
            << Sequence{T(16, 2, 0x0102, 55), T(16, 2, 0x0150, 60), T(16, 2, 0x0300, 2), T(4, 2, 0x0020, 21), commit};
    }
    void writeOneChannel()
    {
        QFETCH(int, layout);
        QFETCH(int, model);
        QFETCH(QString, failing);
        QFETCH(bool, ok);
        QFETCH(Sequence, expected);
        cmd->protocol_version = qint16(layout);
        cmd->device_code = quint16(model);
        cmd->current_channel = 2;
        if (!failing.isEmpty())
            failOn(failing);
        QCOMPARE(cmd->Write_Param_one_chan(), ok);
        QCOMPARE(sent(), expected);
    }

    void fidSwitch_data()
    {
        QTest::addColumn<int>("layout");
        QTest::newRow("p0") << 0;
        QTest::newRow("p1") << 1;
    }
    void fidSwitch()
    {
        QFETCH(int, layout);
        cmd->protocol_version = qint16(layout);
        cmd->device_code = layout ? 405 : 404;
        cmd->channel_count = 4;
        const quint16 pid = 1u << 10;
        for (int k = 0; k < 4; ++k) {
            cmd->p0.channel[k].channel_page = qint16(k);
            cmd->p0.channel[k].display_format = k == 1 || k == 3 ? pid : 0;
            cmd->p1.channel[k].display_format = k == 1 || k == 3 ? pid : 0;
        }
        cmd->p0.channel[3].channel_page = 7; // switched off on a 404
        cmd->p1.channel[3].channel_page = 170;
        auto flags = [&](int k) -> quint32 { return layout ? cmd->p1.channel[k].channel_flags : cmd->p0.channel[k].channel_flags; };
        const QString write = layout ? T(16, 1, 0x0224, 2) : T(16, 1, 0x0222, 1);

        cmd->Turn_on_FID(true);
        QCOMPARE(flags(1), quint32(ChannelFlagFid));
        QCOMPARE(flags(0), 0u);
        QCOMPARE(flags(3), 0u);
        cmd->Turn_on_FID(true); // already on: nothing more is sent
        QCOMPARE(sent(), Sequence{write});
        QCOMPARE(lastWrite(write).mid(7, 2), QByteArray::fromHex("0100"));
        cmd->Turn_on_FID(false);
        cmd->Turn_on_FID(false); // off is written every time
        QCOMPARE(flags(1), 0u);
        QCOMPARE(sent(), (Sequence{write, write, write}));
    }
};

QTEST_GUILESS_MAIN(tst_parameter_sets)
#include "tst_parameter_sets.moc"
