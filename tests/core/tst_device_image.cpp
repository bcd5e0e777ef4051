// The device image as a file format, its value tables and derived values.
#include "command.h"
#include "value_tables.h"

#include <QtTest>
#include <cmath>
#include <cstring>

namespace {

// Sparse fixture: (offset, bytes) pairs; every other byte is zero.
struct Bytes
{
    int offset;
    const char *hex;
};

QByteArray fixture(int size, std::initializer_list<Bytes> parts)
{
    QByteArray out(size, '\0');
    for (const Bytes &p : parts) {
        const QByteArray b = QByteArray::fromHex(p.hex);
        out.replace(p.offset, b.size(), b);
    }
    return out;
}

template <typename T>
QByteArray bytesOf(const T &value)
{
    return QByteArray(reinterpret_cast<const char *>(&value), int(sizeof value));
}

} // namespace

class tst_device_image : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        Command cmd;
        QCOMPARE(cmd.protocol_version, qint16(1));
        QCOMPARE(cmd.device_code, quint16(0));
        QCOMPARE(cmd.channel_count, quint16(1));
        QCOMPARE(cmd.channel_off_code, qint16(170));
        QCOMPARE(cmd.device_time_unit_s, 0.9375);
        QCOMPARE(cmd.conversion_factor_mas[0], 1.0);
        QCOMPARE(cmd.conversion_factor_mas[9], 0.0);
        QCOMPARE(bytesOf(cmd.p0), QByteArray(2812, '\0'));
        QCOMPARE(bytesOf(cmd.p1), QByteArray(4316, '\0'));
    }

    // Known values in both areas produce the bytes of the configuration file.
    void layoutP0Bytes()
    {
        Command cmd;
        ChannelRecordP0 &ch = cmd.p0.channel[1];
        ch.channel_page = 1;
        ch.display_format = 0x0456;
        ch.molecular_weight = 1.5f;
        ch.pga_index = 2;
        ch.rload_index = 3;
        ch.rgain_index = 4;
        ch.rf_index = 5;
        std::memcpy(ch.gas_formula, "CH4", 3);
        ch.channel_flags = 0x1234;
        ch.last_calibration_time = 0x01020304;
        ch.temp_table_coef[9] = -2.0f;
        ch.sensor_config = 0xBEEF;
        QCOMPARE(bytesOf(ch), fixture(232, {{0, "0100 5604 0000c03f"},
                                            {16, "02030405"},
                                            {27, "434834"},
                                            {38, "3412"},
                                            {112, "04030201"},
                                            {212, "000000c0"},
                                            {222, "efbe"}}));
        cmd.p0.device.device_options = 0x0C02;
        cmd.p0.device.archive_interval[0] = 5;
        cmd.p0.device.archive_interval[1] = 30;
        cmd.p0.device.device_time = 0x11223344;
        cmd.p0.device.temperature_c = -5.5f;
        cmd.p0.device.utc_offset_s = -3600;
        QCOMPARE(bytesOf(cmd.p0.device), fixture(84, {{0, "020c"}, {26, "051e"}, {36, "44332211"}, {48, "0000b0c0"}, {64, "f0f1ffff"}}));
        cmd.p0.zero_table[9].zero_table_value[9] = 0x0102;
        cmd.p0.trailer.device_language = 1;
        const QByteArray area = bytesOf(cmd.p0);
        QCOMPARE(area.mid(232, 2), QByteArray::fromHex("0100"));
        QCOMPARE(area.mid(2320, 2), QByteArray::fromHex("020c"));
        QCOMPARE(area.mid(2802, 2), QByteArray::fromHex("0201"));
        QCOMPARE(area.mid(2804, 2), QByteArray::fromHex("0100"));
    }

    void layoutP1Bytes()
    {
        Command cmd;
        ChannelRecordP1 &ch = cmd.p1.channel[9];
        ch.channel_page = 9;
        ch.formula = 1;
        ch.sensor_position = 2;
        std::memcpy(ch.sensor_name, "PID", 3);
        std::memcpy(ch.gas_formula, "C6H6", 4);
        ch.channel_flags = 0x00010208;
        ch.alarm_threshold_1 = 20.0f;
        ch.zero_table_value[9] = 0xABCD;
        ch.sensor_humidity = 1.0f;
        QCOMPARE(bytesOf(ch), fixture(420, {{0, "0900"},
                                            {6, "0102"},
                                            {28, "504944"},
                                            {35, "43364836"},
                                            {48, "08020100"},
                                            {112, "0000a041"},
                                            {310, "cdab"},
                                            {392, "0000803f"}}));
        cmd.p1.device.device_options = 0x0000A400;
        cmd.p1.device.gps_config = 0x03000001;
        cmd.p1.device.pressure = 720.0f;
        QCOMPARE(bytesOf(cmd.p1.device), fixture(108, {{0, "00a40000"}, {72, "00003444"}, {92, "01000003"}}));
        cmd.p1.trailer.device_language = 1;
        const QByteArray area = bytesOf(cmd.p1);
        QCOMPARE(area.mid(9 * 420, 2), QByteArray::fromHex("0900"));
        QCOMPARE(area.mid(4200, 4), QByteArray::fromHex("00a40000"));
        QCOMPARE(area.mid(4308, 2), QByteArray::fromHex("0100"));
    }

    void discreteness_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("result");
        QTest::newRow("0x0020 displayed") << 0x0020 << 0 << 100;
        QTest::newRow("0x0020 base") << 0x0020 << 1 << 1;
        QTest::newRow("0x00C0 base") << 0x00C0 << 1 << 1000;
        QTest::newRow("0x0010 displayed") << 0x0010 << 0 << 10;
        QTest::newRow("0x0030 displayed") << 0x0030 << 0 << 1000;
        QTest::newRow("other bits ignored") << 0xFF0F << 0 << 1;
        QTest::newRow("which 2") << 0xFFFF << 2 << 1;
        QTest::newRow("which -1") << 0xFFFF << -1 << 1;
    }
    void discreteness()
    {
        QFETCH(int, format);
        QFETCH(int, which);
        QFETCH(int, result);
        QCOMPARE(int(calculating_the_discreteness(quint16(format), which)), result);
    }

    // Base unit (bits 2-3) and displayed unit (bits 0-1): 0 ppm, 1 mg/m3, 2 %LEL, 3 %VOL.
    void conversionFactor_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("base");
        QTest::addColumn<int>("shown");
        QTest::addColumn<float>("m");
        QTest::addColumn<float>("l");
        QTest::addColumn<double>("factor");
        const double K = double(11.117779731750488f);
        for (int layout : {0, 1}) {
            const double k = layout == 0 ? K : 1.0;
            const QByteArray p = layout == 0 ? "p0 " : "p1 ";
            auto row = [&](const char *name) -> QTestData & { return QTest::newRow((p + name).constData()) << layout; };
            for (int u = 0; u < 4; ++u)
                row(qPrintable(QStringLiteral("same unit %1").arg(u))) << u << u << 0.0f << 0.0f << 1.0;
            row("ppm->mg") << 0 << 1 << 2.5f << 4.4f << 2.5;
            row("ppm->mg M=0") << 0 << 1 << 0.0f << 4.4f << 1.0;
            row("ppm->LEL") << 0 << 2 << 2.5f << 4.4f << 1e-2 / double(4.4f);
            row("ppm->LEL L=0") << 0 << 2 << 2.5f << 0.0f << 1.0;
            row("ppm->VOL whatever M and L") << 0 << 3 << 0.0f << 0.0f << 1e-4;
            row("mg->ppm") << 1 << 0 << 2.5f << 4.4f << 0.4;
            row("mg->ppm M=0") << 1 << 0 << 0.0f << 4.4f << 1.0;
            row("mg->LEL") << 1 << 2 << 2.5f << 4.4f << (1.0 / (2.5 * k * 1e4)) * (100.0 / double(4.4f));
            row("mg->LEL M=0") << 1 << 2 << 0.0f << 4.4f << 1.0;
            row("mg->LEL L=0") << 1 << 2 << 2.5f << 0.0f << 1.0;
            row("mg->VOL M=1") << 1 << 3 << 1.0f << 0.0f << 1.0 / (k * 1e4);
            row("mg->VOL M=0") << 1 << 3 << 0.0f << 4.4f << 1.0;
            row("LEL->ppm") << 2 << 0 << 2.5f << 4.4f << double(4.4f) * 100.0;
            row("LEL->ppm L=0") << 2 << 0 << 2.5f << 0.0f << 1.0;
            row("LEL->mg") << 2 << 1 << 2.5f << 4.4f << 2.5 * k * 1e4 * double(4.4f) / 100.0;
            row("LEL->mg M=0") << 2 << 1 << 0.0f << 4.4f << 1.0;
            row("LEL->mg L=0") << 2 << 1 << 2.5f << 0.0f << 1.0;
            row("LEL->VOL") << 2 << 3 << 2.5f << 4.4f << double(4.4f) / 100.0;
            row("LEL->VOL L=0") << 2 << 3 << 2.5f << 0.0f << 1.0;
            row("VOL->ppm") << 3 << 0 << 0.0f << 0.0f << 1e4;
            row("VOL->mg") << 3 << 1 << 2.5f << 4.4f << 2.5 * k * 1e4;
            row("VOL->mg M=0") << 3 << 1 << 0.0f << 4.4f << 1.0;
            row("VOL->LEL") << 3 << 2 << 2.5f << 4.4f << 100.0 / double(4.4f);
            row("VOL->LEL L=0") << 3 << 2 << 2.5f << 0.0f << 1.0;
            row("VOL->LEL L=NaN") << 3 << 2 << 2.5f << std::numeric_limits<float>::quiet_NaN() << 1.0;
        }
    }
    void conversionFactor()
    {
        QFETCH(int, layout);
        QFETCH(int, base);
        QFETCH(int, shown);
        QFETCH(float, m);
        QFETCH(float, l);
        QFETCH(double, factor);
        Command cmd;
        cmd.protocol_version = qint16(layout);
        const quint16 format = quint16(0x00C0 | base << 2 | shown); // decimals do not matter
        if (layout == 0) {
            cmd.p0.channel[4].display_format = format;
            cmd.p0.channel[4].molecular_weight = m;
            cmd.p0.channel[4].lel_coefficient = l;
        } else {
            cmd.p1.channel[4].display_format = format;
            cmd.p1.channel[4].molecular_weight = m;
            cmd.p1.channel[4].lel_coefficient = l;
        }
        const float got = cmd.UpdateConversionFactor(4);
        QVERIFY2(std::fabs(double(got) - factor) <= std::fabs(factor) * 1e-6,
                 qPrintable(QStringLiteral("%1 instead of %2").arg(double(got), 0, 'g', 9).arg(factor, 0, 'g', 9)));
    }

    void conversionFactorOutsideLayoutsAndChannels()
    {
        Command cmd;
        cmd.protocol_version = 2;
        cmd.p0.channel[0].display_format = 0x000C; // %VOL shown as ppm in either layout
        cmd.p1.channel[0].display_format = 0x000C;
        QCOMPARE(cmd.UpdateConversionFactor(0), 1.0f);
        cmd.protocol_version = 1;
        QCOMPARE(cmd.UpdateConversionFactor(0), 1e4f);
        QCOMPARE(cmd.UpdateConversionFactor(10), 1.0f);
        QCOMPARE(cmd.UpdateConversionFactor(-1), 1.0f);
    }

    void inputCountRow_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("firmware");
        QTest::addColumn<int>("deviceInputs");
        for (int model : {404, 405, 406, 411, 412, 420, 430})
            QTest::newRow(qPrintable(QString::number(model))) << model << 11 << 9;
        QTest::newRow("421 firmware 11") << 421 << 11 << 7;
        QTest::newRow("421 firmware 12") << 421 << 12 << 9;
        QTest::newRow("unknown model") << 999 << 0 << 7;
    }
    void inputCountRow()
    {
        QFETCH(int, model);
        QFETCH(int, firmware);
        QFETCH(int, deviceInputs);
        Command cmd;
        cmd.device_code = quint16(model);
        cmd.firmware_version = quint16(firmware);
        const int row = cmd.count_reg_fw_Protocol_2();
        QCOMPARE(int(Command::count_reg_fw[row][1]), deviceInputs);
        QCOMPARE(int(Command::count_reg_fw[row][0]), 55);
    }

    void clockFromPc_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<double>("unit");
        QTest::newRow("p0 M1 time unit") << 0 << 0.9375;
        QTest::newRow("p1 seconds") << 1 << 1.0;
    }
    void clockFromPc()
    {
        QFETCH(int, layout);
        QFETCH(double, unit);
        Command cmd;
        cmd.protocol_version = qint16(layout);
        cmd.device_time_unit_s = unit;
        const qint64 before = QDateTime::currentSecsSinceEpoch();
        cmd.SetDeviceClockFromPc();
        const qint64 after = QDateTime::currentSecsSinceEpoch();
        const quint32 t = layout ? cmd.p1.device.device_time : cmd.p0.device.device_time;
        QVERIFY(t >= quint32(double(before) / unit) && t <= quint32(double(after) / unit));
        const qint32 offset = layout ? cmd.p1.device.utc_offset_s : cmd.p0.device.utc_offset_s;
        QCOMPARE(offset, QDateTime::currentDateTime().offsetFromUtc());
        // The other layout's area is left as it was.
        QCOMPARE(layout ? cmd.p0.device.device_time : cmd.p1.device.device_time, 0u);
    }

    void valueTables()
    {
        QCOMPARE(QString(Rgain_STR[26]), QStringLiteral("RGAIN_512K"));
        QCOMPARE(QString(Rgain_PRO_STR[11]), QStringLiteral("RGAIN_100K"));
        QCOMPARE(QString(PGA_mas[1]), QStringLiteral("PGA_1.5"));
        QCOMPARE(QString(UnitMeasure[1]), QStringLiteral("mg/m3"));
        QCOMPARE(QString(GPS_Type_start_mas[3]), QStringLiteral("Hot"));
        QCOMPARE(login_noname, QStringLiteral("Noname"));
        // A coded value this program does not know has no text.
        QCOMPARE(valueTableEntry(RF_STR, 7), "RF_1M");
        QVERIFY(valueTableEntry(RF_STR, 8) == nullptr);
        QVERIFY(valueTableEntry(RF_STR, -1) == nullptr);
    }
};

QTEST_GUILESS_MAIN(tst_device_image)
#include "tst_device_image.moc"
