// "Сохранить параметры" on four-channel detectors of both register layouts,
// as each account: the blocks the account may write, the commit last, nothing
// else changed, the edits back on the page after a re-read.
#include "tst_save_scenario.h"

using namespace save_scenario;

class TestSaveParams : public QObject
{
    Q_OBJECT

private slots:
    void saveWritesWhatTheAccountMay_data();
    void saveWritesWhatTheAccountMay();
};

void TestSaveParams::saveWritesWhatTheAccountMay_data()
{
    addSaveColumns();
    const QStringList m4Device = m4DeviceWrites();
    QTest::newRow("M4 405 p0, user")
        << 405 << "p0" << "User" << 2
        << QStringList(QStringList{ClockM4} + simWritesPerChannel(4, {"0100, 12", "0230, 1"}) + QStringList{Commit});
    QTest::newRow("M4 405 p0, administrator")
        << 405 << "p0" << "Admin" << 2
        << QStringList(QStringList{ClockM4} + simWritesPerChannel(4, {"0100, 29", "0230, 4", "0221, 1"})
                       + QStringList{Commit});
    QTest::newRow("M4 405 p0, production")
        << 405 << "p0" << "Quorl" << 2
        << QStringList(QStringList{ClockM4} + simWritesPerChannel(4, {"0100, 80", "0222, 2"}) + m4Device
                       + QStringList{Commit});
    QTest::newRow("M4 404 p1, user")
        << 404 << "p1" << "User" << 2
        << QStringList(QStringList{ClockM4} + simWritesPerChannel(4, {"0102, 13", "0224, 2"}) + QStringList{Commit});
    QTest::newRow("M4 404 p1, administrator")
        << 404 << "p1" << "Admin" << 2
        << QStringList(QStringList{ClockM4} + simWritesPerChannel(4, {"0102, 41", "0224, 5"}) + simDeviceWrites({"0220, 4"})
                       + QStringList{Commit});
    QTest::newRow("M4 404 p1, production")
        << 404 << "p1" << "Quorl" << 2
        << QStringList(QStringList{ClockM4} + simWritesPerChannel(4, {"0102, 55", "0150, 60", "0224, 5"})
                       + simDeviceWrites({"0200, 7", "0210, 6", "0220, 4", "0310, 2"}) + QStringList{Commit});
}

void TestSaveParams::saveWritesWhatTheAccountMay()
{
    QFETCH(int, model);
    QFETCH(QString, layout);
    QFETCH(QString, account);
    QFETCH(int, channel);
    QFETCH(QStringList, writes);
    saveAndCheck(model, layout, account, channel, writes);
}

QTEST_MAIN(TestSaveParams)
#include "tst_save_params.moc"
