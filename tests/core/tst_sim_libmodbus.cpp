// A standard Modbus RTU master (libmodbus) polls the detector simulator:
// functions 3, 4 and 16 at an ordinary slave address, and the exception
// replies as libmodbus reports them.
#include "sim_process.h"

#include <QtTest>
#include <cerrno>
#include <modbus.h>

namespace {

struct Master
{
    modbus_t *ctx = nullptr;
    ~Master()
    {
        if (ctx) {
            modbus_close(ctx);
            modbus_free(ctx);
        }
    }
};

} // namespace

class tst_sim_libmodbus : public QObject
{
    Q_OBJECT

private slots:
    void pollsFunctions_data();
    void pollsFunctions();
};

void tst_sim_libmodbus::pollsFunctions_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("settingsReg");   // first register of a channel's settings block
    QTest::addColumn<int>("settingsCount");
    QTest::addColumn<int>("liveReg");       // input registers read each poll
    QTest::addColumn<int>("liveCount");
    QTest::addColumn<int>("livePage");
    QTest::newRow("405 p0") << "405" << "p0" << 0x0100 << 82 << 0x00F6 << 41 << 0xA;
    QTest::newRow("420 p0") << "420" << "p0" << 0x0100 << 82 << 0x0020 << 13 << 2;
    QTest::newRow("404 p1") << "404" << "p1" << 0x0102 << 55 << 0x0020 << 28 << 2;
}

void tst_sim_libmodbus::pollsFunctions()
{
    QFETCH(QString, model);
    QFETCH(QString, layout);
    QFETCH(int, settingsReg);
    QFETCH(int, settingsCount);
    QFETCH(int, liveReg);
    QFETCH(int, liveCount);
    QFETCH(int, livePage);

    SimProcess sim;
    QVERIFY2(sim.start({"--model", model, "--layout", layout, "--address", "17"}), qPrintable(sim.errorString()));
    Master m;
    m.ctx = modbus_new_rtu(sim.portPath().toLocal8Bit().constData(), 115200, 'N', 8, 1);
    QVERIFY(m.ctx);
    QCOMPARE(modbus_set_slave(m.ctx, 17), 0);
    QCOMPARE(modbus_connect(m.ctx), 0);
    modbus_set_response_timeout(m.ctx, 1, 0);

    // Function 4: the model code on the device page.
    uint16_t code = 0;
    QCOMPARE(modbus_read_input_registers(m.ctx, 0xA010, 1, &code), 1);
    QCOMPARE(int(code), model.toInt());

    // Polling: the live registers, then the whole settings block of channel 2.
    uint16_t live[64] = {};
    for (int poll = 0; poll < 5; ++poll)
        QCOMPARE(modbus_read_input_registers(m.ctx, (livePage << 12) | liveReg, liveCount, live), liveCount);
    uint16_t settings[125] = {};
    QCOMPARE(modbus_read_registers(m.ctx, 0x2000 | settingsReg, settingsCount, settings), settingsCount);
    const int pageIndex = 0x0102 - settingsReg;
    QCOMPARE(int(settings[pageIndex]), 2);  // channel 2 switched on

    // Function 16: two thresholds of channel 2, read back.
    const int thresholdReg = layout == "p0" ? 0x0105 : 0x0108;
    const uint16_t thresholds[2] = {0x1234, 0x0042};
    QCOMPARE(modbus_write_registers(m.ctx, 0x2000 | thresholdReg, 2, thresholds), 2);
    uint16_t back[2] = {};
    QCOMPARE(modbus_read_registers(m.ctx, 0x2000 | thresholdReg, 2, back), 2);
    QCOMPARE(int(back[0]), 0x1234);
    QCOMPARE(int(back[1]), 0x0042);

    // Exceptions as libmodbus sees them.
    uint16_t dummy[130] = {};
    QCOMPARE(modbus_read_registers(m.ctx, 0x2190, 1, dummy), -1);
    QCOMPARE(errno, int(EMBXILADD));
    QCOMPARE(modbus_read_registers(m.ctx, 0x2000 | settingsReg, settingsCount + 1, dummy), -1);
    QCOMPARE(errno, int(EMBXILVAL));
    QCOMPARE(modbus_write_registers(m.ctx, 0xA999, 1, thresholds), -1);
    QCOMPARE(errno, int(EMBXILADD));

    QVERIFY(sim.stop());
    const SimRegisterDump dump = sim.dump();
    QCOMPARE(dump.holding(2, thresholdReg), std::optional<quint16>(0x1234));
    QCOMPARE(dump.holding(2, thresholdReg + 1), std::optional<quint16>(0x0042));
    QCOMPARE(dump.counter("requests"), 12);
}

QTEST_GUILESS_MAIN(tst_sim_libmodbus)
#include "tst_sim_libmodbus.moc"
