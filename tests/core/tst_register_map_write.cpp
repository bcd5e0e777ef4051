// Writing: function 16 requests filled from the device image, refusals, and
// the round trip write map -> read map over every writable register.
#include "register_io.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cstring>
#include <functional>

using Prepare = std::function<void(Command &)>;
Q_DECLARE_METATYPE(Prepare)

namespace {

void setText(char *field, int size, const char *text)
{
    std::memset(field, 0, size_t(size));
    std::memcpy(field, text, std::strlen(text));
}

// Registers of the holding map of `layout` that a single-register write on
// `page` accepts, for the model `model`.
QVector<quint16> writableRegisters(int layout, int model, quint8 page)
{
    Command cmd;
    cmd.protocol_version = qint16(layout);
    cmd.device_code = quint16(model);
    QVector<quint16> regs;
    for (quint16 reg = 0; reg < 0x1000; ++reg)
        if (encodeRegisters(cmd, page, reg, 1) == 2)
            regs.append(reg);
    return regs;
}

} // namespace

class tst_register_map_write : public QObject
{
    Q_OBJECT

private slots:
    // Whole request frames, as they go on the wire.
    void frames_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("count");
        QTest::addColumn<Prepare>("prepare");
        QTest::addColumn<QByteArray>("frame"); // without CRC

        QTest::newRow("p0 display format of channel 2")
            << 0 << 2 << 0x0103 << 1 << Prepare([](Command &c) { c.p0.channel[2].display_format = 0x0456; })
            << QByteArray::fromHex("0110210300010204 56");
        QTest::newRow("p1 device options and status")
            << 1 << 0xAA << 0x0220 << 4 << Prepare([](Command &c) {
                   c.p1.device.device_options = 0x00021C0E;
                   c.p1.device.device_status = 0x0003;
                   c.p1.device.device_status_2 = 0x1234;
               })
            << QByteArray::fromHex("0110a220000408 1c0e 0002 0003 1234");
        QTest::newRow("p0 gas formula CH4")
            << 0 << 1 << 0x0111 << 5 << Prepare([](Command &c) { setText(c.p0.channel[1].gas_formula, 10, "CH4"); })
            << QByteArray::fromHex("011011110005 0a 4843 0034 0000 0000 0000");
        QTest::newRow("p0 LEL coefficient 1.257 is truncated to 125")
            << 0 << 0 << 0x0119 << 2 << Prepare([](Command &c) {
                   c.p0.channel[0].lel_coefficient = 1.257f;
                   c.p0.channel[0].molecular_weight = 28.01f;
               })
            << QByteArray::fromHex("01100119000204 007d 0af1");
        QTest::newRow("p0 write from 0x0001")
            << 0 << 0xAA << 0x0001 << 5 << Prepare([](Command &c) {
                   c.control_flag_3 = 1;
                   c.control_flag_4 = 0x12345678;
               })
            << QByteArray::fromHex("0110a0010005 0a 0001 0001 0001 5678 0001");
        QTest::newRow("p0 write from 0x0002")
            << 0 << 0xAA << 0x0002 << 2 << Prepare([](Command &) {})
            << QByteArray::fromHex("0110a0020002 04 0000 0000");
        QTest::newRow("p1 firmware completion 0x0003..0x0005")
            << 1 << 0xAA << 0x0003 << 3 << Prepare([](Command &c) {
                   c.control_flag_3 = 1;
                   c.control_flag_4 = 0x1ABCD;
               })
            << QByteArray::fromHex("0110a0030003 06 0001 abcd 0001");
        QTest::newRow("p0 zeroed registers 0x0010..0x0012")
            << 0 << 0xAA << 0x0010 << 3 << Prepare([](Command &) {})
            << QByteArray::fromHex("0110a0100003 06 0000 0000 0000");
        QTest::newRow("p0 clock with UTC offset on page 0")
            << 0 << 0 << 0x00FE << 4 << Prepare([](Command &c) {
                   c.p0.device.utc_offset_s = -3600;
                   c.p0.device.device_time = 0x12345678;
               })
            << QByteArray::fromHex("011000fe0004 08 f1f0 ffff 5678 1234");
        QTest::newRow("single-bit automatic zero calibration")
            << 1 << 3 << 0x0230 << 1 << Prepare([](Command &c) { c.p1.channel[3].channel_flags = 0x00010008; })
            << QByteArray::fromHex("0110323000010200 01");
        QTest::newRow("single-bit registers of the device options")
            << 0 << 0xAA << 0x0231 << 3 << Prepare([](Command &c) { c.p0.device.device_options = 0x0004; })
            << QByteArray::fromHex("0110a23100030600 0000 0000 01");
        QTest::newRow("circuit word: three indexes")
            << 0 << 1 << 0x011B << 2 << Prepare([](Command &c) {
                   c.p0.channel[1].rf_index = 5;
                   c.p0.channel[1].rload_index = 2;
                   c.p0.channel[1].rgain_index = 0x1A;
                   c.p0.channel[1].pga_index = 4;
               })
            << QByteArray::fromHex("0110111b0002041a25 0004");
        QTest::newRow("circuit word: protection threshold of record 3")
            << 0 << 3 << 0x011B << 1 << Prepare([](Command &c) {
                   c.p0.channel[3].rload_index = 0x81;
                   c.p0.channel[3].rgain_index = 0xF4;
                   c.p0.channel[3].rf_index = 9;
               })
            << QByteArray::fromHex("0110311b00010281f4");
        QTest::newRow("after the firmware version: amplifier index when 0x011C is written")
            << 0 << 0 << 0x011C << 5 << Prepare([](Command &c) {
                   c.p0.channel[0].pga_index = 3;
                   c.firmware_version = 115;
                   c.p0.device.serial_number = 0x00020001;
                   c.p0.device.hardware_version = 21;
               })
            << QByteArray::fromHex("0110011c00050a 0003 0001 0002 0015 0003");
        QTest::newRow("after the firmware version: 0 otherwise")
            << 0 << 0 << 0x011D << 4 << Prepare([](Command &c) {
                   c.p0.channel[0].pga_index = 3;
                   c.firmware_version = 115;
                   c.p0.device.serial_number = 0x00020001;
                   c.p0.device.hardware_version = 21;
               })
            << QByteArray::fromHex("0110011d000408 0001 0002 0015 0000");
        QTest::newRow("commit") << 1 << 0xAA << 0x0240 << 1 << Prepare([](Command &) {})
                                << QByteArray::fromHex("0110a24000010200 00");
        QTest::newRow("temperature sensor calibration -5.5")
            << 0 << 0xAA << 0x0256 << 1 << Prepare([](Command &c) { c.temp_sensor_calib_value = -5.5f; })
            << QByteArray::fromHex("0110a2560001 02 fdda");
        QTest::newRow("temperature sensor calibration 25.37")
            << 1 << 0xAA << 0x0256 << 1 << Prepare([](Command &c) { c.temp_sensor_calib_value = 25.37f; })
            << QByteArray::fromHex("0110a2560001 02 09e9");
        QTest::newRow("p1 device language")
            << 1 << 0xAA << 0x0700 << 1 << Prepare([](Command &c) { c.p1.trailer.device_language = 1; })
            << QByteArray::fromHex("0110a70000010200 01");
        QTest::newRow("p1 temperature table coefficients x 1000")
            << 1 << 2 << 0x015A << 2 << Prepare([](Command &c) {
                   c.p1.channel[2].temp_table_coef[0] = 1.013f;
                   c.p1.channel[2].temp_table_coef[1] = 0.29f;
               })
            << QByteArray::fromHex("0110215a000204 03f5 0122");
    }
    void frames()
    {
        QFETCH(int, layout);
        QFETCH(int, page);
        QFETCH(int, reg);
        QFETCH(int, count);
        QFETCH(Prepare, prepare);
        QFETCH(QByteArray, frame);
        Command cmd;
        cmd.modbus_address = 1;
        cmd.protocol_version = qint16(layout);
        cmd.device_code = 404;
        prepare(cmd);
        quint8 buffer[256] = {};
        const int length = cmd.TransmitFunc16(quint16(((page & 0x0F) << 12) | reg), quint16(count), buffer);
        QCOMPARE(length, 7 + 2 * count);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(buffer), length).toHex(), frame.toHex());
    }

    void refusals_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("result");

        QTest::newRow("p1 tables, 60 registers") << 1 << 0 << 0x0150 << 60 << 2;
        QTest::newRow("p1 tables, 61 registers reach 0x018C") << 1 << 0 << 0x0150 << 61 << 3;
        QTest::newRow("p1 0x018C") << 1 << 0 << 0x018C << 1 << 3;
        QTest::newRow("p1 channel settings 0x0102 x 55") << 1 << 0 << 0x0102 << 55 << 2;
        QTest::newRow("p1 channel settings 0x0102 x 56") << 1 << 0 << 0x0102 << 56 << 8;
        QTest::newRow("p1 0x0139") << 1 << 0 << 0x0139 << 1 << 8;
        QTest::newRow("p1 0x0200 x 8") << 1 << 10 << 0x0200 << 8 << 4;
        QTest::newRow("p1 0x0216") << 1 << 10 << 0x0216 << 1 << 4;
        QTest::newRow("p1 0x0229") << 1 << 0 << 0x0229 << 1 << 4;
        QTest::newRow("p1 0x0300 x 3") << 1 << 0 << 0x0300 << 3 << 8;
        QTest::newRow("p1 0x0312") << 1 << 10 << 0x0312 << 1 << 8;
        QTest::newRow("p1 0x0700 x 2") << 1 << 10 << 0x0700 << 2 << 8;
        QTest::newRow("p1 0x0234") << 1 << 0 << 0x0234 << 1 << 8;
        QTest::newRow("p1 0x0241") << 1 << 10 << 0x0241 << 1 << 8;
        QTest::newRow("p1 0x0240 x 2") << 1 << 10 << 0x0240 << 2 << 8;
        QTest::newRow("p1 flags on the device page") << 1 << 10 << 0x0224 << 2 << 4;
        QTest::newRow("p1 options and flags on the device page") << 1 << 10 << 0x0220 << 5 << 4;
        QTest::newRow("p1 channel settings on the device page") << 1 << 10 << 0x0102 << 1 << 4;
        QTest::newRow("p1 clock on the device page") << 1 << 10 << 0x00FE << 4 << 2;
        QTest::newRow("p1 unknown register") << 1 << 0 << 0x0400 << 1 << 4;
        QTest::newRow("p0 channel block 0x0100 x 82") << 0 << 0 << 0x0100 << 82 << 2;
        QTest::newRow("p0 clock and channel block 0x00FE x 84") << 0 << 0 << 0x00FE << 84 << 2;
        QTest::newRow("p0 channel block 0x0100 x 83") << 0 << 0 << 0x0100 << 83 << 8;
        QTest::newRow("p0 0x0152") << 0 << 0 << 0x0152 << 1 << 8;
        QTest::newRow("p0 zero table x 21") << 0 << 0 << 0x0160 << 21 << 8;
        QTest::newRow("p0 zero table on the device page") << 0 << 10 << 0x0160 << 20 << 4;
        QTest::newRow("p0 0x0216") << 0 << 10 << 0x0216 << 1 << 8;
        QTest::newRow("p0 0x0224") << 0 << 0 << 0x0224 << 1 << 8;
        QTest::newRow("p0 0x018C is just unknown") << 0 << 0 << 0x018C << 1 << 4;
        QTest::newRow("p0 control block x 6") << 0 << 10 << 0x0001 << 6 << 8;
        QTest::newRow("p0 auto-zero bit on the device page") << 0 << 10 << 0x0230 << 1 << 4;
        QTest::newRow("p0 device-option bits on the device page") << 0 << 10 << 0x0231 << 3 << 2;
        QTest::newRow("no registers") << 0 << 0 << 0x0102 << 0 << 8;
    }
    void refusals()
    {
        QFETCH(int, layout);
        QFETCH(int, page);
        QFETCH(int, reg);
        QFETCH(int, count);
        QFETCH(int, result);
        Command cmd;
        cmd.protocol_version = qint16(layout);
        cmd.device_code = 404;
        QCOMPARE(int(encodeRegisters(cmd, quint8(page), quint16(reg), quint16(count))), result);
    }

    // Every register the write map accepts, written from image A and read
    // back into a fresh image B: the values in the request equal the values
    // that were read into A, and B's areas equal A's areas byte for byte.
    void roundTrip_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("model");
        QTest::newRow("p0 404") << 0 << 404;
        QTest::newRow("p0 420") << 0 << 420;
        QTest::newRow("p1 405") << 1 << 405;
    }
    void roundTrip()
    {
        QFETCH(int, layout);
        QFETCH(int, model);
        QRandomGenerator rng(quint32(layout * 1000 + model));
        for (int page : {0, 3, 9, 10}) {
            const QVector<quint16> regs = writableRegisters(layout, model, quint8(page));
            QVERIFY(regs.size() > (page == 10 ? 20 : 100));
            // Runs of consecutive writable registers, written as one request each.
            int i = 0;
            while (i < regs.size()) {
                int j = i;
                while (j + 1 < regs.size() && regs[j + 1] == regs[j] + 1)
                    ++j;
                const quint16 first = regs[i];
                // Split at block boundaries (grow the run while the write map
                // accepts it) and where readability changes.
                Command probe;
                probe.protocol_version = qint16(layout);
                probe.device_code = quint16(model);
                auto readable = [&](quint16 reg) { return decodeRegisters(probe, 3, quint8(page), reg, {0}) == 2; };
                const bool firstReadable = readable(first);
                int count = 1;
                while (first + count <= regs[j] && readable(quint16(first + count)) == firstReadable
                       && encodeRegisters(probe, quint8(page), first, quint16(count + 1)) == 2)
                    ++count;
                checkRun(layout, model, page, first, count, rng);
                i += count;
            }
        }
    }

private:
    void checkRun(int layout, int model, int page, quint16 first, int count, QRandomGenerator &rng)
    {
        const QString where = QStringLiteral("page %1 reg 0x%2 x %3").arg(page).arg(first, 4, 16, QChar('0')).arg(count);
        Command a;
        a.protocol_version = qint16(layout);
        a.device_code = quint16(model);
        QVector<quint16> values;
        for (int n = 0; n < count; ++n)
            values.append(quint16(rng.bounded(0x10000)));
        // Registers that can be read: image A gets its fields from them.
        const quint16 readResult = decodeRegisters(a, 3, quint8(page), first, values);
        QVector<quint16> sent;
        QCOMPARE(encodeRegisters(a, quint8(page), first, quint16(count), &sent), quint16(2));
        if (readResult != 2) {
            // Write-only registers: command registers, single bits, zeroed
            // registers, the control register 0x0005 and the UTC offset of
            // layout p0. They must be known ones.
            const bool writeOnly = first == 0x0005 || first == 0x0010 || first == 0x0230 || first == 0x0231
                || first == 0x0240 || first == 0x0250 || first == 0x0252 || first == 0x0254 || first == 0x0256
                || first == 0x0702 || first == 0x0800 || (layout == 0 && first == 0x00FE);
            QVERIFY2(writeOnly, qPrintable(where));
            return;
        }
        for (int n = 0; n < count; ++n) {
            const quint16 reg = quint16(first + n);
            quint16 expected = values[n];
            if (reg <= 0x0004) {
                // Control block: constants and flags.
                expected = reg == 0x0001 ? 1 : reg == 0x0002 ? (first == 0x0001) : quint16(values[n] != 0);
            } else if (layout == 0 && reg == 0x011C) {
                expected = values[n] & 0xFF; // 8-bit amplifier index
            } else if (layout == 0 && reg == 0x0120) {
                expected = first <= 0x011C ? (values[n - 4] & 0xFF) : 0; // not the firmware version
            }
            QVERIFY2(sent[n] == expected,
                     qPrintable(where + QStringLiteral(": register 0x%1 sent %2, expected %3")
                                            .arg(reg, 4, 16, QChar('0')).arg(sent[n]).arg(expected)));
        }
        // Image B from the request's values equals image A.
        Command b;
        b.protocol_version = qint16(layout);
        b.device_code = quint16(model);
        QCOMPARE(decodeRegisters(b, 3, quint8(page), first, sent), quint16(2));
        QVERIFY2(std::memcmp(&a.p0, &b.p0, sizeof a.p0) == 0, qPrintable(where));
        QVERIFY2(std::memcmp(&a.p1, &b.p1, sizeof a.p1) == 0, qPrintable(where));
        QCOMPARE(b.control_flag_3, a.control_flag_3);
        QCOMPARE(b.control_flag_4, a.control_flag_4);
    }

private slots:
    // Decimal values that travel as scaled integers come back unchanged:
    // every register value read and written again.
    void scaledValuesSurviveAllRegisterValues()
    {
        for (int layout : {0, 1}) {
            Command cmd;
            cmd.protocol_version = qint16(layout);
            cmd.device_code = 404;
            // p0: LEL coefficient (/100) and temperature coefficient 0 (/1000); p1: temperature coefficient 0.
            const quint16 reg100 = layout == 0 ? 0x0119 : 0;
            const quint16 reg1000 = layout == 0 ? 0x0132 : 0x015A;
            for (quint32 v = 0; v < 0x10000; ++v) {
                QVector<quint16> out;
                if (reg100) {
                    decodeRegisters(cmd, 3, 0, reg100, {quint16(v)});
                    encodeRegisters(cmd, 0, reg100, 1, &out);
                    if (out[0] != v)
                        QFAIL(qPrintable(QStringLiteral("/100 value %1 written back as %2").arg(v).arg(out[0])));
                }
                decodeRegisters(cmd, 3, 0, reg1000, {quint16(v)});
                encodeRegisters(cmd, 0, reg1000, 1, &out);
                if (out[0] != v)
                    QFAIL(qPrintable(QStringLiteral("/1000 value %1 written back as %2").arg(v).arg(out[0])));
            }
        }
    }

    void nonFiniteValuesAreWrittenAsZero()
    {
        Command cmd;
        cmd.protocol_version = 0;
        cmd.p0.channel[0].lel_coefficient = std::numeric_limits<float>::quiet_NaN();
        cmd.p0.channel[0].molecular_weight = std::numeric_limits<float>::infinity();
        QVector<quint16> out;
        QCOMPARE(encodeRegisters(cmd, 0, 0x0119, 2, &out), quint16(2));
        QCOMPARE(out, (QVector<quint16>{0, 0}));
    }

    void unknownLayoutIsRefused()
    {
        Command cmd;
        cmd.protocol_version = 5;
        QCOMPARE(encodeRegisters(cmd, 10, 0x0240, 1), quint16(4));
    }
};

QTEST_GUILESS_MAIN(tst_register_map_write)
#include "tst_register_map_write.moc"
