// The program's transaction engine and register maps against the detector
// simulator: identification, the layout probe, reads into the device image
// and writes that land in the detector's registers.
#include "command.h"
#include "sim_process.h"

#include <QtTest>
#include <cstring>

class tst_sim_transaction : public QObject
{
    Q_OBJECT

private slots:
    void firstProtocolDetector();
    void secondProtocolDetector();

private:
    static bool connectPort(Command &cmd, const QString &path);
};

bool tst_sim_transaction::connectPort(Command &cmd, const QString &path)
{
    cmd.port.setPortName(path);
    if (!cmd.port.open(QIODevice::ReadWrite))
        return false;
    cmd.port.setBaudRate(115200);
    cmd.port.setDataBits(QSerialPort::Data8);
    cmd.port.setParity(QSerialPort::NoParity);
    cmd.port.setStopBits(QSerialPort::OneStop);
    cmd.port.setFlowControl(QSerialPort::NoFlowControl);
    cmd.port_connected = 1;
    return true;
}

void tst_sim_transaction::firstProtocolDetector()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--model", "405", "--layout", "p0", "--seed", "3", "--steady"}),
             qPrintable(sim.errorString()));
    Command cmd;
    QVERIFY(connectPort(cmd, sim.portPath()));
    cmd.device_code = 405;
    cmd.channel_count = 4;

    QCOMPARE(cmd.Transmit_command(4, 0xAA, 0x0010, 1), quint16(2));
    QCOMPARE(cmd.device_code, quint16(405));
    // The first protocol stays silent on 0x0999: no reply on any attempt.
    QCOMPARE(cmd.Transmit_command(4, 0xAA, 0x0999, 1), quint16(32));
    cmd.protocol_version = 0;

    // The settings of every channel first: they give the decimals that scale
    // the live concentrations.
    for (quint8 k = 0; k < 4; ++k)
        QCOMPARE(cmd.Transmit_command(3, k, 0x0100, 82), quint16(2));
    QCOMPARE(QByteArray(cmd.p0.channel[1].sensor_name, 6), QByteArray("H2S-A4"));
    QCOMPARE(QByteArray(cmd.p0.channel[1].gas_formula, 3), QByteArray("H2S"));
    QCOMPARE(cmd.Transmit_command(4, 0xAA, 0x00F6, 41), quint16(2));
    QVERIFY(qAbs(cmd.p0.channel[2].concentration - 20.9f) < 0.2f);  // oxygen in clean air

    cmd.p0.channel[2].alarm_threshold_1 = 0x80C8;  // 20.0 % falling
    QCOMPARE(cmd.Transmit_command(16, 2, 0x0105, 1), quint16(2));
    QCOMPARE(cmd.Transmit_command(16, 0xAA, 0x0240, 1), quint16(2));
    cmd.port.close();

    QVERIFY(sim.stop());
    const SimRegisterDump dump = sim.dump();
    QCOMPARE(dump.holding(2, 0x0105), std::optional<quint16>(0x80C8));
    QCOMPARE(dump.counter("commits"), 1);
    const quint32 serial = quint32(*dump.holding(0xA, 0x011D)) | (quint32(*dump.holding(0xA, 0x011E)) << 16);
    QCOMPARE(cmd.p0.device.serial_number, serial);
    // Each transaction began with the 5-byte pre-send, which the detector ignored.
    int presends = 0;
    for (const SimLogEntry &e : sim.log())
        presends += e.note.contains("(pre-send)") ? 1 : 0;
    QCOMPARE(presends, 9);
}

void tst_sim_transaction::secondProtocolDetector()
{
    SimProcess sim;
    QVERIFY2(sim.start({"--model", "421", "--layout", "p1", "--seed", "4", "--steady", "--gas", "0=150"}),
             qPrintable(sim.errorString()));
    Command cmd;
    QVERIFY(connectPort(cmd, sim.portPath()));
    cmd.device_code = 421;
    cmd.channel_count = 4;

    QCOMPARE(cmd.Transmit_command(4, 0xAA, 0x0999, 1), quint16(2));
    cmd.protocol_version = 1;
    QCOMPARE(cmd.Read_Param_Protocol_2(0, false), 1);
    QCOMPARE(cmd.firmware_version, quint16(302));
    QCOMPARE(QByteArray(cmd.p1.channel[3].gas_formula, 3), QByteArray("CH4"));
    QVERIFY(qAbs(cmd.p1.channel[0].concentration - 150.0f) < 0.5f);
    QCOMPARE(cmd.p1.channel[0].channel_status & 0x07, 0x03);  // CO alarms 1 and 2
    QVERIFY(cmd.p1.device.temperature_c > 15 && cmd.p1.device.temperature_c < 30);

    // A threshold and a device option written back through the write map.
    cmd.p1.channel[1].alarm_threshold_2 = 25.5f;
    QCOMPARE(cmd.Transmit_command(16, 1, 0x010A, 2), quint16(2));
    cmd.p1.device.device_options |= 1u << 15;
    QCOMPARE(cmd.Transmit_command(16, 0xAA, 0x0220, 4), quint16(2));
    cmd.port.close();

    QVERIFY(sim.stop());
    const SimRegisterDump dump = sim.dump();
    float written = 25.5f;
    quint32 bits;
    std::memcpy(&bits, &written, sizeof bits);
    QCOMPARE(dump.holding(1, 0x010A), std::optional<quint16>(quint16(bits & 0xFFFF)));
    QCOMPARE(dump.holding(1, 0x010B), std::optional<quint16>(quint16(bits >> 16)));
    QVERIFY(*dump.holding(0xA, 0x0220) & 0x8000);
}

QTEST_GUILESS_MAIN(tst_sim_transaction)
#include "tst_sim_transaction.moc"
