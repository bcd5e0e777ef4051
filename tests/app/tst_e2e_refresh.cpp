// End to end: keeping the view live. "Авто" polls tab 0 once a second and
// leaves out the channel parameter blocks where the model allows; a change
// of tab stops it. Everything is checked on the requests the simulated
// detector received.
#include "mainwindow.h"

#include "command.h"
#include "expected_requests.h"
#include "globals.h"
#include "iofile.h"
#include "menu_connect.h"
#include "sim_process.h"
#include "window_fixture.h"
#include "wire_requests.h"

#include <QCheckBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

constexpr int Dev = 0xA;

template <typename W = QWidget>
W *child(QWidget *window, const char *name)
{
    W *w = window->findChild<W *>(QLatin1String(name));
    if (!w)
        qFatal("no widget %s", name);
    return w;
}

// The requests from `from` up to and including the first detector-language
// read, which ends every refresh.
QVector<WireRequest> oneRefresh(const QVector<WireRequest> &sent, int from)
{
    const int end = indexOf(sent, T(3, Dev, 0x0700, 1), from);
    return end < 0 ? sent.mid(from) : sent.mid(from, end - from + 1);
}

} // namespace

class TestE2eRefresh : public QObject, protected WindowFixture
{
    Q_OBJECT

    QCheckBox *autoBox() { return child<QCheckBox>(window.get(), "checkBoxAutoupdate"); }
    QTabWidget *tabs() { return child<QTabWidget>(window.get(), "tabWidget"); }
    QVector<WireRequest> sent() const { return wireRequests(sim->log()); }

    // Starts a detector of this model and layout and connects to it as the
    // administrator through the menu.
    void connectTo(int code, int layout)
    {
        sim = std::make_unique<SimProcess>();
        QVERIFY2(sim->start({QStringLiteral("--model"), QString::number(code), QStringLiteral("--layout"),
                             QStringLiteral("p%1").arg(layout), QStringLiteral("--steady")}),
                 qPrintable(sim->errorString()));
        MenuConnect how;
        how.account = QStringLiteral("Admin");
        how.password = QStringLiteral("9150");
        how.port = sim->portPath();
        connectThroughMenu(window.get(), how);
        QCOMPARE(int(cmd->device_code), code);
        QCOMPARE(int(cmd->protocol_version), layout);
    }

private slots:
    void init() { openWindow(); }

    void cleanup() { closeWindow(); }

    void autoTickReadsMeasurementsOnly_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("channels");
        // 405 and 420 on layout p0 leave out the parameter blocks, the M1
        // (411) always reads them; on layout p1 only the inputs are read.
        QTest::newRow("405 p0") << 405 << 0 << 4;
        QTest::newRow("420 p0") << 420 << 0 << 6;
        QTest::newRow("411 p0") << 411 << 0 << 1;
        QTest::newRow("404 p1") << 404 << 1 << 4;
    }

    void autoTickReadsMeasurementsOnly()
    {
        QFETCH(int, code);
        QFETCH(int, layout);
        QFETCH(int, channels);
        connectTo(code, layout);
        const int mark = sent().size();

        autoBox()->setChecked(true);
        QVERIFY(window->RefreshTimer()->isActive());
        QCOMPARE(window->RefreshTimer()->interval(), 1000);
        QVERIFY(!child(window.get(), "pushButton_Read_Param")->isEnabled());
        // Wait for the first tick to end with its detector-language read.
        QTRY_VERIFY_WITH_TIMEOUT(indexOf(sent(), T(3, Dev, 0x0700, 1), mark) >= 0, 8000);
        autoBox()->setChecked(false);
        QVERIFY(!window->RefreshTimer()->isActive());
        QVERIFY(child(window.get(), "pushButton_Read_Param")->isEnabled());

        QCOMPARE(toStrings(oneRefresh(sent(), mark)),
                 toStrings(expected::refresh(code, layout, channels, 0, true, expected::extraReads(*cmd))));
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Успешная передача данных"));
    }

    void autoTicksOnceASecond()
    {
        connectTo(404, 1);
        const int mark = sent().size();
        autoBox()->setChecked(true);
        QTest::qWait(3500);
        autoBox()->setChecked(false);

        // Tick starts: the liveness reads.
        QVector<QDateTime> starts;
        const QVector<WireRequest> all = sent();
        for (int i = mark; i < all.size(); ++i)
            if (all.at(i) == T(4, Dev, 0x0010, 1))
                starts << all.at(i).time;
        QVERIFY2(starts.size() >= 3, qPrintable(QString::number(starts.size())));
        for (int i = 1; i < starts.size(); ++i) {
            const qint64 gap = starts.at(i - 1).msecsTo(starts.at(i));
            QVERIFY2(gap >= 900 && gap <= 1300, qPrintable(QStringLiteral("tick %1 after %2 ms").arg(i).arg(gap)));
        }

        // Unchecked, the detector is left alone.
        const int after = sent().size();
        QTest::qWait(1300);
        QCOMPARE(sent().size(), after);
    }

    void autoRunsOnTheFirstTabOnly()
    {
        connectTo(404, 1);
        autoBox()->setChecked(true);
        int mark = sent().size();

        // Another tab: "Авто" is switched off and greyed, and that tab is
        // read once, with the parameter blocks.
        tabs()->setCurrentIndex(1);
        QVERIFY(!autoBox()->isChecked());
        QVERIFY(!autoBox()->isEnabled());
        QVERIFY(!window->RefreshTimer()->isActive());
        QVERIFY(child(window.get(), "pushButton_Read_Param")->isEnabled());
        QCOMPARE(toStrings(sent().mid(mark)), toStrings(expected::refresh(404, 1, 4, 1, false)));
        mark = sent().size();
        QTest::qWait(1300);
        QCOMPARE(sent().size(), mark);

        // Back on tab 0 the box can be used again; it stays off.
        tabs()->setCurrentIndex(0);
        QVERIFY(autoBox()->isEnabled());
        QVERIFY(!autoBox()->isChecked());
        QCOMPARE(toStrings(sent().mid(mark)), toStrings(expected::refresh(404, 1, 4, 0, false)));
    }
};

QTEST_MAIN(TestE2eRefresh)
#include "tst_e2e_refresh.moc"
