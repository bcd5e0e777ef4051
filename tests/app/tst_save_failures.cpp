// "Сохранить параметры" when the detector refuses a write half-way: the
// warning "Ошибка обмена данными", the same text in the status bar, nothing
// sent after the refused write, and no commit, so the detector keeps its
// committed settings.
#include "modal_answerer.h"
#include "sim_traffic.h"
#include "sim_window.h"

#include <QtTest>

namespace {

const QString Commit = QStringLiteral("W(A, 0240, 1)");
const QString ClockM4 = QStringLiteral("W(0, 00FE, 4)");

} // namespace

class TestSaveFailures : public QObject
{
    Q_OBJECT

private slots:
    void failedWriteStopsTheSave_data();
    void failedWriteStopsTheSave();
};

void TestSaveFailures::failedWriteStopsTheSave_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QStringList>("writes");  // up to and including the refused one

    QTest::newRow("p0 user, channel 2 block refused")
        << 405 << "p0" << "User" << "2:0100"
        << QStringList(QStringList{ClockM4} + simWritesPerChannel(2, {"0100, 12", "0230, 1"})
                       + QStringList{"W(2, 0100, 12)"});
    QTest::newRow("p0 production, archive settings refused")
        << 405 << "p0" << "Quorl" << "A:0210"
        << QStringList(QStringList{ClockM4} + simWritesPerChannel(4, {"0100, 80", "0222, 2"})
                       + simDeviceWrites({"0200, 1", "0220, 2", "0210, 6"}));
    QTest::newRow("p0 user, clock refused") << 405 << "p0" << "User" << "0:00FE" << QStringList{ClockM4};
    QTest::newRow("p0 user, commit refused")
        << 405 << "p0" << "User" << "A:0240"
        << QStringList(QStringList{ClockM4} + simWritesPerChannel(4, {"0100, 12", "0230, 1"}) + QStringList{Commit});
    QTest::newRow("p1 administrator, device options refused")
        << 404 << "p1" << "Admin" << "A:0220"
        << QStringList(QStringList{ClockM4} + simWritesPerChannel(4, {"0102, 41", "0224, 5"}) + simDeviceWrites({"0220, 4"}));
    // A detector that answers "slave device failure" (exception 4) has not
    // stored the block either.
    QTest::newRow("p0 user, channel 2 block failed in the detector")
        << 405 << "p0" << "User" << "2:0100:4"
        << QStringList(QStringList{ClockM4} + simWritesPerChannel(2, {"0100, 12", "0230, 1"})
                       + QStringList{"W(2, 0100, 12)"});
}

void TestSaveFailures::failedWriteStopsTheSave()
{
    QFETCH(int, model);
    QFETCH(QString, layout);
    QFETCH(QString, account);
    QFETCH(QString, refused);
    QFETCH(QStringList, writes);

    SimWindow w;
    QVERIFY2(w.connect({"--model", QString::number(model), "--layout", layout, "--steady", "--refuse-write",
                        refused},
                       quint16(model), account),
             qPrintable(w.error));
    const int from = w.sim.log().size();
    ModalAnswerer answers;
    w.button("pushButton_Save_Param")->click();

    // Whatever the exception code, a refused write fails the save.
    QCOMPARE(answers.titles(), QStringList{"Ошибка"});
    QCOMPARE(answers.texts(), QStringList{"Ошибка обмена данными"});
    QCOMPARE(w.status(), QStringLiteral("Ошибка обмена данными"));

    // The save stopped at the refused write: nothing after it, no commit and
    // no refresh.
    const QVector<SimRequest> sent = simRequests(w.sim.log(), from);
    QCOMPARE(describe(sent), writes);
    QCOMPARE(sent.last().exception, refused.count(':') == 2 ? refused.section(':', 2).toInt() : 2);
    QVERIFY(!sent.last().answered);
    QVERIFY(w.sim.requestDump());
    QCOMPARE(w.sim.dump().counter("commits"), 0);
}

QTEST_MAIN(TestSaveFailures)
#include "tst_save_failures.moc"
