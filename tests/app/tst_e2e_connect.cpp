// End to end: a technician logs in and connects through the real dialogs to a
// simulated detector; the window takes the look of the model and of the
// account, and the detector receives exactly the requests of the
// identification, the full read and the first refresh of tab 0.
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
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString Title = QStringLiteral("Ivra Configuration v1.15");

// The command column of the main window, bootloader buttons first.
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

// Shown as far as the window is concerned (tabs that are not current hide
// their contents, which says nothing about the widget's own state).
bool shown(QWidget *window, const char *name) { return !child(window, name)->isHidden(); }

constexpr int Dev = 0xA;

} // namespace

class TestE2eConnect : public QObject, protected WindowFixture
{
    Q_OBJECT

    void startSim(const QStringList &options)
    {
        sim = std::make_unique<SimProcess>();
        QVERIFY2(sim->start(options + QStringList{QStringLiteral("--steady")}), qPrintable(sim->errorString()));
    }

    MenuConnectResult connectAs(const QString &account, const QString &password)
    {
        MenuConnect how;
        how.account = account;
        how.password = password;
        how.port = sim->portPath();
        return connectThroughMenu(window.get(), how);
    }

private slots:
    void init() { openWindow(); }

    void cleanup() { closeWindow(); }

    void connectsAndTakesTheModelLook_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("bleAndLanguage");
        QTest::addColumn<QSize>("scroll");
        const QString m1 = QStringLiteral(" , устройство Ivra M1");
        const QString m4 = QStringLiteral(" , устройство Ivra M4");
        const QString m4p = QStringLiteral(" , устройство Ivra M4Plus");
        QTest::newRow("404 p0") << 404 << 0 << 4 << m4 << "Успешное подключение Ivra M4" << true << QSize(754, 614);
        QTest::newRow("404 p1") << 404 << 1 << 4 << m4 << "Успешное подключение Ivra M4" << true << QSize(754, 614);
        QTest::newRow("411 p0") << 411 << 0 << 1 << m1 << "Успешное подключение Ivra M1" << false << QSize(754, 614);
        QTest::newRow("412 p1") << 412 << 1 << 1 << m1 << "Успешное подключение Ivra M1" << false << QSize(754, 614);
        QTest::newRow("420 p0") << 420 << 0 << 6 << m4p << "Успешное подключение Ivra M4Plus" << true
                                << QSize(740, 914);
        QTest::newRow("420 p1") << 420 << 1 << 6 << m4p << "Успешное подключение Ivra M4Plus" << true
                                << QSize(740, 914);
    }

    void connectsAndTakesTheModelLook()
    {
        QFETCH(int, code);
        QFETCH(int, layout);
        QFETCH(int, channels);
        QFETCH(QString, suffix);
        QFETCH(QString, status);
        QFETCH(bool, bleAndLanguage);
        QFETCH(QSize, scroll);
        startSim({QStringLiteral("--model"), QString::number(code), QStringLiteral("--layout"),
                  QStringLiteral("p%1").arg(layout)});

        const MenuConnectResult r = connectAs(QStringLiteral("Admin"), QStringLiteral("9150"));
        QCOMPARE(r.dialogs, QStringList({QStringLiteral("AuthorizationWindow"), QStringLiteral("Connect_com_port")}));
        QCOMPARE(r.texts, QStringList{QStringLiteral("Вы успешно авторизовались")});

        // Identification and layout probe.
        QCOMPARE(int(cmd->device_code), code);
        QCOMPARE(int(cmd->protocol_version), layout);
        QCOMPARE(int(cmd->channel_count), channels);
        QCOMPARE(int(cmd->port_connected), 1);

        // The model look.
        QWidget *w = window.get();
        QCOMPARE(w->windowTitle(), Title + suffix);
        QCOMPARE(window->statusBar()->currentMessage(), status);
        QVERIFY(child(w, "tabWidget")->isVisible());
        QCOMPARE(shown(w, "pushButtonBootloader_Ble"), bleAndLanguage);
        QCOMPARE(shown(w, "groupBoxLanguage_2"), bleAndLanguage);
        for (const char *name : Column) {
            if (qstrcmp(name, "pushButtonBootloader_Ble") != 0
                && qstrcmp(name, "pushButtonSaveFactorySettings") != 0
                && qstrcmp(name, "pushButtonReadFactorySettings") != 0)
                QVERIFY2(shown(w, name), name);
        }
        QCOMPARE(child(w, "scrollAreaWidgetContents")->size(), scroll);
        QCOMPARE(child(w, "scrollAreaWidgetContents_2")->size(), scroll);
        // One channel stack per channel on the settings tabs, the rest hidden.
        for (int k = 0; k < 10; ++k) {
            const QByteArray s1 = "stackedWidget_1_" + QByteArray::number(k);
            const QByteArray s2 = "stackedWidget_2_" + QByteArray::number(k);
            QCOMPARE(shown(w, s1.constData()), k < channels);
            QCOMPARE(shown(w, s2.constData()), k < channels);
        }
        auto *tabs = child<QTabWidget>(w, "tabWidget");
        QCOMPARE(tabs->currentIndex(), 0);
        auto *autoBox = child<QCheckBox>(w, "checkBoxAutoupdate");
        QVERIFY(!autoBox->isChecked());
        QVERIFY(autoBox->isEnabled());
        QVERIFY(!window->RefreshTimer()->isActive());

        // On the wire: the model read of the dialog, the full read of the
        // rebuild and one refresh of tab 0, each transaction once.
        const QVector<WireRequest> wanted = QVector<WireRequest>{T(4, Dev, 0x0010, 1)}
            + expected::fullRead(code, layout, channels)
            + expected::refresh(code, layout, channels, 0, false, expected::extraReads(*cmd));
        const QVector<WireRequest> sent = wireRequests(sim->log());
        QCOMPARE(toStrings(sent), toStrings(wanted));
        QVERIFY(activCount(sim->log()) >= 1);
        QVERIFY(!sawDeactiv(sim->log()));

        // Every request is answered at the first attempt, except the layout
        // probe, which a first-protocol detector leaves unanswered: the full
        // read gives it the usual ten attempts, the refresh only two, so that
        // the silence does not hold up every refresh.
        QVector<int> probeAttempts;
        for (const WireRequest &req : sent) {
            const bool probe = req == T(4, Dev, 0x0999, 1);
            if (probe && layout == 0) {
                QVERIFY2(!req.answered, qPrintable(req.toString()));
                probeAttempts << req.attempts;
                continue;
            }
            QVERIFY2(req.answered && req.attempts == 1, qPrintable(req.toString()));
        }
        if (layout == 0)
            QCOMPARE(probeAttempts, QVector<int>({10, 2}));
    }

    void bootloaderLook()
    {
        startSim({QStringLiteral("--model"), QStringLiteral("999")});
        const MenuConnectResult r = connectAs(QStringLiteral("Admin"), QStringLiteral("9150"));
        QCOMPARE(r.texts, QStringList{QStringLiteral("Вы успешно авторизовались")});
        QCOMPARE(int(cmd->device_code), 999);
        QWidget *w = window.get();
        QCOMPARE(w->windowTitle(), Title + QStringLiteral(" , устройство Bootloader"));
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Успешное подключение Bootloader"));
        QVERIFY(!shown(w, "tabWidget"));
        QVERIFY(!shown(w, "groupBoxLanguage_2"));
        for (const char *name : Column) {
            const bool bootloaderButton = qstrcmp(name, "pushButtonBootloader") == 0
                || qstrcmp(name, "pushButton_TurnOffDevice") == 0;
            QCOMPARE(shown(w, name), bootloaderButton);
        }
        // The bootloader is only identified: no layout probe, no reads.
        QCOMPARE(toStrings(wireRequests(sim->log())), QStringList{T(4, Dev, 0x0010, 1).toString()});
    }

    void accountLook_data()
    {
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("serviceTab");
        QTest::addColumn<bool>("factoryButtons");
        QTest::addColumn<bool>("modbusAddress");
        QTest::newRow("user") << "User" << "6283" << false << false << false;
        QTest::newRow("administrator") << "Admin" << "9150" << true << false << false;
        QTest::newRow("production") << "Quorl" << "5038" << true << true << true;
    }

    void accountLook()
    {
        QFETCH(QString, account);
        QFETCH(QString, password);
        QFETCH(bool, serviceTab);
        QFETCH(bool, factoryButtons);
        QFETCH(bool, modbusAddress);
        startSim({QStringLiteral("--model"), QStringLiteral("404"), QStringLiteral("--layout"), QStringLiteral("p1")});
        connectAs(account, password);
        QCOMPARE(cmd->login_name, account);
        QCOMPARE(int(cmd->device_code), 404);

        QWidget *w = window.get();
        auto *tabs = child<QTabWidget>(w, "tabWidget");
        QCOMPARE(tabs->isTabEnabled(3), serviceTab);
        for (int t : {0, 1, 2, 4})
            QVERIFY(tabs->isTabEnabled(t));
        QCOMPARE(shown(w, "pushButtonSaveFactorySettings"), factoryButtons);
        QCOMPARE(shown(w, "pushButtonReadFactorySettings"), factoryButtons);
        QCOMPARE(shown(w, "spinBoxModbusAddress"), modbusAddress);
        QCOMPARE(child<QSpinBox>(w, "spinBoxModbusAddress")->value(), 255);
        // The commands every account has.
        for (const char *name : {"pushButton_Save_Param", "pushButton_Read_Param", "checkBoxAutoupdate",
                                 "pushButtonLoadConfigDevice", "pushButtonSaveConfigPC", "pushButtonBootloader",
                                 "pushButton_TurnOffDevice", "pushButtonBootloader_Ble"})
            QVERIFY2(shown(w, name), name);
    }

    void englishLook()
    {
        child<QRadioButton>(window.get(), "radioButtonLanguageEn")->click();
        startSim({QStringLiteral("--model"), QStringLiteral("420"), QStringLiteral("--layout"), QStringLiteral("p1")});
        const MenuConnectResult r = connectAs(QStringLiteral("Admin"), QStringLiteral("9150"));
        QCOMPARE(r.texts, QStringList{QStringLiteral("You have logged in")});
        QCOMPARE(window->windowTitle(), Title + QStringLiteral(" , device Ivra M4Plus"));
        QCOMPARE(window->statusBar()->currentMessage(), QStringLiteral("Connected to Ivra M4Plus"));
        QCOMPARE(child<QTabWidget>(window.get(), "tabWidget")->tabText(0), QStringLiteral("Device information"));
    }

    void failedLoginShowsNoConnectionDialog()
    {
        MenuConnect how;
        how.account = QStringLiteral("User");
        how.password = QStringLiteral("9150");
        how.port = QStringLiteral("/dev/ivra-not-used");
        const MenuConnectResult r = connectThroughMenu(window.get(), how);
        QCOMPARE(r.dialogs, QStringList{QStringLiteral("AuthorizationWindow")});
        QCOMPARE(r.texts, QStringList{QStringLiteral("Вы не успешно авторизовались")});
        QCOMPARE(cmd->login_name, QStringLiteral("Noname"));
        QCOMPARE(int(cmd->login_done), 0);
        QCOMPARE(window->windowTitle(), Title);
        QVERIFY(!shown(window.get(), "tabWidget"));
        QVERIFY(!cmd->port.isOpen());
    }

    void secondConnectSkipsLoginAndDisconnects()
    {
        startSim({QStringLiteral("--model"), QStringLiteral("404"), QStringLiteral("--layout"), QStringLiteral("p1")});
        connectAs(QStringLiteral("User"), QStringLiteral("6283"));
        QCOMPARE(int(cmd->device_code), 404);

        // The second time the dialog opens on the connected port: its button
        // reads "Disconnect", and pressing it lets the detector go.
        const int before = wireRequests(sim->log()).size();
        const MenuConnectResult r = connectAs(QString(), QString());
        QCOMPARE(r.dialogs, QStringList{QStringLiteral("Connect_com_port")});
        QCOMPARE(r.texts, QStringList());
        QCOMPARE(cmd->login_name, QStringLiteral("User"));
        QCOMPARE(int(cmd->device_code), 0);
        QCOMPARE(int(cmd->port_connected), 0);
        QVERIFY(!cmd->port.isOpen());
        QCOMPARE(window->windowTitle(), Title);
        QVERIFY(!shown(window.get(), "tabWidget"));
        for (const char *name : Column)
            QVERIFY2(!shown(window.get(), name), name);
        // Nothing more was asked of the detector.
        QCOMPARE(wireRequests(sim->log()).size(), before);
    }

    void tenChannelModelFillsStacksWithoutALook()
    {
        // The M5 Plus is identified and read, but the program has no look for
        // it: the ten channel stacks are filled and the tabs stay hidden.
        startSim({QStringLiteral("--model"), QStringLiteral("430"), QStringLiteral("--layout"), QStringLiteral("p1")});
        const MenuConnectResult r = connectAs(QStringLiteral("Admin"), QStringLiteral("9150"));
        QCOMPARE(r.texts, QStringList{QStringLiteral("Вы успешно авторизовались")});
        QCOMPARE(int(cmd->device_code), 430);
        QCOMPARE(int(cmd->channel_count), 10);
        QWidget *w = window.get();
        QCOMPARE(w->windowTitle(), Title);
        QVERIFY(!shown(w, "tabWidget"));
        for (const char *name : Column)
            QVERIFY2(!shown(w, name), name);
        for (int k = 0; k < 10; ++k) {
            const QByteArray s1 = "stackedWidget_1_" + QByteArray::number(k);
            QVERIFY2(shown(w, s1.constData()), s1.constData());
        }
        QVERIFY(window->statusBar()->currentMessage().isEmpty());
        // Identified and fully read; no refresh follows without a look.
        const QVector<WireRequest> wanted = QVector<WireRequest>{T(4, Dev, 0x0010, 1)} + expected::fullRead(430, 1, 10);
        QCOMPARE(toStrings(wireRequests(sim->log())), toStrings(wanted));
    }
};

QTEST_MAIN(TestE2eConnect)
#include "tst_e2e_connect.moc"
