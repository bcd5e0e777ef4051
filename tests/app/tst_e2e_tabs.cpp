// End to end: the refresh of every tab, against a simulated detector (each
// tab reads its own blocks) and offline on each of the nine models a
// technician can choose (every tab refreshes from the device image alone).
#include "mainwindow.h"

#include "command.h"
#include "expected_requests.h"
#include "globals.h"
#include "iofile.h"
#include "menu_connect.h"
#include "sim_process.h"
#include "window_fixture.h"
#include "wire_requests.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString Title = QStringLiteral("Ivra Configuration v1.15");

template <typename W = QWidget>
W *child(QWidget *window, const char *name)
{
    W *w = window->findChild<W *>(QLatin1String(name));
    if (!w)
        qFatal("no widget %s", name);
    return w;
}

} // namespace

class TestE2eTabs : public QObject, protected WindowFixture
{
    Q_OBJECT

    QTabWidget *tabs() { return child<QTabWidget>(window.get(), "tabWidget"); }
    QVector<WireRequest> sent() const { return wireRequests(sim->log()); }

private slots:
    void init() { openWindow(); }

    void cleanup() { closeWindow(); }

    void eachTabReadsItsBlocks()
    {
        // Layout p0 M4: the archive tab also reads the device block at 0x0210.
        sim = std::make_unique<SimProcess>();
        QVERIFY2(sim->start({QStringLiteral("--model"), QStringLiteral("405"), QStringLiteral("--layout"),
                             QStringLiteral("p0"), QStringLiteral("--steady")}),
                 qPrintable(sim->errorString()));
        MenuConnect how;
        how.account = QStringLiteral("Admin");
        how.password = QStringLiteral("9150");
        how.port = sim->portPath();
        connectThroughMenu(window.get(), how);
        QCOMPARE(int(cmd->device_code), 405);

        for (int tab : {1, 4}) {
            const int mark = sent().size();
            tabs()->setCurrentIndex(tab);
            QCOMPARE(tabs()->currentIndex(), tab);
            QCOMPARE(toStrings(sent().mid(mark)),
                     toStrings(expected::refresh(405, 0, 4, tab, false, expected::extraReads(*cmd))));
            QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Успешная передача данных"));
        }
        // "Считать параметры" reads the current tab again.
        const int mark = sent().size();
        child<QPushButton>(window.get(), "pushButton_Read_Param")->click();
        QCOMPARE(toStrings(sent().mid(mark)),
                 toStrings(expected::refresh(405, 0, 4, 4, false, expected::extraReads(*cmd))));
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Успешная передача данных"));
    }

    void offlineModel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("status");
        const QString m1 = QStringLiteral(" , устройство Ivra M1");
        const QString m4 = QStringLiteral(" , устройство Ivra M4");
        const QString m4p = QStringLiteral(" , устройство Ivra M4Plus");
        const QString c1 = QStringLiteral("Успешное подключение Ivra M1");
        const QString c4 = QStringLiteral("Успешное подключение Ivra M4");
        const QString c4p = QStringLiteral("Успешное подключение Ivra M4Plus");
        QTest::newRow("M1 v0.01") << "IVRA M1 v0.01" << 411 << 0 << 1 << m1 << c1;
        QTest::newRow("M4 v0.01") << "IVRA M4 v0.01" << 404 << 0 << 4 << m4 << c4;
        QTest::newRow("M4 Plus(4) v0.01") << "IVRA M4 Plus(4) v0.01" << 421 << 0 << 4 << m4p << c4p;
        QTest::newRow("M4 Plus v0.01") << "IVRA M4 Plus v0.01" << 420 << 0 << 6 << m4p << c4p;
        QTest::newRow("M1 v0.02") << "IVRA M1 v0.02" << 412 << 1 << 1 << m1 << c1;
        QTest::newRow("M4 v0.02") << "IVRA M4 v0.02" << 404 << 1 << 4 << m4 << c4;
        QTest::newRow("M4 Plus(4) v0.02") << "IVRA M4 Plus(4) v0.02" << 421 << 1 << 4 << m4p << c4p;
        QTest::newRow("M4 Plus v0.02") << "IVRA M4 Plus v0.02" << 420 << 1 << 6 << m4p << c4p;
        // The M5 Plus has no look of its own: its pages exist, the tabs stay hidden.
        QTest::newRow("M5 Plus v0.02") << "IVRA M5 Plus v0.02" << 430 << 1 << 10 << QString() << QString();
    }

    void offlineModel()
    {
        QFETCH(QString, name);
        QFETCH(int, code);
        QFETCH(int, layout);
        QFETCH(int, channels);
        QFETCH(QString, suffix);
        QFETCH(QString, status);

        MenuConnect how;
        how.account = QStringLiteral("Quorl");
        how.password = QStringLiteral("5038");
        how.offlineModel = name;
        const MenuConnectResult r = connectThroughMenu(window.get(), how);
        QCOMPARE(r.dialogs, QStringList({QStringLiteral("AuthorizationWindow"), QStringLiteral("Connect_com_port"),
                                         QStringLiteral("QInputDialog")}));
        QCOMPARE(int(cmd->device_code), code);
        QCOMPARE(int(cmd->protocol_version), layout);
        QCOMPARE(int(cmd->channel_count), channels);
        QCOMPARE(int(cmd->port_connected), 0);
        QVERIFY(!cmd->port.isOpen());

        QCOMPARE(window->windowTitle(), Title + suffix);
        QCOMPARE(window->statusBar()->currentMessage(), status);
        QCOMPARE(tabs()->isVisible(), !suffix.isEmpty());

        // Fresh pages for the model's channels.
        QVERIFY(measure_0);
        for (int k = 0; k < 10; ++k)
            QCOMPARE(devicesettingall_1_Array[k] != nullptr, k < channels);

        // Every tab refreshes from the image: the 100 ms pause and nothing
        // on the line, so the refresh succeeds at once and keeps the model.
        for (int tab = 0; tab <= 6; ++tab) {
            window->statusBar()->clearMessage();
            QElapsedTimer clock;
            clock.start();
            window->Update_Param(static_cast<unsigned char>(tab));
            const qint64 ms = clock.elapsed();
            QVERIFY2(ms >= 100 && ms < 600, qPrintable(QStringLiteral("tab %1: %2 ms").arg(tab).arg(ms)));
            QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Успешная передача данных"));
            QCOMPARE(int(cmd->device_code), code);
            QCOMPARE(int(cmd->protocol_version), layout);
            QVERIFY(!cmd->port.isOpen());
        }
    }
};

QTEST_MAIN(TestE2eTabs)
#include "tst_e2e_tabs.moc"
