// End to end: the link to a connected detector is lost while "Авто" polls it,
// because the detector stops answering or its line goes away. The window goes
// back to its no-device look and says "Ошибка обмена данными".
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
const QString Title = QStringLiteral("Ivra Configuration v1.15");

const char *const Column[] = {"pushButtonBootloader",          "pushButton_TurnOffDevice",
                              "pushButtonReadFactorySettings", "pushButton_Save_Param",
                              "pushButton_Read_Param",         "checkBoxAutoupdate",
                              "pushButtonLoadConfigDevice",    "pushButtonSaveConfigPC",
                              "pushButtonSaveFactorySettings", "pushButtonBootloader_Ble"};

template <typename W = QWidget>
W *child(QWidget *window, const char *name)
{
    W *w = window->findChild<W *>(QLatin1String(name));
    if (!w)
        qFatal("no widget %s", name);
    return w;
}

} // namespace

class TestE2eLink : public QObject, protected WindowFixture
{
    Q_OBJECT

private slots:
    void init() { openWindow(); }

    void cleanup() { closeWindow(); }

    void lostLinkGivesNoDeviceLook_data()
    {
        QTest::addColumn<bool>("lineGoes");
        QTest::newRow("detector stops answering") << false;
        QTest::newRow("simulator exits") << true;
    }

    void lostLinkGivesNoDeviceLook()
    {
        QFETCH(bool, lineGoes);
        // A 420 on layout p1: the connection costs exactly the requests of
        // the identification, the full read and the first refresh; a
        // detector that stops answering after them is silent from the
        // first tick of "Авто" on.
        const int connectRequests = 1 + expected::fullRead(420, 1, 6).size() + expected::refresh(420, 1, 6, 0, false).size();
        QStringList options{QStringLiteral("--model"), QStringLiteral("420"), QStringLiteral("--layout"),
                            QStringLiteral("p1"), QStringLiteral("--steady")};
        if (!lineGoes)
            options << QStringLiteral("--stop-after") << QString::number(connectRequests);
        sim = std::make_unique<SimProcess>();
        QVERIFY2(sim->start(options), qPrintable(sim->errorString()));
        MenuConnect how;
        how.account = QStringLiteral("Admin");
        how.password = QStringLiteral("9150");
        how.port = sim->portPath();
        connectThroughMenu(window.get(), how);
        QCOMPARE(int(cmd->device_code), 420);
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Успешное подключение Ivra M4Plus"));
        QCOMPARE(wireRequests(sim->log()).size(), connectRequests);

        if (lineGoes)
            QVERIFY(sim->stop());
        auto *autoBox = child<QCheckBox>(window.get(), "checkBoxAutoupdate");
        autoBox->setChecked(true);
        QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), Title, 8000);

        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Ошибка обмена данными"));
        QCOMPARE(int(cmd->device_code), 0);
        QCOMPARE(int(cmd->port_connected), 0);
        QVERIFY(!cmd->port.isOpen());
        // The poll stops (the hidden box itself is unchecked by the next
        // connection).
        QVERIFY(!window->RefreshTimer()->isActive());
        QVERIFY(child(window.get(), "tabWidget")->isHidden());
        QVERIFY(child(window.get(), "groupBoxLanguage_2")->isHidden());
        for (const char *name : Column)
            QVERIFY2(child(window.get(), name)->isHidden(), name);

        if (!lineGoes) {
            // The tick asked for the model code, with every attempt, and
            // nothing after it.
            const QVector<WireRequest> sent = wireRequests(sim->log());
            QCOMPARE(sent.size(), connectRequests + 1);
            QCOMPARE(sent.last().toString(), T(4, Dev, 0x0010, 1).toString());
            QCOMPARE(sent.last().attempts, 10);
            QVERIFY(!sent.last().answered);
        }
        // Nothing polls a detector that is gone.
        const int after = sim->isRunning() ? wireRequests(sim->log()).size() : 0;
        QTest::qWait(1300);
        if (sim->isRunning())
            QCOMPARE(wireRequests(sim->log()).size(), after);
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Ошибка обмена данными"));
    }
};

QTEST_MAIN(TestE2eLink)
#include "tst_e2e_link.moc"
