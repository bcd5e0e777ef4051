// The Modbus CRC against known vectors: the check value and real frames whose
// CRC bytes are as they appear on the wire.
#include "crc16.h"

#include <QtTest>

class tst_crc : public QObject
{
    Q_OBJECT
private slots:
    void knownFrames_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("crcOnWire");
        QTest::newRow("check value abc") << QByteArray("abc") << QByteArray::fromHex("4957");
        QTest::newRow("read 10 holding from 0") << QByteArray::fromHex("01030000000a") << QByteArray::fromHex("c5cd");
        QTest::newRow("read 8 holding from 0x12") << QByteArray::fromHex("010300120008") << QByteArray::fromHex("e409");
        QTest::newRow("exception 2 to function 3") << QByteArray::fromHex("018302") << QByteArray::fromHex("c0f1");
        QTest::newRow("write one register") << QByteArray::fromHex("0110210300010204d2") << QByteArray::fromHex("15fc");
        QTest::newRow("empty") << QByteArray() << QByteArray::fromHex("ffff");
    }

    void knownFrames()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, crcOnWire);
        QByteArray buffer = frame + QByteArray(2, '\x55');
        auto *data = reinterpret_cast<quint8 *>(buffer.data());

        CreateCRC(data, frame.size());
        QCOMPARE(buffer.mid(frame.size()).toHex(), crcOnWire.toHex());

        // The received-frame form: CRC byte at length * 256 + byte at length + 1.
        const quint16 received = quint16(quint8(crcOnWire[0]) * 256 + quint8(crcOnWire[1]));
        QCOMPARE(CreateCRC_out(data, frame.size()), received);
    }

    void singleBitErrorIsDetected()
    {
        const QByteArray frame = QByteArray::fromHex("ff030a00000a");
        const auto *data = reinterpret_cast<const quint8 *>(frame.constData());
        const quint16 good = Crc16Modbus(data, frame.size());
        for (int byte = 0; byte < frame.size(); ++byte) {
            for (int bit = 0; bit < 8; ++bit) {
                QByteArray bad = frame;
                bad[byte] = char(bad[byte] ^ (1 << bit));
                QVERIFY(Crc16Modbus(reinterpret_cast<const quint8 *>(bad.constData()), bad.size()) != good);
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_crc)
#include "tst_crc.moc"
