// "Сохранить параметры" on the models with their own write lists: the M4
// Plus with its zero-compensation table and sensor configuration per
// channel, and the single-channel M1 with its own clock write.
#include "tst_save_scenario.h"

using namespace save_scenario;

class TestSaveParamsModels : public QObject
{
    Q_OBJECT

private slots:
    void saveWritesWhatTheAccountMay_data();
    void saveWritesWhatTheAccountMay();
};

void TestSaveParamsModels::saveWritesWhatTheAccountMay_data()
{
    addSaveColumns();
    const QStringList m4Device = m4DeviceWrites();
    QTest::newRow("M4 Plus 420 p0, production")
        << 420 << "p0" << "Quorl" << 2
        << QStringList(QStringList{ClockM4} + simWritesPerChannel(6, {"0100, 80", "0160, 20", "0222, 2", "0202, 1"})
                       + m4Device + QStringList{Commit});
    QTest::newRow("M1 411 p0, production")
        << 411 << "p0" << "Quorl" << 0
        << QStringList{ClockM1, "W(0, 0100, 80)", "W(0, 0220, 4)", "W(A, 0200, 1)",
                       "W(A, 0210, 6)", Commit};
    QTest::newRow("M1 412 p1, administrator")
        << 412 << "p1" << "Admin" << 0
        << QStringList{ClockM4, "W(0, 0102, 41)", "W(0, 0224, 5)", "W(A, 0220, 4)", Commit};
}

void TestSaveParamsModels::saveWritesWhatTheAccountMay()
{
    QFETCH(int, model);
    QFETCH(QString, layout);
    QFETCH(QString, account);
    QFETCH(int, channel);
    QFETCH(QStringList, writes);
    saveAndCheck(model, layout, account, channel, writes);
}

QTEST_MAIN(TestSaveParamsModels)
#include "tst_save_params_models.moc"
