// Request frames and the reply dispatcher, without a serial line.
#include "archive_buffers.h"
#include "crc16.h"
#include "link_test_command.h"

#include <QtTest>
#include <cstring>

namespace {

QByteArray withCrc(const QByteArray &frame)
{
    QByteArray out = frame + QByteArray(2, '\0');
    CreateCRC(reinterpret_cast<quint8 *>(out.data()), frame.size());
    return out;
}

QByteArray bytes(const quint8 *data, int length)
{
    return QByteArray(reinterpret_cast<const char *>(data), length);
}

void fillArchiveBuffer(quint8 value) { std::memset(archiv_read_mas, value, sizeof archiv_read_mas); }

bool archiveBufferIs(quint8 value, int from = 0)
{
    for (int i = from; i < kArchiveReadBufferSize; ++i)
        if (archiv_read_mas[i] != value)
            return false;
    return true;
}

} // namespace

class tst_codec : public QObject
{
    Q_OBJECT
private slots:
    void requestFrames_data()
    {
        QTest::addColumn<int>("function");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("3 holding, device page") << 3 << QByteArray::fromHex("ff03a2000007");
        QTest::newRow("4 input, model code") << 4 << QByteArray::fromHex("ff04a0100001");
        QTest::newRow("12 archive records") << 12 << QByteArray::fromHex("ff0c01020019");
        QTest::newRow("20 archive range") << 20 << QByteArray::fromHex("ff1401020304a0b0c0d0");
        QTest::newRow("14 bootloader block") << 14 << QByteArray::fromHex("ff0e0800fe1003a1b2c3");
        QTest::newRow("15 firmware block") << 15 << QByteArray::fromHex("ff0f0800fe1003a1b2c3");
    }

    void requestFrames()
    {
        QFETCH(int, function);
        QFETCH(QByteArray, expected);
        Command c;
        quint8 buffer[256];
        std::memset(buffer, 0xEE, sizeof buffer);
        const quint8 block[] = {0xA1, 0xB2, 0xC3};
        int length = 0;
        switch (function) {
        case 3: length = c.TransmitFunc3(0xA200, 7, buffer); break;
        case 4: length = c.TransmitFunc4(0xA010, 1, buffer); break;
        case 12: length = c.TransmitFunc12(0x0102, 25, buffer); break;
        case 20: length = c.TransmitFunc20(0x01020304, 0xA0B0C0D0, buffer); break;
        case 14: length = c.TransmitFunc14(0x0800FE10, block, 3, buffer); break;
        case 15: length = c.TransmitFunc15(0x0800FE10, block, 3, buffer); break;
        }
        QCOMPARE(length, expected.size());
        QCOMPARE(bytes(buffer, length).toHex(), expected.toHex());
        QCOMPARE(buffer[length], quint8(0xEE)); // nothing written past the frame
    }

    void writeFrameTakesValuesFromTheMap()
    {
        LinkTestCommand c;
        c.modbus_address = 1;
        c.encode_first_value = 0x04D2;
        const int length = c.TransmitFunc16(2 * 4096 + 0x0103, 1, c.tx_buffer);
        QCOMPARE(length, 9);
        QCOMPARE(c.encode_calls.size(), 1);
        QCOMPARE(c.encode_calls[0].first, quint8(2));
        QCOMPARE(c.encode_calls[0].second, quint16(0x0103));
        CreateCRC(c.tx_buffer, length);
        QCOMPARE(bytes(c.tx_buffer, length + 2).toHex(), QByteArray("0110210300010204d215fc"));

        const int three = c.TransmitFunc16(0xA200, 3, c.tx_buffer);
        QCOMPARE(three, 13);
        QCOMPARE(bytes(c.tx_buffer, three).toHex(), QByteArray("01 10 a2 00 00 03 06 04d2 04d3 04d4").replace(' ', ""));
    }

    void writeFrameFromTheDeviceImage()
    {
        Command c; // the real write map of layout p1
        c.protocol_version = 1;
        c.modbus_address = 1;
        c.p1.channel[2].display_format = 0x04D2;
        const int length = c.TransmitFunc16(2 * 4096 + 0x0103, 1, c.tx_buffer);
        QCOMPARE(length, 9);
        CreateCRC(c.tx_buffer, length);
        QCOMPARE(bytes(c.tx_buffer, length + 2).toHex(), QByteArray("0110210300010204d215fc"));
    }

    void readStartCheckLeavesTheImageAlone_data()
    {
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("result");
        QTest::newRow("p0 0x0180 unknown") << 0 << 3 << 0 << 0x0180 << 4;
        QTest::newRow("p1 device holding known") << 1 << 3 << 0xA << 0x0200 << 2;
        QTest::newRow("p1 model code known") << 1 << 4 << 0xA << 0x0010 << 2;
        QTest::newRow("p1 channel settings known") << 1 << 3 << 3 << 0x0103 << 2;
    }

    void readStartCheckLeavesTheImageAlone()
    {
        QFETCH(int, layout);
        QFETCH(int, function);
        QFETCH(int, page);
        QFETCH(int, reg);
        QFETCH(int, result);
        Command c;
        c.protocol_version = qint16(layout);
        c.device_code = 405;
        std::memset(&c.p0, 0x5A, sizeof c.p0);
        std::memset(&c.p1, 0xA5, sizeof c.p1);
        const QByteArray p0Before(reinterpret_cast<const char *>(&c.p0), sizeof c.p0);
        const QByteArray p1Before(reinterpret_cast<const char *>(&c.p1), sizeof c.p1);
        QCOMPARE(int(c.CheckReadStart(quint8(function), quint8(page), quint16(reg))), result);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(&c.p0), sizeof c.p0), p0Before);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(&c.p1), sizeof c.p1), p1Before);
        QCOMPARE(c.device_code, quint16(405));
    }

    void writeFrameRefusals_data()
    {
        QTest::addColumn<quint16>("refusal");
        QTest::newRow("register 0x018C of layout p1") << quint16(3);
        QTest::newRow("outside the map") << quint16(4);
        QTest::newRow("past the end of a block") << quint16(8);
    }

    void writeFrameRefusals()
    {
        QFETCH(quint16, refusal);
        LinkTestCommand c;
        c.encode_refusal = refusal;
        QCOMPARE(c.TransmitFunc16(0x0180, 2, c.tx_buffer), int(refusal));
    }

    void writeFrameTooLongForTheBufferIsRefused()
    {
        LinkTestCommand c;
        QCOMPARE(c.TransmitFunc16(0x0000, 124, c.tx_buffer), 8);
        QVERIFY(c.encode_calls.isEmpty());
        QCOMPARE(c.TransmitFunc16(0x0000, 123, c.tx_buffer), 7 + 246);
    }

    void firmwareBlockLength_data()
    {
        QTest::addColumn<int>("dataLength");
        QTest::addColumn<int>("frameLength");
        QTest::newRow("largest block") << 246 << 253;
        QTest::newRow("empty block") << 0 << 7;
        QTest::newRow("one byte too many") << 247 << 4;
        QTest::newRow("would wrap the length") << 249 << 4;
    }

    void firmwareBlockLength()
    {
        QFETCH(int, dataLength);
        QFETCH(int, frameLength);
        Command c;
        quint8 data[255];
        for (int i = 0; i < 255; ++i)
            data[i] = quint8(i);
        std::memset(c.tx_buffer, 0xEE, sizeof c.tx_buffer);
        QCOMPARE(c.TransmitFunc14(0x00012345, data, quint8(dataLength), c.tx_buffer), frameLength);
        if (frameLength <= 4) {
            QCOMPARE(c.tx_buffer[0], quint8(0xEE)); // refused: nothing built
            return;
        }
        QCOMPARE(c.tx_buffer[6], quint8(dataLength));
        QCOMPARE(bytes(c.tx_buffer + 7, dataLength), bytes(data, dataLength));
        QCOMPARE(c.tx_buffer[frameLength], quint8(0xEE));
    }

    void replyChecks_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("result");
        const char *exceptionFunctions[] = {"83", "84", "8c", "8e", "8f", "90", "94"};
        for (const char *f : exceptionFunctions) {
            QTest::addRow("exception %s code 2", f) << QByteArray::fromHex(QByteArray("01") + f + "02") << 0 << 64;
            QTest::addRow("exception %s code 3", f) << QByteArray::fromHex(QByteArray("01") + f + "03") << 0 << 128;
            QTest::addRow("exception %s code 4", f) << QByteArray::fromHex(QByteArray("01") + f + "04") << 0 << 512;
        }
        QTest::newRow("exception to function 6 unknown") << QByteArray::fromHex("018602") << 0 << 1;
        QTest::newRow("function 5 unknown") << QByteArray::fromHex("01050000ff00") << 0 << 1;
        QTest::newRow("16 echo, page ignored") << QByteArray::fromHex("011021030001") << 0x0103 << 2;
        QTest::newRow("16 echo, device page") << QByteArray::fromHex("0110a2400001") << 0x0240 << 2;
        QTest::newRow("16 echo, other register") << QByteArray::fromHex("011021030001") << 0x0104 << 4;
        QTest::newRow("6 echo") << QByteArray::fromHex("0106a2400001") << 0x0240 << 2;
        QTest::newRow("14 echo") << QByteArray::fromHex("010e0800fe10") << 0xFE10 << 2;
        QTest::newRow("14 echo, other address") << QByteArray::fromHex("010e0800fe10") << 0xFE20 << 4;
        QTest::newRow("15 echo") << QByteArray::fromHex("010f00001234") << 0x1234 << 2;
    }

    void replyChecks()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, address);
        QFETCH(int, result);
        LinkTestCommand c;
        QByteArray frame = withCrc(reply);
        QCOMPARE(int(c.Parsing_command(reinterpret_cast<quint8 *>(frame.data()), quint16(address),
                                       frame.size())),
                 result);
        QVERIFY(c.decode_calls.isEmpty());
    }

    void readReplyReachesTheDecoder_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("function");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("reg");
        QTest::newRow("holding, device page") << QByteArray::fromHex("ff0304000a000b") << 0xA200 << 3 << 0xA << 0x200;
        QTest::newRow("input, channel 2") << QByteArray::fromHex("ff0404000a000b") << 0x2103 << 4 << 2 << 0x103;
    }

    void readReplyReachesTheDecoder()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, address);
        QFETCH(int, function);
        QFETCH(int, page);
        QFETCH(int, reg);
        LinkTestCommand c;
        c.decode_result = 8;
        QByteArray frame = withCrc(reply);
        QCOMPARE(c.Parsing_command(reinterpret_cast<quint8 *>(frame.data()), quint16(address), frame.size()),
                 quint16(8)); // the decoder's answer is the result
        QCOMPARE(c.decode_calls.size(), 1);
        const auto &call = c.decode_calls[0];
        QCOMPARE(call.function, function);
        QCOMPARE(int(call.page), page);
        QCOMPARE(int(call.reg), reg);
        QCOMPARE(call.byte_count, quint16(4));
        QCOMPARE(call.words, (QVector<quint16>{10, 11}));
    }

    void malformedReadReplyIsNotDecoded_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("length");
        const QByteArray good = withCrc(QByteArray::fromHex("ff0304000a000b"));
        QTest::newRow("odd byte count") << withCrc(QByteArray::fromHex("ff0303000a00")) << 8;
        QTest::newRow("zero byte count") << withCrc(QByteArray::fromHex("ff0300")) << 5;
        QTest::newRow("count beyond received bytes") << withCrc(QByteArray::fromHex("ff03fe000a000b")) << 9;
        QTest::newRow("frame longer than its count") << withCrc(QByteArray::fromHex("ff0302000a000b")) << 9;
        QTest::newRow("odd count, length unknown") << withCrc(QByteArray::fromHex("ff0401000a")) << -1;
    }

    void malformedReadReplyIsNotDecoded()
    {
        QFETCH(QByteArray, frame);
        QFETCH(int, length);
        LinkTestCommand c;
        QCOMPARE(c.Parsing_command(reinterpret_cast<quint8 *>(frame.data()), 0xA200, length), quint16(8));
        QVERIFY(c.decode_calls.isEmpty());
    }

    void archiveRecords_data()
    {
        QTest::addColumn<int>("deviceCode");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("carriedBytes"); // record bytes actually in the reply
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("copied");
        QTest::newRow("411: 2 records of 48") << 411 << 2 << 96 << 2 << 96;
        QTest::newRow("405: 25 records of 120") << 405 << 25 << 3000 - 5 << 4 << 0; // not carried
        QTest::newRow("420: 17 records of 168 fit") << 420 << 17 << 2856 << 2 << 2856;
        QTest::newRow("420: 18 records exceed the buffer") << 420 << 18 << 3024 << 4 << 0;
        QTest::newRow("26 records") << 411 << 26 << 1248 << 4 << 0;
        QTest::newRow("430 keeps no readable archive") << 430 << 3 << 360 << 2 << 0;
        QTest::newRow("reply shorter than its records") << 404 << 3 << 240 << 4 << 0;
    }

    void archiveRecords()
    {
        QFETCH(int, deviceCode);
        QFETCH(int, records);
        QFETCH(int, carriedBytes);
        QFETCH(int, result);
        QFETCH(int, copied);
        Command c;
        c.device_code = quint16(deviceCode);
        QByteArray body = QByteArray::fromHex("010c") + char(records);
        for (int i = 0; i < carriedBytes; ++i)
            body += char(quint8(i * 7 + 1));
        QByteArray frame = withCrc(body);
        fillArchiveBuffer(0xEE);
        QCOMPARE(int(c.Parsing_command(reinterpret_cast<quint8 *>(frame.data()), 0, frame.size())), result);
        QCOMPARE(bytes(archiv_read_mas, copied), frame.mid(3, copied));
        QVERIFY(archiveBufferIs(0xEE, copied));
    }

    void archiveRange()
    {
        Command c;
        address_archiv_start = address_archiv_stop = 0xDEADBEEF;
        QByteArray frame = withCrc(QByteArray::fromHex("01141000000020000000"));
        QCOMPARE(c.Parsing_command(reinterpret_cast<quint8 *>(frame.data()), 0, frame.size()), quint16(2));
        QCOMPARE(address_archiv_start, 16u);
        QCOMPARE(address_archiv_stop, 32u);

        frame = withCrc(QByteArray::fromHex("0114ffff01020304"));
        QCOMPARE(c.Parsing_command(reinterpret_cast<quint8 *>(frame.data()), 0, frame.size()), quint16(4));
        QCOMPARE(address_archiv_start, 16u);
        QCOMPARE(address_archiv_stop, 32u);
    }

    void wordCodecRoundTrip()
    {
        Command c;
        quint8 frame[16] = {};
        frame[6] = 0;
        c.codec_byte_count_ptr = frame + 6;
        c.codec_cursor = frame + 7;
        c.codec_frame_length = 7;
        c.codec_remaining = 2;
        QVERIFY(!c.CMD_PUT_WORD_OUT_REG(0x1234));
        QVERIFY(c.CMD_PUT_WORD_OUT_REG(0xABCD));
        QCOMPARE(bytes(frame + 6, 5).toHex(), QByteArray("041234abcd"));
        QCOMPARE(c.codec_frame_length, qint16(11));

        c.codec_cursor = frame + 7;
        c.codec_remaining = 4;
        quint16 first = 0, second = 0;
        QVERIFY(!c.CMD_SAVE_SAME_WORD(first));
        c.CMD_SAVE_SAME_WORD_2(second);
        QCOMPARE(first, quint16(0x1234));
        QCOMPARE(second, quint16(0xABCD));
        QCOMPARE(c.codec_remaining, quint16(0));
    }
};

QTEST_GUILESS_MAIN(tst_codec)
#include "tst_codec.moc"
