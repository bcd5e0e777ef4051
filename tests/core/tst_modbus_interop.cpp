// The transaction engine against an independent Modbus RTU implementation:
// a libmodbus server plays a standard slave on the master side of a
// pseudo-terminal, the engine talks to it through QSerialPort on the slave
// side. It proves the frames, CRCs, framing by silence and exception replies
// agree with a standard slave, and that the 5-byte pre-send does no harm.
#include "link_test_command.h"

#include <QtTest>

#include <modbus.h>

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kSlaveAddress = 17;
constexpr int kHoldingStart = 0xA200; // device page, holding registers
constexpr int kHoldingCount = 16;
constexpr int kInputStart = 0xA010;   // device page, input registers
constexpr int kInputCount = 8;

class ModbusRtuServer
{
public:
    ModbusRtuServer()
    {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        char name[128];
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0
            || ptsname_r(master_, name, sizeof name) != 0)
            return;
        slavePath = QString::fromLocal8Bit(name);
        slave_ = ::open(name, O_RDWR | O_NOCTTY); // keeps the line up between opens
        termios tio{};
        tcgetattr(slave_, &tio);
        cfmakeraw(&tio);
        tcsetattr(slave_, TCSANOW, &tio);

        ctx_ = modbus_new_rtu("/dev/null", 115200, 'N', 8, 1);
        modbus_set_slave(ctx_, kSlaveAddress);
        modbus_set_socket(ctx_, master_);
        // A standard slave drops a frame interrupted by silence: here after
        // 5 ms without the next byte.
        modbus_set_byte_timeout(ctx_, 0, 5000);
        modbus_set_indication_timeout(ctx_, 0, 50000);
        mapping_ = modbus_mapping_new_start_address(0, 0, 0, 0, kHoldingStart, kHoldingCount,
                                                    kInputStart, kInputCount);
        for (int i = 0; i < kHoldingCount; ++i)
            mapping_->tab_registers[i] = quint16(0x1100 + i);
        for (int i = 0; i < kInputCount; ++i)
            mapping_->tab_input_registers[i] = quint16(0x2200 + i);
        mapping_->tab_input_registers[0] = 405; // the model code register
    }

    ~ModbusRtuServer()
    {
        running_ = false;
        if (thread_.joinable())
            thread_.join();
        if (mapping_)
            modbus_mapping_free(mapping_);
        if (ctx_)
            modbus_free(ctx_); // not modbus_close: the descriptor is ours
        if (slave_ >= 0)
            ::close(slave_);
        if (master_ >= 0)
            ::close(master_);
    }

    bool isReady() const { return ctx_ && mapping_ && slave_ >= 0; }

    void start()
    {
        running_ = true;
        thread_ = std::thread([this] {
            quint8 query[MODBUS_RTU_MAX_ADU_LENGTH];
            while (running_) {
                const int rc = modbus_receive(ctx_, query);
                // Broken frames (the pre-send among them) and idle periods
                // come back as errors; the server just listens again.
                if (rc > 0) {
                    std::lock_guard<std::mutex> lock(mutex_);
                    modbus_reply(ctx_, query, rc, mapping_);
                    ++requestsServed;
                }
            }
        });
    }

    quint16 holding(int reg)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return mapping_->tab_registers[reg - kHoldingStart];
    }

    QString slavePath;
    std::atomic<int> requestsServed{0};

private:
    int master_ = -1;
    int slave_ = -1;
    modbus_t *ctx_ = nullptr;
    modbus_mapping_t *mapping_ = nullptr;
    std::atomic<bool> running_{false};
    std::thread thread_;
    std::mutex mutex_;
};

} // namespace

class tst_modbus_interop : public QObject
{
    Q_OBJECT

    ModbusRtuServer *server = nullptr;

    template <class C>
    bool connect(C &cmd)
    {
        cmd.modbus_address = kSlaveAddress;
        cmd.device_code = 405;
        cmd.port.setPortName(server->slavePath);
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

private slots:
    void init()
    {
        server = new ModbusRtuServer;
        QVERIFY(server->isReady());
        server->start();
    }

    void cleanup()
    {
        delete server;
        server = nullptr;
    }

    void readRegistersFrames_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("count");
        QTest::addColumn<QVector<quint16>>("expected");
        QTest::newRow("holding") << 3 << 0x0202 << 3 << QVector<quint16>{0x1102, 0x1103, 0x1104};
        QTest::newRow("input") << 4 << 0x0010 << 2 << QVector<quint16>{405, 0x2201};
        QVector<quint16> all;
        for (int i = 0; i < kHoldingCount; ++i)
            all.append(quint16(0x1100 + i));
        QTest::newRow("whole holding block") << 3 << 0x0200 << kHoldingCount << all;
    }

    // The register values arrive at the register-map decoder in order.
    void readRegistersFrames()
    {
        QFETCH(int, kind);
        QFETCH(int, reg);
        QFETCH(int, count);
        QFETCH(QVector<quint16>, expected);
        LinkTestCommand cmd;
        QVERIFY(connect(cmd));
        QCOMPARE(cmd.Transmit_command(quint8(kind), 170, quint16(reg), quint16(count)), quint16(2));
        QCOMPARE(cmd.decode_calls.size(), 1);
        QCOMPARE(cmd.decode_calls[0].function, kind);
        QCOMPARE(int(cmd.decode_calls[0].page), 0xA);
        QCOMPARE(int(cmd.decode_calls[0].reg), reg);
        QCOMPARE(cmd.decode_calls[0].words, expected);
        // The pre-send went before it, yet the first request was served.
        QCOMPARE(server->requestsServed.load(), 1);
    }

    void writeAndReadBack()
    {
        LinkTestCommand cmd;
        QVERIFY(connect(cmd));
        cmd.encode_first_value = 0x7A10;
        QCOMPARE(cmd.Transmit_command(16, 170, 0x0203, 3), quint16(2));
        QCOMPARE(server->holding(kHoldingStart + 2), quint16(0x1102));
        QCOMPARE(server->holding(kHoldingStart + 3), quint16(0x7A10));
        QCOMPARE(server->holding(kHoldingStart + 4), quint16(0x7A11));
        QCOMPARE(server->holding(kHoldingStart + 5), quint16(0x7A12));
        QCOMPARE(server->holding(kHoldingStart + 6), quint16(0x1106));

        QCOMPARE(cmd.Transmit_command(3, 170, 0x0202, 5), quint16(2));
        QCOMPARE(cmd.decode_calls.size(), 1);
        QCOMPARE(cmd.decode_calls[0].words, (QVector<quint16>{0x1102, 0x7A10, 0x7A11, 0x7A12, 0x1106}));
        QCOMPARE(server->requestsServed.load(), 2);
    }

    void unmappedAddressGivesException2_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("reg");
        QTest::newRow("holding on channel page") << 3 << 0 << 0x0200;
        QTest::newRow("input past the block") << 4 << 170 << 0x0017;
        QTest::newRow("write past the block") << 16 << 170 << 0x020F;
    }

    void unmappedAddressGivesException2()
    {
        QFETCH(int, kind);
        QFETCH(int, page);
        QFETCH(int, reg);
        LinkTestCommand cmd;
        QVERIFY(connect(cmd));
        QCOMPARE(cmd.Transmit_command(quint8(kind), quint8(page), quint16(reg), 2), quint16(64));
        QCOMPARE(server->requestsServed.load(), 10); // every attempt was answered
        QVERIFY(cmd.decode_calls.isEmpty());
    }

    // With the register maps of layout p1: device-page registers read into
    // the device image, written from it and read back.
    void readIntoTheDeviceImage()
    {
        Command cmd;
        QVERIFY(connect(cmd));
        cmd.protocol_version = 1;
        cmd.device_code = 0;
        QCOMPARE(cmd.Transmit_command(4, 170, 0x0010, 2), quint16(2));
        QCOMPARE(cmd.device_code, quint16(405));
        QCOMPARE(cmd.firmware_version, quint16(0x2201));

        QCOMPARE(cmd.Transmit_command(3, 170, 0x0200, 7), quint16(2));
        const DeviceBlockP1 &d = cmd.p1.device;
        QCOMPARE(d.sound_pwm, quint16(0x1100));
        QCOMPARE(d.led_pulse_time, quint16(0x1101));
        QCOMPARE(d.led_period, quint16(0x1102));
        QCOMPARE(d.battery_max, quint16(0x1103));
        QCOMPARE(d.battery_min, quint16(0x1104));
        QCOMPARE(d.battery_limit_1, quint16(0x1105));
        QCOMPARE(d.battery_limit_2, quint16(0x1106));
        QCOMPARE(server->requestsServed.load(), 2);
    }

    void writeFromTheDeviceImageAndReadBack()
    {
        Command cmd;
        QVERIFY(connect(cmd));
        cmd.protocol_version = 1;
        DeviceBlockP1 &d = cmd.p1.device;
        d.sound_pwm = 300;
        d.led_pulse_time = 20;
        d.led_period = 5000;
        d.battery_max = 4200;
        d.battery_min = 3300;
        d.battery_limit_1 = 3500;
        d.battery_limit_2 = 3400;
        QCOMPARE(cmd.Transmit_command(16, 170, 0x0200, 7), quint16(2));
        QCOMPARE(server->holding(0xA200), quint16(300));
        QCOMPARE(server->holding(0xA203), quint16(4200));
        QCOMPARE(server->holding(0xA206), quint16(3400));
        QCOMPARE(server->holding(0xA207), quint16(0x1107)); // untouched

        const DeviceBlockP1 written = d;
        std::memset(&d, 0, sizeof d);
        QCOMPARE(cmd.Transmit_command(3, 170, 0x0200, 7), quint16(2));
        QCOMPARE(d.sound_pwm, written.sound_pwm);
        QCOMPARE(d.led_pulse_time, written.led_pulse_time);
        QCOMPARE(d.led_period, written.led_period);
        QCOMPARE(d.battery_max, written.battery_max);
        QCOMPARE(d.battery_min, written.battery_min);
        QCOMPARE(d.battery_limit_1, written.battery_limit_1);
        QCOMPARE(d.battery_limit_2, written.battery_limit_2);
    }

    void registerTheSlaveLacks()
    {
        Command cmd;
        QVERIFY(connect(cmd));
        cmd.protocol_version = 1;
        cmd.p1.device.archive_interval[0] = 0x5A;
        // The map knows 0x0210 (archive settings); this slave does not.
        QCOMPARE(cmd.Transmit_command(3, 170, 0x0210, 1), quint16(64));
        QCOMPARE(cmd.p1.device.archive_interval[0], quint8(0x5A));
        QCOMPARE(server->requestsServed.load(), 10);
    }

    void model404WithoutPreSend()
    {
        LinkTestCommand cmd;
        QVERIFY(connect(cmd));
        cmd.device_code = 404;
        QCOMPARE(cmd.Transmit_command(4, 170, 0x0010, 1), quint16(2));
        QCOMPARE(cmd.decode_calls.value(0).words, QVector<quint16>{405});
        QCOMPARE(server->requestsServed.load(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_modbus_interop)
#include "tst_modbus_interop.moc"
