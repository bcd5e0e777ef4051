// Reading: register values of function 3 and 4 replies into the device
// image, per layout and model, with the block boundaries and result codes.
#include "register_io.h"

#include <QtTest>
#include <cstring>
#include <functional>

using Check = std::function<void(const Command &)>;
Q_DECLARE_METATYPE(Check)

namespace {

QVector<quint16> ramp(int n, quint16 first = 1)
{
    QVector<quint16> w;
    for (int i = 0; i < n; ++i)
        w.append(quint16(first + i));
    return w;
}

float asFloat(quint16 lo, quint16 hi)
{
    const quint32 bits = quint32(hi) << 16 | lo;
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

QByteArray bytesOf(const void *p, int n) { return QByteArray(static_cast<const char *>(p), n); }

} // namespace

class tst_register_map_read : public QObject
{
    Q_OBJECT

    void addColumns()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("reg");
        QTest::addColumn<QVector<quint16>>("words");
        QTest::addColumn<int>("result");
        QTest::addColumn<Check>("check");
    }

    void run(int layout)
    {
        QFETCH(int, model);
        QFETCH(int, function);
        QFETCH(int, page);
        QFETCH(int, reg);
        QFETCH(QVector<quint16>, words);
        QFETCH(int, result);
        QFETCH(Check, check);
        Command cmd;
        cmd.protocol_version = qint16(layout);
        cmd.device_code = quint16(model);
        // Every byte the decode does not own stays 0xA5: a stray store shows.
        std::memset(&cmd.p0, 0xA5, sizeof cmd.p0);
        std::memset(&cmd.p1, 0xA5, sizeof cmd.p1);
        // Records scale their concentrations by 10 (one decimal of the base unit).
        for (int k = 0; k < 10; ++k) {
            cmd.p0.channel[k].discreteness_base = 10;
            cmd.p1.channel[k].discreteness_base = 10;
        }
        QCOMPARE(int(decodeRegisters(cmd, function, quint8(page), quint16(reg), words)), result);
        check(cmd);
    }

private slots:
    void layoutP0_data()
    {
        addColumns();
        const Check none = [](const Command &) {};

        QTest::newRow("device time on page 3 touches no record")
            << 404 << 3 << 3 << 0x0100 << QVector<quint16>{0x5678, 0x1234} << 2
            << Check([](const Command &c) {
                   QCOMPARE(c.p0.device.device_time, 0x12345678u);
                   // channel_page of record 3 still holds the fill pattern
                   QCOMPARE(quint16(c.p0.channel[3].channel_page), quint16(0xA5A5));
               });
        QTest::newRow("whole channel block, 82 registers")
            << 404 << 3 << 1 << 0x0100 << ramp(82) << 2 << Check([](const Command &c) {
                   const ChannelRecordP0 &ch = c.p0.channel[1];
                   QCOMPARE(c.p0.device.device_time, 0x00020001u);
                   QCOMPARE(ch.channel_page, qint16(3));
                   QCOMPARE(ch.display_format, quint16(4));
                   QCOMPARE(ch.alarm_threshold_4, quint16(9));
                   QCOMPARE(c.p0.device.bump_interval, quint16(14));
                   QCOMPARE(ch.hysteresis, quint16(23));
                   QCOMPARE(c.p0.device.serial_number, quint32(31 << 16 | 30));
                   QCOMPARE(c.firmware_version, quint16(33));
                   QCOMPARE(c.p0.device.production_date, quint32(35 << 16 | 34));
                   QCOMPARE(ch.dead_zone, quint16(36));
                   QCOMPARE(ch.formula_gas_number, quint16(40));
                   QCOMPARE(ch.temp_table_temp[0], qint16(41));
                   QCOMPARE(ch.temp_table_coef[9], 60 / 1000.0f);
                   QCOMPARE(ch.span_table_conc[0], quint16(61));
                   QCOMPARE(ch.span_table_coef[9], quint16(80));
                   QCOMPARE(ch.adc_zero, quint16(81));
                   QCOMPARE(ch.adc_calib_value, quint16(82));
                   // the block's display format 4 has no decimals: discreteness 1
                   QCOMPARE(ch.discreteness_base, quint16(1));
               });
        QTest::newRow("83 registers run past the channel block")
            << 404 << 3 << 1 << 0x0100 << ramp(83) << 8
            << Check([](const Command &c) { QCOMPARE(c.p0.channel[1].adc_calib_value, quint16(82)); });
        QTest::newRow("last channel register")
            << 404 << 3 << 1 << 0x0151 << QVector<quint16>{77} << 2
            << Check([](const Command &c) { QCOMPARE(c.p0.channel[1].adc_calib_value, quint16(77)); });
        QTest::newRow("one past the channel block") << 404 << 3 << 1 << 0x0152 << QVector<quint16>{1} << 8 << none;
        QTest::newRow("UTC offset is write only") << 404 << 3 << 0 << 0x00FE << QVector<quint16>{1} << 4 << none;
        QTest::newRow("LEL coefficient /100")
            << 404 << 3 << 0 << 0x0119 << QVector<quint16>{150, 2975} << 2 << Check([](const Command &c) {
                   QCOMPARE(c.p0.channel[0].lel_coefficient, 1.5f);
                   QCOMPARE(c.p0.channel[0].molecular_weight, 29.75f);
               });
        QTest::newRow("falling threshold 0x80C8 kept raw")
            << 404 << 3 << 0 << 0x0105 << QVector<quint16>{0x80C8} << 2
            << Check([](const Command &c) { QCOMPARE(c.p0.channel[0].alarm_threshold_1, quint16(0x80C8)); });
        QTest::newRow("gas formula CH4")
            << 404 << 3 << 2 << 0x0111 << QVector<quint16>{0x4843, 0x0034, 0, 0, 0} << 2
            << Check([](const Command &c) {
                   QCOMPARE(bytesOf(c.p0.channel[2].gas_formula, 10), QByteArray("CH4\0\0\0\0\0\0\0", 10));
               });
        QTest::newRow("circuit word: three indexes")
            << 404 << 3 << 1 << 0x011B << QVector<quint16>{0x1A25} << 2 << Check([](const Command &c) {
                   QCOMPARE(c.p0.channel[1].rf_index, quint8(5));
                   QCOMPARE(c.p0.channel[1].rload_index, quint8(2));
                   QCOMPARE(c.p0.channel[1].rgain_index, quint8(0x1A));
               });
        QTest::newRow("circuit word: record 3 holds the protection threshold")
            << 404 << 3 << 3 << 0x011B << QVector<quint16>{0x81F4} << 2 << Check([](const Command &c) {
                   QCOMPARE(c.p0.channel[3].rload_index, quint8(0x81)); // offset 17: switch + high bits
                   QCOMPARE(c.p0.channel[3].rgain_index, quint8(0xF4)); // offset 18
                   QCOMPARE(c.p0.channel[3].rf_index, quint8(0xA5));    // untouched
               });
        QTest::newRow("circuit word: 420 holds the protection threshold")
            << 420 << 3 << 1 << 0x011B << QVector<quint16>{0x1A25} << 2 << Check([](const Command &c) {
                   QCOMPARE(c.p0.channel[1].rload_index, quint8(0x1A));
                   QCOMPARE(c.p0.channel[1].rgain_index, quint8(0x25));
                   QCOMPARE(c.p0.channel[1].rf_index, quint8(0xA5));
               });
        QTest::newRow("amplifier index: low byte only")
            << 404 << 3 << 0 << 0x011C << QVector<quint16>{0x1203} << 2 << Check([](const Command &c) {
                   QCOMPARE(c.p0.channel[0].pga_index, quint8(3));
                   QCOMPARE(c.p0.channel[0].rload_index, quint8(0xA5));
               });
        QTest::newRow("zero table of the page")
            << 404 << 3 << 2 << 0x0160 << ramp(20, 100) << 2 << Check([](const Command &c) {
                   QCOMPARE(c.p0.zero_table[2].zero_table_temp[0], qint16(100));
                   QCOMPARE(c.p0.zero_table[2].zero_table_value[9], quint16(119));
                   QCOMPARE(c.p0.zero_table[1].zero_table_value[9], quint16(0xA5A5));
               });
        QTest::newRow("zero table: 21 registers") << 404 << 3 << 2 << 0x0160 << ramp(21) << 8 << none;
        QTest::newRow("zero table on the device page is refused")
            << 404 << 3 << 10 << 0x0160 << ramp(20) << 4 << Check([](const Command &c) {
                   QCOMPARE(quint8(c.p0.trailer.reserved_2[0]), quint8(0xA5));
                   QCOMPARE(c.p0.device.device_options, quint16(0xA5A5));
               });
        QTest::newRow("sensor config") << 404 << 3 << 4 << 0x0202 << QVector<quint16>{0x3007} << 2
                                       << Check([](const Command &c) { QCOMPARE(c.p0.channel[4].sensor_config, quint16(0x3007)); });
        QTest::newRow("0x0201 is past 0x0200") << 404 << 3 << 10 << 0x0201 << QVector<quint16>{1} << 8 << none;
        QTest::newRow("archive block")
            << 404 << 3 << 10 << 0x0210 << QVector<quint16>{0x1E05, 1, 2, 3, 4, 1} << 2 << Check([](const Command &c) {
                   QCOMPARE(c.p0.device.archive_interval[0], quint8(5));    // minutes
                   QCOMPARE(c.p0.device.archive_interval[1], quint8(0x1E)); // seconds
                   QCOMPARE(c.p0.device.archive_start_address, 0x00020001u);
                   QCOMPARE(c.p0.device.archive_current_address, 0x00040003u);
                   QCOMPARE(c.p0.device.archive_enabled, quint16(1));
               });
        QTest::newRow("archive block: 7 registers") << 404 << 3 << 10 << 0x0210 << ramp(7) << 8 << none;
        QTest::newRow("options on the device page")
            << 404 << 3 << 10 << 0x0220 << QVector<quint16>{0x0C02, 7} << 2 << Check([](const Command &c) {
                   QCOMPARE(c.p0.device.device_options, quint16(0x0C02));
                   QCOMPARE(c.p0.device.device_status, quint16(7));
               });
        QTest::newRow("channel flags on the device page are refused")
            << 404 << 3 << 10 << 0x0220 << QVector<quint16>{1, 2, 3, 4} << 4
            << Check([](const Command &c) { QCOMPARE(c.p0.device.device_options, quint16(0xA5A5)); });
        QTest::newRow("options and flags of a channel")
            << 404 << 3 << 2 << 0x0220 << QVector<quint16>{1, 2, 0x0108, 4} << 2 << Check([](const Command &c) {
                   QCOMPARE(c.p0.channel[2].channel_flags, quint16(0x0108));
                   QCOMPARE(c.p0.channel[2].channel_status, quint16(4));
               });
        QTest::newRow("device language")
            << 404 << 3 << 10 << 0x0700 << QVector<quint16>{1} << 2 << Check([](const Command &c) {
                   QCOMPARE(c.p0.trailer.device_language, quint16(1));
                   QCOMPARE(c.p0.trailer.reserved_2[0], quint8(0xA5)); // 16 bits only in layout p0
               });
        QTest::newRow("device language: 2 registers") << 404 << 3 << 10 << 0x0700 << ramp(2) << 8 << none;
        QTest::newRow("control flags")
            << 404 << 3 << 10 << 0x0001 << QVector<quint16>{9, 9, 7, 0} << 2 << Check([](const Command &c) {
                   QCOMPARE(c.control_flag_3, quint8(1));
                   QCOMPARE(c.control_flag_4, quint64(0));
               });
        QTest::newRow("control block: a read reaching 0x0005")
            << 404 << 3 << 10 << 0x0003 << QVector<quint16>{0, 5, 1} << 8
            << Check([](const Command &c) { QCOMPARE(c.control_flag_4, quint64(1)); });
        QTest::newRow("unknown register") << 404 << 3 << 0 << 0x0400 << QVector<quint16>{1} << 4 << none;
        QTest::newRow("reply without registers") << 404 << 3 << 0 << 0x0102 << QVector<quint16>{} << 4 << none;

        // Input registers, models other than 420/421: all on the device page.
        QTest::newRow("404 live values, 41 registers")
            << 404 << 4 << 10 << 0x00F6 << ramp(41) << 2 << Check([](const Command &c) {
                   for (int k = 0; k < 4; ++k)
                       QCOMPARE(c.p0.channel[k].last_calibration_time, quint32((2 * k + 2) << 16 | (2 * k + 1)));
                   QCOMPARE(c.p0.device.last_bump_time, quint32(10 << 16 | 9));
                   QCOMPARE(c.p0.device.temperature_c, 0.11f);
                   QCOMPARE(c.p0.device.battery_level, quint16(12));
                   QCOMPARE(c.p0.device.battery_voltage_mv, quint16(13));
                   for (int k = 0; k < 4; ++k) {
                       const ChannelRecordP0 &ch = c.p0.channel[k];
                       const int r = 14 + 7 * k;
                       QCOMPARE(ch.adc_current, quint16(r));
                       QCOMPARE(ch.adc_zero, quint16(r + 1));
                       QCOMPARE(ch.concentration, float(r + 2) / 10.0f);
                       QCOMPARE(ch.concentration_3, float(r + 4) / 10.0f);
                       QCOMPARE(ch.input_value_60, quint32((r + 6) << 16 | (r + 5)));
                   }
                   QCOMPARE(c.p0.channel[4].adc_current, quint16(0xA5A5));
               });
        QTest::newRow("404 live values, 42 registers") << 404 << 4 << 10 << 0x00F6 << ramp(42) << 8 << none;
        QTest::newRow("404 model code, 2 registers")
            << 404 << 4 << 10 << 0x0010 << QVector<quint16>{404, 1} << 3
            << Check([](const Command &c) { QCOMPARE(c.device_code, quint16(404)); });
        QTest::newRow("404 calibration results")
            << 404 << 4 << 10 << 0x0020 << QVector<quint16>{1, 2, 3, 4, 5, 6, 70, 0xFC18} << 2
            << Check([](const Command &c) {
                   QCOMPARE(c.p0.channel[3].calib_concentration_measured, quint16(70));
                   QCOMPARE(c.p0.channel[3].calib_coefficient, -1.0f);
                   QCOMPARE(c.p0.channel[0].calib_coefficient, 0.002f);
               });
        QTest::newRow("404 calibration results: 9 registers") << 404 << 4 << 10 << 0x0020 << ramp(9) << 3 << none;
        QTest::newRow("404 one past the status block") << 404 << 4 << 10 << 0x0038 << QVector<quint16>{1} << 3 << none;
        QTest::newRow("404 status block")
            << 404 << 4 << 10 << 0x0036 << QVector<quint16>{0x0008, 0x0040} << 2 << Check([](const Command &c) {
                   QCOMPARE(c.p0.channel[3].channel_flags, quint16(8));
                   QCOMPARE(c.p0.channel[3].channel_status, quint16(0x40));
               });
        QTest::newRow("404 firmware") << 404 << 4 << 10 << 0x0999 << QVector<quint16>{115} << 2
                                      << Check([](const Command &c) { QCOMPARE(c.firmware_version, quint16(115)); });

        // Input registers of 420/421: their own map.
        QTest::newRow("420 device block, 7 registers end with 3")
            << 420 << 4 << 10 << 0x0010 << QVector<quint16>{420, 1, 2, quint16(-550), 77, 3900, 9} << 3
            << Check([](const Command &c) {
                   QCOMPARE(c.device_code, quint16(420));
                   QCOMPARE(c.p0.device.last_bump_time, 0x00020001u);
                   QCOMPARE(c.p0.device.temperature_c, -5.5f);
                   QCOMPARE(c.p0.device.battery_level, quint16(77));
                   QCOMPARE(c.p0.device.battery_voltage_mv, quint16(3900));
               });
        QTest::newRow("420 channel block")
            << 420 << 4 << 2 << 0x0020 << QVector<quint16>{5, 1500, 8, 9, 1, 2, 300, 200, 125, 0, 0, 7, 8} << 2
            << Check([](const Command &c) {
                   const ChannelRecordP0 &ch = c.p0.channel[2];
                   QCOMPARE(ch.calib_concentration_measured, quint16(5));
                   QCOMPARE(ch.calib_coefficient, 1.5f);
                   QCOMPARE(ch.channel_flags, quint16(8));
                   QCOMPARE(ch.last_calibration_time, 0x00020001u);
                   QCOMPARE(ch.adc_current, quint16(300));
                   QCOMPARE(ch.adc_zero, quint16(200));
                   QCOMPARE(ch.concentration, 12.5f);
                   QCOMPARE(ch.input_value_60, 0x00080007u);
               });
        QTest::newRow("420 channel block: 14 registers") << 420 << 4 << 2 << 0x0020 << ramp(14) << 8 << none;
        QTest::newRow("420 channel block on the device page")
            << 420 << 4 << 10 << 0x0020 << ramp(13) << 4
            << Check([](const Command &c) { QCOMPARE(c.p0.device.device_options, quint16(0xA5A5)); });
        QTest::newRow("420 has no live block at 0x00F6") << 420 << 4 << 10 << 0x00F6 << ramp(41) << 4 << none;
    }
    void layoutP0() { run(0); }

    void layoutP1_data()
    {
        addColumns();
        const Check none = [](const Command &) {};

        QTest::newRow("options on the device page")
            << 405 << 3 << 10 << 0x0220 << QVector<quint16>{0x0400, 0x0002, 0x0003, 0x0004} << 2
            << Check([](const Command &c) {
                   QCOMPARE(c.p1.device.device_options, 0x00020400u);
                   QCOMPARE(c.p1.device.device_status, quint16(3));
                   QCOMPARE(c.p1.device.device_status_2, quint16(4));
               });
        QTest::newRow("options and first flag word on page 2")
            << 405 << 3 << 2 << 0x0220 << QVector<quint16>{1, 2, 3, 4, 0x0108} << 2 << Check([](const Command &c) {
                   QCOMPARE(quint16(c.p1.channel[2].channel_flags & 0xFFFF), quint16(0x0108));
                   QCOMPARE(quint16(c.p1.channel[2].channel_flags >> 16), quint16(0xA5A5));
               });
        QTest::newRow("flags on the device page are refused")
            << 405 << 3 << 10 << 0x0220 << QVector<quint16>{1, 2, 3, 4, 5} << 4
            << Check([](const Command &c) { QCOMPARE(c.p1.device.device_options, 0xA5A5A5A5u); });
        QTest::newRow("last status register")
            << 405 << 3 << 2 << 0x0228 << QVector<quint16>{6} << 2
            << Check([](const Command &c) { QCOMPARE(c.p1.channel[2].channel_status_2, quint16(6)); });
        QTest::newRow("status block: one register too many")
            << 405 << 3 << 2 << 0x0228 << QVector<quint16>{6, 7} << 4
            << Check([](const Command &c) { QCOMPARE(c.p1.channel[2].channel_status_2, quint16(6)); });
        QTest::newRow("one past the status block") << 405 << 3 << 2 << 0x0229 << QVector<quint16>{1} << 4 << none;
        QTest::newRow("clock and UTC offset on the device page")
            << 405 << 3 << 10 << 0x00FE << QVector<quint16>{0x0E10, 0, 0x5678, 0x1234} << 2
            << Check([](const Command &c) {
                   QCOMPARE(c.p1.device.utc_offset_s, 3600);
                   QCOMPARE(c.p1.device.device_time, 0x12345678u);
               });
        QTest::newRow("channel settings, 55 registers")
            << 405 << 3 << 1 << 0x0102 << ramp(55) << 2 << Check([](const Command &c) {
                   const ChannelRecordP1 &ch = c.p1.channel[1];
                   QCOMPARE(ch.channel_page, qint16(1));
                   QCOMPARE(ch.display_format, quint16(2));
                   QCOMPARE(ch.sensor_config, quint16(3));
                   QCOMPARE(ch.formula, quint8(4));
                   QCOMPARE(ch.sensor_position, quint8(0));
                   QCOMPARE(ch.calib_gas_concentration, asFloat(5, 6));
                   QCOMPARE(ch.alarm_threshold_4, asFloat(13, 14));
                   QCOMPARE(ch.stel_interval, quint16(19));
                   QCOMPARE(ch.molecular_weight, asFloat(24, 25));
                   QCOMPARE(ch.calib_interval, quint16(26));
                   QCOMPARE(c.p1.device.bump_interval, quint16(27));
                   QCOMPARE(ch.rgain_index, quint16(41));
                   QCOMPARE(c.p1.device.serial_number, quint32(43 << 16 | 42));
                   QCOMPARE(c.p1.device.production_date, quint32(46 << 16 | 45));
                   QCOMPARE(ch.sensor_protection_threshold, asFloat(47, 48));
                   QCOMPARE(ch.range_calib_limit, quint16(53));
                   QCOMPARE(ch.warmup_time, quint16(55));
                   // display format 2: no decimals in either unit
                   QCOMPARE(ch.discreteness_display, quint16(1));
               });
        QTest::newRow("channel settings, 56 registers") << 405 << 3 << 1 << 0x0102 << ramp(56) << 8 << none;
        QTest::newRow("one past the channel settings") << 405 << 3 << 1 << 0x0139 << QVector<quint16>{1} << 8 << none;
        QTest::newRow("formula and sensor position")
            << 405 << 3 << 0 << 0x0105 << QVector<quint16>{0x0302} << 2 << Check([](const Command &c) {
                   QCOMPARE(c.p1.channel[0].formula, quint8(2));
                   QCOMPARE(c.p1.channel[0].sensor_position, quint8(3));
               });
        QTest::newRow("sensor name")
            << 405 << 3 << 0 << 0x011D << QVector<quint16>{0x4F43, 0x0032, 0} << 2
            << Check([](const Command &c) { QCOMPARE(bytesOf(c.p1.channel[0].sensor_name, 6), QByteArray("CO2\0\0\0", 6)); });
        QTest::newRow("tables, 60 registers")
            << 405 << 3 << 4 << 0x0150 << ramp(60, 1000) << 2 << Check([](const Command &c) {
                   const ChannelRecordP1 &ch = c.p1.channel[4];
                   QCOMPARE(ch.temp_table_temp[0], qint16(1000));
                   QCOMPARE(ch.temp_table_coef[0], 1.010f);
                   QCOMPARE(ch.span_table_conc[9], quint16(1029));
                   QCOMPARE(ch.span_table_coef[9], 1.039f);
                   QCOMPARE(ch.zero_table_temp[0], qint16(1040));
                   QCOMPARE(ch.zero_table_value[9], quint16(1059));
               });
        QTest::newRow("tables, 61 registers") << 405 << 3 << 4 << 0x0150 << ramp(61) << 4 << none;
        QTest::newRow("0x018C") << 405 << 3 << 4 << 0x018C << QVector<quint16>{1} << 4 << none;
        QTest::newRow("sound, LEDs and battery")
            << 405 << 3 << 10 << 0x0200 << ramp(7, 50) << 2 << Check([](const Command &c) {
                   QCOMPARE(c.p1.device.sound_pwm, quint16(50));
                   QCOMPARE(c.p1.device.led_period, quint16(52));
                   QCOMPARE(c.p1.device.battery_limit_2, quint16(56));
               });
        QTest::newRow("sound, LEDs and battery: 8") << 405 << 3 << 10 << 0x0200 << ramp(8) << 4 << none;
        QTest::newRow("archive: 7") << 405 << 3 << 10 << 0x0210 << ramp(7) << 4 << none;
        QTest::newRow("ADC values") << 405 << 3 << 3 << 0x0300 << QVector<quint16>{11, 12} << 2
                                    << Check([](const Command &c) {
                                           QCOMPARE(c.p1.channel[3].adc_zero, quint16(11));
                                           QCOMPARE(c.p1.channel[3].adc_calib_value, quint16(12));
                                       });
        QTest::newRow("ADC values: 3") << 405 << 3 << 3 << 0x0300 << ramp(3) << 8 << none;
        QTest::newRow("navigation") << 405 << 3 << 10 << 0x0310 << QVector<quint16>{0x00FF, 0x0200} << 2
                                    << Check([](const Command &c) { QCOMPARE(c.p1.device.gps_config, 0x020000FFu); });
        QTest::newRow("device language is 32 bits")
            << 405 << 3 << 10 << 0x0700 << QVector<quint16>{1} << 2 << Check([](const Command &c) {
                   QCOMPARE(c.p1.trailer.device_language, quint16(1));
                   QCOMPARE(c.p1.trailer.reserved_2[0], quint8(0));
                   QCOMPARE(c.p1.trailer.reserved_2[1], quint8(0));
                   QCOMPARE(c.p1.trailer.reserved_2[2], quint8(0xA5));
               });
        QTest::newRow("device language: 2") << 405 << 3 << 10 << 0x0700 << ramp(2) << 4 << none;

        QTest::newRow("device inputs, 9 registers from 0x0011")
            << 405 << 4 << 10 << 0x0011 << QVector<quint16>{201, 1, 2, 0x0000, 0x41C8, 90, 4100, 0x0000, 0x4434} << 2
            << Check([](const Command &c) {
                   QCOMPARE(c.firmware_version, quint16(201));
                   QCOMPARE(c.p1.device.last_bump_time, 0x00020001u);
                   QCOMPARE(c.p1.device.temperature_c, 25.0f);
                   QCOMPARE(c.p1.device.battery_level, quint16(90));
                   QCOMPARE(c.p1.device.battery_voltage_mv, quint16(4100));
                   QCOMPARE(c.p1.device.pressure, 720.0f);
               });
        QTest::newRow("device inputs, 10 registers from 0x0011") << 405 << 4 << 10 << 0x0011 << ramp(10) << 8 << none;
        QTest::newRow("channel inputs, 28 registers")
            << 405 << 4 << 1 << 0x0020 << ramp(28) << 2 << Check([](const Command &c) {
                   const ChannelRecordP1 &ch = c.p1.channel[1];
                   QCOMPARE(ch.calib_concentration_measured, asFloat(1, 2));
                   QCOMPARE(ch.last_calibration_time, 0x00040003u);
                   QCOMPARE(ch.channel_flags, 0x00080007u);
                   QCOMPARE(ch.channel_status_2, quint16(11));
                   QCOMPARE(ch.adc_current, quint16(12));
                   QCOMPARE(ch.concentration, asFloat(14, 15));
                   QCOMPARE(ch.calib_temperature, qint16(24));
                   QCOMPARE(ch.sensor_humidity, asFloat(27, 28));
                   // function 4 does not touch the discreteness
                   QCOMPARE(ch.discreteness_base, quint16(10));
               });
        QTest::newRow("channel inputs, 29 registers") << 405 << 4 << 1 << 0x0020 << ramp(29) << 8 << none;
        QTest::newRow("a read may not start at the status words") << 405 << 4 << 1 << 0x0026 << ramp(2) << 4 << none;
        QTest::newRow("status copy continues with the live values")
            << 405 << 4 << 1 << 0x0226 << ramp(22) << 2 << Check([](const Command &c) {
                   const ChannelRecordP1 &ch = c.p1.channel[1];
                   QCOMPARE(ch.channel_flags, 0x00020001u);
                   QCOMPARE(ch.channel_status_2, quint16(5));
                   QCOMPARE(ch.adc_current, quint16(6));
                   QCOMPARE(ch.sensor_humidity, asFloat(21, 22));
               });
        QTest::newRow("status copy, 23 registers") << 405 << 4 << 1 << 0x0226 << ramp(23) << 8 << none;
        QTest::newRow("a read may not start after the status copy") << 405 << 4 << 1 << 0x022B << ramp(1) << 4 << none;
        QTest::newRow("input 0x0230 is not a live value") << 405 << 4 << 1 << 0x0230 << ramp(1) << 4 << none;
        QTest::newRow("channel inputs on the device page")
            << 405 << 4 << 10 << 0x0020 << ramp(28) << 4
            << Check([](const Command &c) { QCOMPARE(c.p1.device.device_options, 0xA5A5A5A5u); });
        QTest::newRow("BLE address")
            << 405 << 4 << 10 << 0x0060 << QVector<quint16>{0x1B0A, 0x3D2C, 0x5F4E} << 2 << Check([](const Command &c) {
                   QCOMPARE(bytesOf(c.ble_mac, 6), QByteArray::fromHex("0a1b2c3d4e5f"));
               });
        QTest::newRow("BLE address, 4 registers") << 405 << 4 << 10 << 0x0060 << ramp(4) << 8 << none;
        QTest::newRow("firmware probe") << 405 << 4 << 10 << 0x0999 << QVector<quint16>{202} << 2
                                        << Check([](const Command &c) { QCOMPARE(c.firmware_version, quint16(202)); });
    }
    void layoutP1() { run(1); }

    void discretenessAfterHoldingRead_data()
    {
        QTest::addColumn<int>("layout");
        QTest::newRow("p0") << 0;
        QTest::newRow("p1") << 1;
    }
    void discretenessAfterHoldingRead()
    {
        QFETCH(int, layout);
        Command cmd;
        cmd.protocol_version = qint16(layout);
        cmd.device_code = 405;
        // display format 0x00E0: displayed value 2 decimals, base 3 decimals
        QCOMPARE(decodeRegisters(cmd, 3, 2, 0x0103, {0x00E0}), quint16(2));
        const quint16 disp = layout ? cmd.p1.channel[2].discreteness_display : cmd.p0.channel[2].discreteness_display;
        const quint16 base = layout ? cmd.p1.channel[2].discreteness_base : cmd.p0.channel[2].discreteness_base;
        QCOMPARE(disp, quint16(100));
        QCOMPARE(base, quint16(1000));
        // A device-page read recomputes nothing, even for a changed format.
        if (layout)
            cmd.p1.channel[2].display_format = 0;
        else
            cmd.p0.channel[2].display_format = 0;
        QCOMPARE(decodeRegisters(cmd, 3, 10, 0x0200, {1}), quint16(2));
        QCOMPARE(layout ? cmd.p1.channel[2].discreteness_base : cmd.p0.channel[2].discreteness_base, quint16(1000));
    }

    void concentrationOfANeverReadRecordIsNotInfinite()
    {
        Command cmd;
        cmd.protocol_version = 0;
        cmd.device_code = 420;
        QCOMPARE(cmd.p0.channel[0].discreteness_base, quint16(0));
        QCOMPARE(decodeRegisters(cmd, 4, 0, 0x0028, {250}), quint16(2));
        QCOMPARE(cmd.p0.channel[0].concentration, 250.0f);
    }

    // No read on the device page, from any start register and of any length,
    // stores into a channel record or a zero table: an eleventh record would
    // overlay the device-level block.
    void devicePageNeverReachesARecord_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("model");
        QTest::newRow("p0 holding") << 0 << 3 << 404;
        QTest::newRow("p0 holding 420") << 0 << 3 << 420;
        QTest::newRow("p0 input 420") << 0 << 4 << 420;
        QTest::newRow("p1 holding") << 1 << 3 << 405;
        QTest::newRow("p1 input") << 1 << 4 << 405;
    }
    void devicePageNeverReachesARecord()
    {
        QFETCH(int, layout);
        QFETCH(int, function);
        QFETCH(int, model);
        const QVector<quint16> ones(100, 0xFFFF);
        int stored = 0;
        for (quint16 reg = 0; reg < 0x1000; ++reg) {
            for (int count : {1, 2, 7, 100}) {
                Command cmd;
                cmd.protocol_version = qint16(layout);
                cmd.device_code = quint16(model);
                if (decodeRegisters(cmd, function, 10, reg, ones.mid(0, count)) == 2)
                    ++stored;
                const QByteArray records = layout ? QByteArray(reinterpret_cast<const char *>(cmd.p1.channel), sizeof cmd.p1.channel)
                                                  : QByteArray(reinterpret_cast<const char *>(cmd.p0.channel), sizeof cmd.p0.channel)
                        + QByteArray(reinterpret_cast<const char *>(cmd.p0.zero_table), sizeof cmd.p0.zero_table);
                if (records.count('\0') != records.size())
                    QFAIL(qPrintable(QStringLiteral("read of 0x%1 x %2 stored into a record").arg(reg, 4, 16, QChar('0')).arg(count)));
            }
        }
        QVERIFY(stored > 10); // device-level registers are still read
    }

    void unknownLayoutDecodesNothing()
    {
        Command cmd;
        cmd.protocol_version = 2;
        QCOMPARE(decodeRegisters(cmd, 3, 10, 0x0200, {7}), quint16(2));
        QCOMPARE(cmd.p0.device.sound_pwm, quint16(0));
        QCOMPARE(cmd.p1.device.sound_pwm, quint16(0));
    }
};

QTEST_GUILESS_MAIN(tst_register_map_read)
#include "tst_register_map_read.moc"
