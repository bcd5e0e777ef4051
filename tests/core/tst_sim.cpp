// The detector simulator on its line: wake-up handshake, reads and writes per
// model and layout, exception replies, command registers, clock, alarms,
// pacing and seeded fault injection. Every case starts its own simulator.
#include "sim_process.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>
#include <cstring>

namespace {

using Words = QVector<quint16>;

constexpr quint8 kAddr = 255;

float wordsToFloat(quint16 lo, quint16 hi)
{
    const quint32 bits = quint32(lo) | (quint32(hi) << 16);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Starts a simulator and opens its line; a failure ends the calling test.
#define START_SIM(sim, line, options)                                                      \
    SimProcess sim;                                                                        \
    QVERIFY2(sim.start(options), qPrintable(sim.errorString()));                          \
    SimLine line;                                                                          \
    QVERIFY(line.open(sim.portPath()))

QStringList notesOf(const QVector<SimLogEntry> &log, const QString &prefix)
{
    QStringList out;
    for (const SimLogEntry &e : log)
        if (e.kind == QLatin1String("--") && e.note.startsWith(prefix))
            out << e.note;
    return out;
}

} // namespace

class tst_sim : public QObject
{
    Q_OBJECT

private slots:
    void handshake();
    void readAndWritePerLayout_data();
    void readAndWritePerLayout();
    void requestsAndExceptions_data();
    void requestsAndExceptions();
    void otherAddressesAreIgnored();
    void switchOffStopsAnswering_data();
    void switchOffStopsAnswering();
    void factorySettingsStoreAndRestore();
    void clockFollowsWrittenTime_data();
    void clockFollowsWrittenTime();
    void temperatureCalibration();
    void singleBitRegisters();
    void alarmStatusBits_data();
    void alarmStatusBits();
    void exposureSignalRaisesAlarm();
    void seededConfigurationIsBelievable();
    void faultKinds_data();
    void faultKinds();
    void faultsReproducibleBySeed();
    void stopAfterRequests();
    void hangUp();
    void bytePacing();
    void symbolicLink();
};

void tst_sim::handshake()
{
    START_SIM(sim, line, {});
    QCOMPARE(line.transact("ACTIV"), QByteArray("ACTIV"));
    // "ACTIV" with a carriage return is not the wake-up word.
    QCOMPARE(line.transact("ACTIV\r", 200), QByteArray());
    QCOMPARE(line.transact("DEACTIV", 200), QByteArray());

    // The 5-byte pre-send alone, then the whole request after a pause: only
    // the request is answered.
    const QByteArray request = SimLine::readRequest(kAddr, 4, 0xA, 0x0010, 1);
    QCOMPARE(line.transact(request.left(5), 30), QByteArray());
    const QByteArray reply = line.transact(request);
    QCOMPARE(SimLine::replyWords(reply), Words{404});

    QVERIFY(sim.stop());
    const QStringList ignored = notesOf(sim.log(), "ignored");
    QVERIFY2(ignored.join('|').contains("(pre-send)"), qPrintable(ignored.join('|')));
    QVERIFY(notesOf(sim.log(), "DEACTIV").size() == 1);
}

void tst_sim::readAndWritePerLayout_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("displayFormatReg");  // a channel setting written and read back
    QTest::addColumn<int>("deviceReg");         // a device setting written on page 0xA

    QTest::newRow("404 p0") << 404 << "p0" << 4 << 0x0103 << 0x0200;
    QTest::newRow("404 p1") << 404 << "p1" << 4 << 0x0103 << 0x0203;
    QTest::newRow("411 p0") << 411 << "p0" << 1 << 0x0103 << 0x0210;
    QTest::newRow("412 p1") << 412 << "p1" << 1 << 0x0103 << 0x0210;
    QTest::newRow("420 p0") << 420 << "p0" << 6 << 0x0103 << 0x0215;
    QTest::newRow("421 p1") << 421 << "p1" << 4 << 0x0103 << 0x0310;
    QTest::newRow("430 p1") << 430 << "p1" << 10 << 0x0103 << 0x0700;
}

void tst_sim::readAndWritePerLayout()
{
    QFETCH(int, model);
    QFETCH(QString, layout);
    QFETCH(int, channels);
    QFETCH(int, displayFormatReg);
    QFETCH(int, deviceReg);
    START_SIM(sim, line, (QStringList{"--model", QString::number(model), "--layout", layout}));

    QCOMPARE(SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, 4, 0xA, 0x0010, 1))),
             Words{quint16(model)});

    // A write on the last channel page: the reply echoes the address word
    // with its page and the count.
    const int page = channels - 1;
    const QByteArray write = SimLine::writeRequest(kAddr, page, displayFormatReg, {0x0456});
    const QByteArray echo = line.transact(write);
    QCOMPARE(echo, SimLine::withCrc(write.left(6)));
    QCOMPARE(SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, 3, page, displayFormatReg, 1))),
             Words{0x0456});
    // The other channels keep their own value.
    if (channels > 1)
        QVERIFY(SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, 3, 0, displayFormatReg, 1)))
                != Words{0x0456});
    // A device setting written on the device page.
    QCOMPARE(line.transact(SimLine::writeRequest(kAddr, 0xA, deviceReg, {0x0101})).size(), 8);

    // A page past the last channel is not there (430 uses all ten).
    if (channels < 10) {
        const QByteArray r = line.transact(SimLine::readRequest(kAddr, 3, channels, displayFormatReg, 1));
        QCOMPARE(r, SimLine::withCrc(QByteArray::fromHex("ff8302")));
    }

    // The dump on request shows exactly what was written.
    QVERIFY2(sim.requestDump(), qPrintable(sim.errorString()));
    const SimRegisterDump dump = sim.dump();
    QCOMPARE(dump.holding(page, displayFormatReg), std::optional<quint16>(0x0456));
    QCOMPARE(dump.holding(0xA, deviceReg), std::optional<quint16>(0x0101));
    QCOMPARE(dump.input(0xA, 0x0010), std::optional<quint16>(quint16(model)));
    QCOMPARE(dump.counter("model"), model);
    QVERIFY(sim.stop());
    QCOMPARE(sim.dump().counter("requests"), 4 + (channels > 1 ? 1 : 0) + (channels < 10 ? 1 : 0));
}

// One request and what comes back: a reply with `count` words, an exception
// code, or silence.
void tst_sim::requestsAndExceptions_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("function");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("reg");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("expected");  // > 0 words in the reply, < 0 exception -code, 0 silence

    const QStringList p1 = {"--model", "404", "--layout", "p1"};
    const QStringList p0 = {"--model", "404", "--layout", "p0"};
    const QStringList plus0 = {"--model", "420", "--layout", "p0"};
    const QStringList m1 = {"--model", "411"};

    QTest::newRow("p1 layout probe 0999 answered") << p1 << 4 << 0xA << 0x0999 << 1 << 1;
    QTest::newRow("p0 layout probe 0999 silent") << p0 << 4 << 0xA << 0x0999 << 1 << 0;
    QTest::newRow("411 layout probe 0999 silent") << m1 << 4 << 0xA << 0x0999 << 1 << 0;
    QTest::newRow("p1 channel settings 0102+55") << p1 << 3 << 2 << 0x0102 << 55 << 55;
    QTest::newRow("p1 channel settings past 0138") << p1 << 3 << 2 << 0x0102 << 56 << -3;
    QTest::newRow("p1 tables 0150+60") << p1 << 3 << 1 << 0x0150 << 60 << 60;
    QTest::newRow("p1 tables write 61") << p1 << 16 << 1 << 0x0150 << 61 << -3;
    QTest::newRow("p1 018C outside") << p1 << 16 << 1 << 0x018C << 1 << -2;
    QTest::newRow("p1 clock on device page") << p1 << 3 << 0xA << 0x00FE << 4 << 4;
    QTest::newRow("p1 clock into channel regs on device page") << p1 << 3 << 0xA << 0x00FE << 5 << -3;
    QTest::newRow("p1 options on device page") << p1 << 3 << 0xA << 0x0220 << 4 << 4;
    QTest::newRow("p1 options into channel flags on device page") << p1 << 3 << 0xA << 0x0220 << 5 << -3;
    QTest::newRow("p1 options and flags on channel page") << p1 << 3 << 3 << 0x0220 << 9 << 9;
    QTest::newRow("p1 channel inputs 0020+28") << p1 << 4 << 0 << 0x0020 << 28 << 28;
    QTest::newRow("p1 channel inputs past 003B") << p1 << 4 << 0 << 0x0020 << 29 << -3;
    QTest::newRow("p1 status copy 0226+5") << p1 << 4 << 0 << 0x0226 << 5 << 5;
    QTest::newRow("p1 device inputs 0011+9") << p1 << 4 << 0xA << 0x0011 << 9 << 9;
    QTest::newRow("p1 BLE address") << p1 << 4 << 0xA << 0x0060 << 3 << 3;
    QTest::newRow("p1 channel page 4 of a 4-channel model") << p1 << 3 << 4 << 0x0102 << 1 << -2;
    QTest::newRow("p1 421 firmware 11 device inputs 0011+7")
        << QStringList{"--model", "421", "--firmware", "11"} << 4 << 0xA << 0x0011 << 7 << 7;
    QTest::newRow("p1 421 firmware 11 device inputs 0011+9")
        << QStringList{"--model", "421", "--firmware", "11"} << 4 << 0xA << 0x0011 << 9 << -3;
    QTest::newRow("p0 channel settings 0100+82") << p0 << 3 << 1 << 0x0100 << 82 << 82;
    QTest::newRow("p0 clock and offset 00FE+4") << p0 << 16 << 0 << 0x00FE << 4 << 4;
    QTest::newRow("p0 channel settings past 0151") << p0 << 3 << 1 << 0x0100 << 83 << -3;
    QTest::newRow("p0 zero table 0160+20") << p0 << 3 << 0 << 0x0160 << 20 << 20;
    QTest::newRow("p0 0180 outside") << p0 << 3 << 0 << 0x0180 << 1 << -2;
    QTest::newRow("p0 options on device page") << p0 << 3 << 0xA << 0x0220 << 2 << 2;
    QTest::newRow("p0 live block 00F6+41") << p0 << 4 << 0xA << 0x00F6 << 41 << 41;
    QTest::newRow("p0 live block past 011E") << p0 << 4 << 0xA << 0x00F6 << 42 << -3;
    QTest::newRow("p0 flags and status 0030+8") << p0 << 4 << 0xA << 0x0030 << 8 << 8;
    QTest::newRow("p0 device code alone") << p0 << 4 << 0xA << 0x0010 << 2 << -3;
    QTest::newRow("p0 420 device inputs 0010+6") << plus0 << 4 << 0xA << 0x0010 << 6 << 6;
    QTest::newRow("p0 420 device inputs 0010+7") << plus0 << 4 << 0xA << 0x0010 << 7 << -3;
    QTest::newRow("p0 420 channel inputs 0020+13") << plus0 << 4 << 5 << 0x0020 << 13 << 13;
    QTest::newRow("p0 420 no live block on device page") << plus0 << 4 << 0xA << 0x00F6 << 1 << -2;
    QTest::newRow("count 0") << p1 << 3 << 0 << 0x0102 << 0 << -3;
    QTest::newRow("count 126") << p1 << 4 << 0 << 0x0020 << 126 << -3;
    QTest::newRow("function 6 not served") << p1 << 6 << 0 << 0x0102 << 1 << -1;
    QTest::newRow("archive function 12 not yet served") << p1 << 12 << 0 << 0 << 1 << -1;
    QTest::newRow("bootloader code") << QStringList{"--model", "999"} << 4 << 0xA << 0x0010 << 1 << 1;
    QTest::newRow("bootloader has no settings") << QStringList{"--model", "999"} << 3 << 0 << 0x0100 << 1 << -2;
}

void tst_sim::requestsAndExceptions()
{
    QFETCH(QStringList, options);
    QFETCH(int, function);
    QFETCH(int, page);
    QFETCH(int, reg);
    QFETCH(int, count);
    QFETCH(int, expected);
    START_SIM(sim, line, options);

    QByteArray request;
    if (function == 16)
        request = SimLine::writeRequest(kAddr, page, reg, Words(count, 0));
    else
        request = SimLine::readRequest(kAddr, quint8(function), page, reg, count);
    const QByteArray reply = line.transact(request, expected == 0 ? 300 : 1000);

    if (expected == 0) {
        QCOMPARE(reply, QByteArray());
    } else if (expected < 0) {
        QByteArray exc;
        exc.append(char(kAddr));
        exc.append(char(function | 0x80));
        exc.append(char(-expected));
        QCOMPARE(reply.toHex(' '), SimLine::withCrc(exc).toHex(' '));
    } else if (function == 16) {
        QCOMPARE(reply, SimLine::withCrc(request.left(6)));
    } else {
        QCOMPARE(SimLine::replyWords(reply).size(), expected);
    }
}

void tst_sim::otherAddressesAreIgnored()
{
    START_SIM(sim, line, (QStringList{"--address", "17"}));
    QCOMPARE(line.transact(SimLine::readRequest(255, 4, 0xA, 0x0010, 1), 200), QByteArray());
    QCOMPARE(SimLine::replyWords(line.transact(SimLine::readRequest(17, 4, 0xA, 0x0010, 1))), Words{404});
    // A broadcast write acts and is not answered.
    QCOMPARE(line.transact(SimLine::writeRequest(0, 0xA, 0x0200, {77}), 200), QByteArray());
    QCOMPARE(SimLine::replyWords(line.transact(SimLine::readRequest(17, 3, 0xA, 0x0200, 1))), Words{77});
}

void tst_sim::switchOffStopsAnswering_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("reg");
    QTest::newRow("detector 0800") << QStringList{"--model", "405", "--layout", "p0"} << 0x0800;
    QTest::newRow("bootloader 0005") << QStringList{"--model", "999"} << 0x0005;
}

void tst_sim::switchOffStopsAnswering()
{
    QFETCH(QStringList, options);
    QFETCH(int, reg);
    START_SIM(sim, line, options);
    const QByteArray off = SimLine::writeRequest(kAddr, 0xA, reg, {reg == 5 ? quint16(1) : quint16(0)});
    QCOMPARE(line.transact(off), SimLine::withCrc(off.left(6)));
    QCOMPARE(line.transact(SimLine::readRequest(kAddr, 4, 0xA, 0x0010, 1), 300), QByteArray());
    QCOMPARE(line.transact("ACTIV", 200), QByteArray());
    QVERIFY(sim.stop());
    QCOMPARE(sim.dump().counter("switched-off"), 1);
    QCOMPARE(sim.dump().counter("switch-offs"), 1);
}

void tst_sim::factorySettingsStoreAndRestore()
{
    START_SIM(sim, line, (QStringList{"--model", "404", "--layout", "p0"}));
    const auto threshold = [&line]() {
        return SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, 3, 1, 0x0105, 1))).value(0);
    };
    const quint16 original = threshold();
    QVERIFY(original != 0);

    auto write = [&line](int page, int reg, quint16 v) {
        const QByteArray w = SimLine::writeRequest(kAddr, page, reg, {v});
        return line.transact(w) == SimLine::withCrc(w.left(6));
    };
    QVERIFY(write(1, 0x0105, 150));
    QVERIFY(write(0xA, 0x0240, 0));   // commit
    QCOMPARE(threshold(), quint16(150));
    QVERIFY(write(0xA, 0x0252, 0));   // back to the factory settings
    QCOMPARE(threshold(), original);

    QVERIFY(write(1, 0x0105, 120));
    QVERIFY(write(0xA, 0x0250, 0));   // commit as the factory settings
    QVERIFY(write(1, 0x0105, 90));
    QVERIFY(write(0xA, 0x0252, 0));
    QCOMPARE(threshold(), quint16(120));
    QVERIFY(write(0xA, 0x0254, 0));   // the program leaves

    QVERIFY(sim.stop());
    const SimRegisterDump dump = sim.dump();
    QCOMPARE(dump.counter("commits"), 1);
    QCOMPARE(dump.counter("factory-stores"), 1);
    QCOMPARE(dump.counter("factory-restores"), 2);
    QCOMPARE(dump.counter("program-exits"), 1);
    QCOMPARE(dump.holding(1, 0x0105), std::optional<quint16>(120));
}

void tst_sim::clockFollowsWrittenTime_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("reg");   // first written register
    QTest::addColumn<double>("unit");
    QTest::newRow("p0 405 with UTC offset") << QStringList{"--model", "405", "--layout", "p0"} << 0x00FE << 1.0;
    QTest::newRow("p0 411 in 0.9375 s units") << QStringList{"--model", "411"} << 0x0100 << 0.9375;
    QTest::newRow("p1 412") << QStringList{"--model", "412"} << 0x00FE << 1.0;
}

void tst_sim::clockFollowsWrittenTime()
{
    QFETCH(QStringList, options);
    QFETCH(int, reg);
    QFETCH(double, unit);
    START_SIM(sim, line, options);
    const quint32 written = 1000000000u;  // 2001-09-09
    Words values;
    if (reg == 0x00FE)
        values << 10800 << 0;
    values << quint16(written & 0xFFFF) << quint16(written >> 16);
    QCOMPARE(line.transact(SimLine::writeRequest(kAddr, 0, reg, values)).size(), 8);

    QThread::msleep(1050);
    const Words w = SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, 3, 0xA, 0x0100, 2)));
    QCOMPARE(w.size(), 2);
    const quint32 now = quint32(w[0]) | (quint32(w[1]) << 16);
    const quint32 lo = written + 1;
    const quint32 hi = written + quint32(2.5 / unit) + 1;
    QVERIFY2(now >= lo && now <= hi, qPrintable(QString("clock %1, written %2").arg(now).arg(written)));
}

void tst_sim::temperatureCalibration()
{
    START_SIM(sim, line, (QStringList{"--model", "404", "--layout", "p0", "--steady"}));
    QCOMPARE(line.transact(SimLine::writeRequest(kAddr, 0xA, 0x0256, {3000})).size(), 8);
    const Words w = SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, 4, 0xA, 0x0100, 1)));
    QCOMPARE(w, Words{3000});
    QVERIFY(sim.stop());
    QCOMPARE(sim.dump().counter("temperature-calibrations"), 1);
}

void tst_sim::singleBitRegisters()
{
    START_SIM(sim, line, (QStringList{"--model", "404", "--layout", "p1"}));
    const auto options = [&line]() {
        return SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, 3, 0xA, 0x0220, 1))).value(0);
    };
    const auto flags = [&line]() {
        return SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, 3, 2, 0x0224, 1))).value(0);
    };
    const quint16 before = options();
    const quint16 flagsBefore = flags();
    // 0x0230 auto-zero of channel 2 (bit 3 of its flags); 0x0231 bit 1,
    // 0x0232 bit 3, 0x0233 bit 2 of the device options.
    QCOMPARE(line.transact(SimLine::writeRequest(kAddr, 2, 0x0230, {0, 1, 1, 0})).size(), 8);
    QCOMPARE(options(), quint16((before | 0x0002 | 0x0008) & ~0x0004));
    QCOMPARE(flags(), quint16(flagsBefore & ~0x0008));
}

void tst_sim::alarmStatusBits_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("function");  // where the status word is read
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("reg");
    QTest::addColumn<int>("expected");

    // CO thresholds 20, 100 and 200 ppm; 150 ppm raises alarms 1 and 2.
    QTest::newRow("p1 CO 150 ppm, channel status") << QStringList{"--model", "404", "--gas", "0=150"} << 4 << 0 << 0x0028 << 0x03;
    QTest::newRow("p1 CO 150 ppm, holding copy") << QStringList{"--model", "404", "--gas", "0=150"} << 3 << 0 << 0x0226 << 0x03;
    QTest::newRow("p1 CO 600 ppm, over the range") << QStringList{"--model", "404", "--gas", "0=600"} << 4 << 0 << 0x0028 << 0x27;
    QTest::newRow("p1 clean air") << QStringList{"--model", "404", "--steady"} << 4 << 0 << 0x0028 << 0;
    // Oxygen: threshold 1 (19.5 %) alarms on a falling value, 2 (23.5 %) on a rising one.
    QTest::newRow("p0 O2 18 % on the live block") << QStringList{"--model", "404", "--layout", "p0", "--gas", "2=18"} << 4 << 0xA << 0x0035 << 0x01;
    QTest::newRow("p0 O2 25 % in holding") << QStringList{"--model", "404", "--layout", "p0", "--gas", "2=25"} << 3 << 2 << 0x0223 << 0x02;
    QTest::newRow("p0 420 H2S 25 ppm, channel 1") << QStringList{"--model", "420", "--layout", "p0", "--gas", "1=25"} << 4 << 1 << 0x0023 << 0x03;
}

void tst_sim::alarmStatusBits()
{
    QFETCH(QStringList, options);
    QFETCH(int, function);
    QFETCH(int, page);
    QFETCH(int, reg);
    QFETCH(int, expected);
    START_SIM(sim, line, options);
    const Words w = SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, quint8(function), page, reg, 1)));
    QCOMPARE(w.size(), 1);
    QCOMPARE(int(w[0] & 0x3F), expected);
}

void tst_sim::exposureSignalRaisesAlarm()
{
    START_SIM(sim, line, (QStringList{"--model", "404", "--layout", "p1", "--steady", "--expose-channel", "3"}));
    const auto status = [&line]() {
        return SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, 4, 3, 0x0028, 1))).value(0, 0xFFFF);
    };
    QCOMPARE(status() & 0x07, 0);
    sim.toggleExposure();
    // Methane past threshold 2: alarms 1 and 2 at least.
    QTRY_COMPARE_WITH_TIMEOUT(status() & 0x03, 0x03, 3000);
    const Words conc = SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, 4, 3, 0x002D, 2)));
    QCOMPARE(conc.size(), 2);
    QVERIFY(wordsToFloat(conc[0], conc[1]) > 20.0f);
    sim.toggleExposure();
    QTRY_COMPARE_WITH_TIMEOUT(status() & 0x07, 0, 3000);
}

void tst_sim::seededConfigurationIsBelievable()
{
    START_SIM(sim, line, (QStringList{"--model", "404", "--layout", "p1", "--seed", "5", "--steady"}));
    struct Expect { const char *name; const char *formula; int unit; };
    const Expect channels[] = {{"CO-AF", "CO", 0}, {"H2S-A4", "H2S", 0}, {"O2-A3", "O2", 3}, {"DTK-4", "CH4", 2}};
    for (int k = 0; k < 4; ++k) {
        const Words w = SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, 3, k, 0x0102, 55)));
        QCOMPARE(w.size(), 55);
        QCOMPARE(int(w[0]), k);                    // switched on
        QCOMPARE(int(w[1] & 3), channels[k].unit); // displayed unit
        QByteArray name, formula;
        for (int i = 0; i < 3; ++i)
            name.append(char(w[0x011D - 0x0102 + i] & 0xFF)).append(char(w[0x011D - 0x0102 + i] >> 8));
        for (int i = 0; i < 5; ++i)
            formula.append(char(w[0x0120 - 0x0102 + i] & 0xFF)).append(char(w[0x0120 - 0x0102 + i] >> 8));
        QCOMPARE(QByteArray(name.constData()), QByteArray(channels[k].name));
        QCOMPARE(QByteArray(formula.constData()), QByteArray(channels[k].formula));
        const float thr1 = wordsToFloat(w[0x0108 - 0x0102], w[0x0109 - 0x0102]);
        const float thr2 = wordsToFloat(w[0x010A - 0x0102], w[0x010B - 0x0102]);
        QVERIFY(thr1 > 0 && thr2 > thr1);
        const Words live = SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, 4, k, 0x0020, 28)));
        const float conc = wordsToFloat(live[0x002D - 0x0020], live[0x002E - 0x0020]);
        QVERIFY2(k == 2 ? qAbs(conc - 20.9f) < 0.2f : conc < 0.5f, qPrintable(QString::number(conc)));
    }
    const Words dev = SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, 4, 0xA, 0x0010, 10)));
    QCOMPARE(dev.size(), 10);
    QCOMPARE(int(dev[0]), 404);
    QCOMPARE(int(dev[1]), 302);                           // firmware 3.02
    QVERIFY(dev[6] >= 50 && dev[6] <= 100);               // battery percent
    QVERIFY(dev[7] >= 3400 && dev[7] <= 4300);            // battery millivolts
    const float t = wordsToFloat(dev[4], dev[5]);
    QVERIFY(t > 15 && t < 30);
    const Words id = SimLine::replyWords(line.transact(SimLine::readRequest(kAddr, 3, 0xA, 0x012B, 5)));
    const quint32 serial = quint32(id[0]) | (quint32(id[1]) << 16);
    QVERIFY(serial > 5300000 && serial < 5400000);
    const quint32 produced = quint32(id[3]) | (quint32(id[4]) << 16);
    const qint64 age = QDateTime::currentSecsSinceEpoch() - produced;
    QVERIFY(age > 100 * 86400 && age < 800 * 86400);

    // The same seed gives the same detector.
    SimProcess twin;
    QVERIFY(twin.start({"--model", "404", "--layout", "p1", "--seed", "5", "--steady"}));
    SimLine twinLine;
    QVERIFY(twinLine.open(twin.portPath()));
    QCOMPARE(twinLine.transact(SimLine::readRequest(kAddr, 3, 0xA, 0x012B, 5)),
             line.transact(SimLine::readRequest(kAddr, 3, 0xA, 0x012B, 5)));
}

void tst_sim::faultKinds_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("kind");
    QTest::newRow("drop") << QStringList{"--drop-reply", "1"} << "drop";
    QTest::newRow("corrupt") << QStringList{"--corrupt-byte", "1"} << "corrupt";
    QTest::newRow("split") << QStringList{"--split-reply", "1", "--split-gap-ms", "80"} << "split";
    QTest::newRow("late") << QStringList{"--late-reply", "1", "--late-ms", "250"} << "late";
    QTest::newRow("exception") << QStringList{"--exception-reply", "1", "--exception-code", "4"} << "exception";
}

void tst_sim::faultKinds()
{
    QFETCH(QStringList, options);
    QFETCH(QString, kind);
    START_SIM(sim, line, options);
    // The wake-up word is never faulted.
    QCOMPARE(line.transact("ACTIV"), QByteArray("ACTIV"));

    const QByteArray request = SimLine::readRequest(kAddr, 3, 0, 0x0102, 10);
    QElapsedTimer t;
    t.start();
    line.send(request);
    const QByteArray first = line.receive(1000, 25);
    const qint64 elapsed = t.elapsed();
    if (kind == "drop") {
        QCOMPARE(first, QByteArray());
    } else if (kind == "corrupt") {
        QCOMPARE(first.size(), 25);
        QVERIFY(!SimLine::crcOk(first));
    } else if (kind == "split") {
        QVERIFY(first.size() > 0 && first.size() < 25);
        const QByteArray rest = line.receive(500, 25);
        QVERIFY2(first.size() + rest.size() == 25,
                 qPrintable(QStringLiteral("first %1, rest %2").arg(QString::fromLatin1(first.toHex(' ')),
                                                                    QString::fromLatin1(rest.toHex(' ')))));
        QVERIFY(SimLine::crcOk(first + rest));
    } else if (kind == "late") {
        QVERIFY2(elapsed >= 250, qPrintable(QString::number(elapsed)));
        QVERIFY(SimLine::crcOk(first));
    } else {
        QCOMPARE(first, SimLine::withCrc(QByteArray::fromHex("ff8304")));
    }
}

void tst_sim::faultsReproducibleBySeed()
{
    constexpr int kRequests = 20;
    const auto run = [](const QString &seed, QStringList *faults, QVector<QByteArray> *replies) {
        SimProcess sim;
        QVERIFY(sim.start({"--seed", seed, "--steady", "--drop-reply", "0.2", "--corrupt-byte", "0.2",
                           "--split-reply", "0.2", "--split-gap-ms", "5", "--late-reply", "0.2",
                           "--late-ms", "10", "--exception-reply", "0.2"}));
        SimLine line;
        QVERIFY(line.open(sim.portPath()));
        for (int i = 0; i < kRequests; ++i)
            replies->append(line.transact(SimLine::readRequest(kAddr, 3, i % 4, 0x0102, 3), 300, 40));
        QVERIFY(sim.stop());
        // Faults in the order of the requests, one entry per request.
        int request = -1;
        QStringList perRequest;
        for (int i = 0; i < kRequests; ++i)
            perRequest << QString();
        for (const SimLogEntry &e : sim.log()) {
            if (e.kind == "RX")
                ++request;
            else if (e.kind == "--" && e.note.startsWith("fault:") && request >= 0 && request < kRequests)
                perRequest[request] += e.note + ";";
        }
        *faults = perRequest;
    };
    QStringList a, b, c;
    QVector<QByteArray> ra, rb, rc;
    run("7", &a, &ra);
    run("7", &b, &rb);
    run("8", &c, &rc);
    QCOMPARE(a, b);
    QCOMPARE(ra, rb);
    QVERIFY(a != c);
    // Every kind of fault shows up in these requests at these rates.
    const QString all = a.join(' ');
    for (const char *k : {"dropped", "corrupted", "split", "late", "exception"})
        QVERIFY2(all.contains(k), k);
    // What the line delivered agrees with the log.
    for (int i = 0; i < kRequests; ++i) {
        if (a[i].contains("dropped"))
            QCOMPARE(ra[i], QByteArray());
        else if (a[i].contains("corrupted"))
            QVERIFY(!SimLine::crcOk(ra[i]));
        else if (a[i].isEmpty())
            QCOMPARE(SimLine::replyWords(ra[i]).size(), 3);
    }
}

void tst_sim::stopAfterRequests()
{
    START_SIM(sim, line, (QStringList{"--stop-after", "2"}));
    const QByteArray request = SimLine::readRequest(kAddr, 4, 0xA, 0x0010, 1);
    QCOMPARE(line.transact("ACTIV"), QByteArray("ACTIV"));
    QCOMPARE(SimLine::replyWords(line.transact(request)), Words{404});
    QCOMPARE(SimLine::replyWords(line.transact(request)), Words{404});
    QCOMPARE(line.transact(request, 300), QByteArray());
    QCOMPARE(line.transact("ACTIV", 200), QByteArray());
}

void tst_sim::hangUp()
{
    START_SIM(sim, line, (QStringList{"--hangup-after", "1"}));
    const QByteArray request = SimLine::readRequest(kAddr, 4, 0xA, 0x0010, 1);
    QCOMPARE(SimLine::replyWords(line.transact(request)), Words{404});
    QVERIFY(line.send(request));
    QVERIFY(line.hungUp(2000));
    QVERIFY(sim.waitForExit(3000));
    QVERIFY(!notesOf(sim.log(), "fault: line hung up").isEmpty());
    QCOMPARE(sim.dump().counter("requests"), 1);
}

void tst_sim::bytePacing()
{
    START_SIM(sim, line, (QStringList{"--baud", "38400"}));
    const QByteArray request = SimLine::readRequest(kAddr, 3, 0, 0x0102, 55);
    QElapsedTimer t;
    t.start();
    const QByteArray reply = line.transact(request, 1000, 30);
    const qint64 paced = t.elapsed() - 30;  // less the closing silence
    QCOMPARE(reply.size(), 115);
    // 115 + 8 bytes at ten bits a byte: 32 ms on the wire.
    QVERIFY2(paced >= 32, qPrintable(QString::number(paced)));
    QVERIFY2(paced < 32 + 400, qPrintable(QString::number(paced)));
}

void tst_sim::symbolicLink()
{
    QTemporaryDir dir;
    const QString link = dir.filePath("detector");
    SimProcess sim;
    QVERIFY(sim.start({"--link", link}));
    QCOMPARE(QFileInfo(link).symLinkTarget(), sim.portPath());
    SimLine line;
    QVERIFY(line.open(link));
    QCOMPARE(line.transact("ACTIV"), QByteArray("ACTIV"));
    QVERIFY(sim.stop());
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
}

QTEST_GUILESS_MAIN(tst_sim)
#include "tst_sim.moc"
