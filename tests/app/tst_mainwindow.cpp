// The main window: fixed form, start-up look, model table, application
// language and its persistence through the settings file.
#include "mainwindow.h"

#include "command.h"
#include "globals.h"
#include "iofile.h"
#include "pty_peer.h"
#include "testpaths.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QMessageBox>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

const char *const CommandColumn[] = {
    "pushButtonBootloader",       "pushButtonReadFactorySettings", "pushButton_Save_Param",
    "pushButton_Read_Param",      "checkBoxAutoupdate",            "pushButtonLoadConfigDevice",
    "pushButtonSaveConfigPC",     "pushButtonBootloader_Ble",      "pushButton_TurnOffDevice",
    "pushButtonSaveFactorySettings"};

template <typename T = QWidget>
T *child(QWidget *window, const char *name)
{
    T *widget = window->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no widget %s", name);
    return widget;
}

QByteArray readIni(const QString &folder)
{
    QFile file(folder + QStringLiteral("/ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeIni(const QString &folder, const QByteArray &contents)
{
    QFile file(folder + QStringLiteral("/ini"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

// A detector on a pseudo-terminal that acknowledges every register write
// (or refuses it with a Modbus exception), installed as the program's link.
class DetectorOnPty
{
public:
    explicit DetectorOnPty(bool acknowledges)
    {
        peer.setResponder([acknowledges](const QByteArray &frame) {
            if (!PtyPeer::hasGoodCrc(frame) || frame.size() < 8 || quint8(frame.at(1)) != 0x10)
                return PtyPeer::Reply();
            const QByteArray reply = acknowledges
                ? frame.left(6)
                : frame.left(1) + QByteArray::fromHex("9002"); // illegal data address
            return PtyPeer::answer(PtyPeer::withCrc(reply));
        });
        peer.start();
        cmd.port.setPortName(peer.slavePath());
        opened = cmd.port.open(QIODevice::ReadWrite);
        cmd.port.setBaudRate(115200);
        cmd.port_connected = 1;
        Command::setInstance(&cmd);
    }
    ~DetectorOnPty() { Command::setInstance(nullptr); }

    // Register writes received: (address word, first value), oldest first.
    QVector<QPair<quint16, quint16>> writes() const
    {
        QVector<QPair<quint16, quint16>> result;
        for (const PtyPeer::Frame &frame : peer.frames()) {
            const QByteArray &b = frame.bytes;
            if (PtyPeer::hasGoodCrc(b) && b.size() >= 11 && quint8(b.at(1)) == 0x10)
                result.append({quint16(quint8(b.at(2)) << 8 | quint8(b.at(3))),
                               quint16(quint8(b.at(7)) << 8 | quint8(b.at(8)))});
        }
        return result;
    }

    PtyPeer peer;
    Command cmd;
    bool opened = false;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> folder;

    std::unique_ptr<MainWindow> makeWindow()
    {
        auto window = std::make_unique<MainWindow>();
        MainWindow_ptr = window.get();
        window->show();
        return window;
    }

private slots:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
        SetSettingsFolder(folder->path());
        LanguageTrans.clear();
        Command &cmd = Command::instance();
        cmd.device_code = 0;
        cmd.port_connected = 0;
        cmd.login_name.clear();
        cmd.login_done = 0;
    }

    void cleanup() { SetSettingsFolder(QString()); }

    void detectorLanguageIsWritten_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("language");
        QTest::newRow("layout p0, Russian") << 0 << "radioButtonLanguageRus_2" << 0;
        QTest::newRow("layout p0, English") << 0 << "radioButtonLanguageEn_2" << 1;
        QTest::newRow("layout p1, Russian") << 1 << "radioButtonLanguageRus_2" << 0;
        QTest::newRow("layout p1, English") << 1 << "radioButtonLanguageEn_2" << 1;
    }

    void detectorLanguageIsWritten()
    {
        QFETCH(int, protocol);
        QFETCH(QString, button);
        QFETCH(int, language);
        DetectorOnPty detector(true);
        QVERIFY(detector.opened);
        Command &cmd = detector.cmd;
        cmd.protocol_version = qint16(protocol);
        cmd.p0.trailer.device_language = 7;
        cmd.p1.trailer.device_language = 7;
        auto w = makeWindow();
        w->statusBar()->showMessage(QStringLiteral("old message"));
        auto *autoupdate = child<QCheckBox>(w.get(), "checkBoxAutoupdate");
        autoupdate->setChecked(true);
        QVERIFY(w->RefreshTimer()->isActive());

        child<QRadioButton>(w.get(), button.toLatin1().constData())->click();

        QCOMPARE(int(protocol == 0 ? cmd.p0.trailer.device_language : cmd.p1.trailer.device_language), language);
        QCOMPARE(int(protocol == 0 ? cmd.p1.trailer.device_language : cmd.p0.trailer.device_language), 7);
        QCOMPARE(detector.writes(), (QVector<QPair<quint16, quint16>>{{0xA700, quint16(language)}}));
        QVERIFY(!autoupdate->isChecked());
        QVERIFY(!w->RefreshTimer()->isActive());
        QVERIFY(w->statusBar()->currentMessage().isEmpty());
        QVERIFY(!QApplication::activeModalWidget());
    }

    void refusedDetectorLanguageIsReported()
    {
        DetectorOnPty detector(false);
        QVERIFY(detector.opened);
        detector.cmd.protocol_version = 1;
        auto w = makeWindow();
        QString title;
        QString text;
        // Answers the first message box that opens (polled, since the handler
        // processes events before it talks to the detector).
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                poll.stop();
                box->accept();
            }
        });
        poll.start();
        auto *english = child<QRadioButton>(w.get(), "radioButtonLanguageEn_2");
        english->click();
        QCOMPARE(title, QStringLiteral("Ошибка"));
        QCOMPARE(text, QStringLiteral("Ошибка обмена данными"));
        QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("Ошибка обмена данными"));
        QVERIFY(english->isChecked());
        QCOMPARE(int(detector.cmd.p1.trailer.device_language), 1);
    }

    void offlineDetectorLanguageNeedsNoDetector()
    {
        Command::instance().protocol_version = 0;
        auto w = makeWindow();
        child<QRadioButton>(w.get(), "radioButtonLanguageEn_2")->click();
        QCOMPARE(int(Command::instance().p0.trailer.device_language), 1);
        QVERIFY(w->statusBar()->currentMessage().isEmpty());
    }

    void closingSendsTheExitCommandOnce()
    {
        DetectorOnPty detector(true);
        QVERIFY(detector.opened);
        auto w = makeWindow();
        QVERIFY(detector.writes().isEmpty());
        w.reset();
        QCOMPARE(detector.writes(), (QVector<QPair<quint16, quint16>>{{0xA254, 0}}));
        QVERIFY(QFileInfo::exists(folder->path() + QStringLiteral("/ini")));
    }

    void windowIsFixedAt970x700()
    {
        auto w = makeWindow();
        QCOMPARE(w->minimumSize(), QSize(970, 700));
        QCOMPARE(w->maximumSize(), QSize(970, 700));
        w->resize(1200, 900);
        QCOMPARE(w->size(), QSize(970, 700));
    }

    void formGeometry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("tab widget") << "tabWidget" << QRect(200, 10, 760, 645);
        QTest::newRow("update firmware") << "pushButtonBootloader" << QRect(10, 13, 170, 40);
        QTest::newRow("read parameters") << "pushButton_Read_Param" << QRect(10, 151, 125, 40);
        QTest::newRow("auto") << "checkBoxAutoupdate" << QRect(150, 161, 50, 20);
        QTest::newRow("factory save") << "pushButtonSaveFactorySettings" << QRect(10, 382, 170, 40);
        QTest::newRow("application language") << "groupBoxLanguage" << QRect(10, 420, 170, 62);
        QTest::newRow("detector language") << "groupBoxLanguage_2" << QRect(10, 480, 170, 61);
        QTest::newRow("address stack") << "stackedWidgetModbusAddress" << QRect(10, 550, 171, 111);
        QTest::newRow("address spin box") << "spinBoxModbusAddress" << QRect(0, 10, 171, 26);
        QTest::newRow("address button") << "pushButtonModbusAddress" << QRect(180, 550, 20, 100);
        // Channel stacks: two columns, the rows alternating the order of the
        // odd and even channel.
        const QPoint grid[10] = {{0, 0},     {370, 0},   {370, 300}, {0, 300},   {0, 600},
                                 {370, 600}, {370, 900}, {0, 900},   {0, 1200},  {370, 1200}};
        for (int tab = 1; tab <= 2; ++tab) {
            for (int k = 0; k < 10; ++k) {
                const QString name = QStringLiteral("stackedWidget_%1_%2").arg(tab).arg(k);
                QTest::newRow(qPrintable(name)) << name << QRect(grid[k], QSize(370, 300));
            }
        }
    }

    void formGeometry()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        MainWindow w;
        QCOMPARE(child(&w, name.toLatin1().constData())->geometry(), geometry);
    }

    void startUpLookShowsOnlyLanguageAndMenu()
    {
        auto w = makeWindow();
        QCOMPARE(w->windowTitle(), QStringLiteral("Ivra Configuration v1.15"));
        QVERIFY(!child(w.get(), "tabWidget")->isVisible());
        for (const char *name : CommandColumn)
            QVERIFY2(!child(w.get(), name)->isVisible(), name);
        QVERIFY(!child(w.get(), "groupBoxLanguage_2")->isVisible());
        QVERIFY(!child(w.get(), "spinBoxModbusAddress")->isVisible());
        QVERIFY(!child(w.get(), "pushButtonModbusAddress")->isVisible());
        QVERIFY(!child(w.get(), "groupBoxAccessLevel")->isVisible());
        QVERIFY(!child(w.get(), "groupBoxDevice")->isVisible());

        QVERIFY(child(w.get(), "groupBoxLanguage")->isVisible());
        QVERIFY(child(w.get(), "radioButtonLanguageRus")->isVisible());
        QVERIFY(child(w.get(), "radioButtonLanguageEn")->isVisible());
        auto *address = child<QStackedWidget>(w.get(), "stackedWidgetModbusAddress");
        QVERIFY(address->isVisible());
        QCOMPARE(address->currentIndex(), 1);
        QVERIFY(w->menuBar()->isVisible());
        QVERIFY(w->statusBar()->isVisible());
        QVERIFY(w->statusBar()->currentMessage().isEmpty());
        QVERIFY(!w->RefreshTimer()->isActive());
        QVERIFY(!w->CalibrationTimer()->isActive());
    }

    void modelTable_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("known");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("offCode");
        QTest::addColumn<double>("timeUnit");
        QTest::addColumn<QString>("titleSuffix"); // "-" : no-device look
        QTest::addColumn<bool>("bleAndDeviceLanguage");

        // Before each row the image holds 3 channels, off code 99 and unit 2.0,
        // so that rows that change nothing show it.
        QTest::newRow("411 M1") << 411 << true << 1 << 7 << 0.9375 << " , устройство Ivra M1" << false;
        QTest::newRow("412 M1") << 412 << true << 1 << 170 << 1.0 << " , устройство Ivra M1" << false;
        QTest::newRow("404 M4") << 404 << true << 4 << 7 << 1.0 << " , устройство Ivra M4" << true;
        QTest::newRow("405 M4") << 405 << true << 4 << 170 << 1.0 << " , устройство Ivra M4" << true;
        QTest::newRow("406 M4") << 406 << true << 4 << 170 << 1.0 << " , устройство Ivra M4" << true;
        QTest::newRow("420 M4 Plus") << 420 << true << 6 << 170 << 1.0 << " , устройство Ivra M4Plus" << true;
        QTest::newRow("421 M4 Plus") << 421 << true << 4 << 170 << 1.0 << " , устройство Ivra M4Plus" << true;
        QTest::newRow("430 ten channels, no look") << 430 << true << 10 << 170 << 1.0 << "-" << false;
        QTest::newRow("999 bootloader") << 999 << true << 3 << 99 << 2.0 << " , устройство Bootloader" << false;
        QTest::newRow("unknown 407") << 407 << false << 3 << 99 << 2.0 << "-" << false;
    }

    void modelTable()
    {
        QFETCH(int, code);
        QFETCH(bool, known);
        QFETCH(int, channels);
        QFETCH(int, offCode);
        QFETCH(double, timeUnit);
        QFETCH(QString, titleSuffix);
        QFETCH(bool, bleAndDeviceLanguage);

        auto w = makeWindow();
        Command &cmd = Command::instance();
        cmd.channel_count = 3;
        cmd.channel_off_code = 99;
        cmd.device_time_unit_s = 2.0;

        QCOMPARE(w->Update_Dev(static_cast<unsigned short>(code)), known);
        QCOMPARE(int(cmd.device_code), code);
        QCOMPARE(int(cmd.channel_count), channels);
        QCOMPARE(int(cmd.channel_off_code), offCode);
        QCOMPARE(cmd.device_time_unit_s, timeUnit);

        w->Update_Tab();
        const bool noDevice = titleSuffix == QLatin1String("-");
        QCOMPARE(w->windowTitle(), QStringLiteral("Ivra Configuration v1.15") + (noDevice ? QString() : titleSuffix));
        const bool bootloader = code == 999;
        QCOMPARE(child(w.get(), "tabWidget")->isVisible(), !noDevice && !bootloader);
        QCOMPARE(child(w.get(), "pushButtonBootloader")->isVisible(), !noDevice);
        QCOMPARE(child(w.get(), "pushButton_TurnOffDevice")->isVisible(), !noDevice);
        QCOMPARE(child(w.get(), "pushButton_Save_Param")->isVisible(), !noDevice && !bootloader);
        QCOMPARE(child(w.get(), "checkBoxAutoupdate")->isVisible(), !noDevice && !bootloader);
        QCOMPARE(child(w.get(), "pushButtonBootloader_Ble")->isVisible(), bleAndDeviceLanguage);
        QCOMPARE(child(w.get(), "groupBoxLanguage_2")->isVisible(), bleAndDeviceLanguage);
        QCOMPARE(w->statusBar()->currentMessage().isEmpty(), noDevice);

        // Losing the device returns the window to its start-up look.
        w->Update_Dev(0);
        w->Update_Tab();
        QCOMPARE(w->windowTitle(), QStringLiteral("Ivra Configuration v1.15"));
        QVERIFY(!child(w.get(), "tabWidget")->isVisible());
        for (const char *name : CommandColumn)
            QVERIFY2(!child(w.get(), name)->isVisible(), name);
        QVERIFY(!child(w.get(), "groupBoxLanguage_2")->isVisible());
    }

    void hiddenModelButtonsSelectTheirModel_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("code");
        QTest::newRow("M1") << "radioButtonDeviceM1" << 412;
        QTest::newRow("M4") << "radioButtonDeviceM4" << 404;
        QTest::newRow("M4P") << "radioButtonDeviceM4P" << 420;
        QTest::newRow("M5P") << "radioButtonDeviceM5P" << 430;
        QTest::newRow("Bl") << "radioButtonDevice999" << 999;
    }

    void hiddenModelButtonsSelectTheirModel()
    {
        QFETCH(QString, button);
        QFETCH(int, code);
        auto w = makeWindow();
        child<QRadioButton>(w.get(), button.toLatin1().constData())->click();
        QCOMPARE(int(Command::instance().device_code), code);
    }

    void hiddenAccessButtonsLogIn_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::newRow("user") << "radioButtonNameUser" << "User" << "6283";
        QTest::newRow("administrator") << "radioButtonNameAdmin" << "Admin" << "9150";
        QTest::newRow("production") << "radioButtonNameIndustry" << "Quorl" << "5038";
    }

    void hiddenAccessButtonsLogIn()
    {
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(QString, password);
        auto w = makeWindow();
        child<QRadioButton>(w.get(), button.toLatin1().constData())->click();
        const Command &cmd = Command::instance();
        QCOMPARE(cmd.login_name, name);
        QCOMPARE(cmd.login_password, password);
        QCOMPARE(int(cmd.login_done), 1);
    }

    void modbusAddressFollowsTheSpinBox()
    {
        auto w = makeWindow();
        auto *spin = child<QSpinBox>(w.get(), "spinBoxModbusAddress");
        QCOMPARE(spin->maximum(), 255);
        spin->setValue(17);
        QCOMPARE(int(Command::instance().modbus_address), 17);
        spin->setValue(255);
        QCOMPARE(int(Command::instance().modbus_address), 255);
    }

    void startLanguageFromSettings_data()
    {
        QTest::addColumn<QByteArray>("line8");
        QTest::addColumn<bool>("english");
        QTest::newRow("exact English name") << QByteArray("Ivra_Configuration_en_US.") << true;
        QTest::newRow("Russian name") << QByteArray("Ivra_Configuration_ru_RU.") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("other case") << QByteArray("ivra_configuration_en_us.") << false;
        QTest::newRow("without the dot") << QByteArray("Ivra_Configuration_en_US") << false;
    }

    void startLanguageFromSettings()
    {
        QFETCH(QByteArray, line8);
        QFETCH(bool, english);
        writeIni(folder->path(), "\r\n\r\n\r\n\r\n\r\n\r\n\r\n" + line8 + "\r\n");
        auto w = makeWindow();
        QCOMPARE(child<QRadioButton>(w.get(), "radioButtonLanguageEn")->isChecked(), english);
        QCOMPARE(child<QRadioButton>(w.get(), "radioButtonLanguageRus")->isChecked(), !english);
        QCOMPARE(child<QGroupBox>(w.get(), "groupBoxLanguage")->title(),
                 english ? QStringLiteral("Application language") : QStringLiteral("Язык приложения"));
        QCOMPARE(LanguageTrans, english ? LanguageEnglish : LanguageRussian);
    }

    void switchingLanguageRetranslatesTheForm()
    {
        auto w = makeWindow();
        QCOMPARE(LanguageTrans, LanguageRussian);
        child<QRadioButton>(w.get(), "radioButtonLanguageEn")->click();
        QCOMPARE(LanguageTrans, LanguageEnglish);
        QCOMPARE(child<QGroupBox>(w.get(), "groupBoxLanguage")->title(), QStringLiteral("Application language"));
        QCOMPARE(child<QRadioButton>(w.get(), "radioButtonLanguageEn")->text(), QStringLiteral("English"));
        QCOMPARE(child<QPushButton>(w.get(), "pushButtonBootloader")->text(), QStringLiteral("Update device\nfirmware"));
        QCOMPARE(child<QTabWidget>(w.get(), "tabWidget")->tabText(0), QStringLiteral("Device information"));
        QCOMPARE(w->menuBar()->actions().value(0)->text(), QStringLiteral("Menu"));
        QCOMPARE(w->findChild<QAction *>(QStringLiteral("action_connect"))->text(), QStringLiteral("Connect to device"));
        // The rebuild after the switch restores the title the form's own text replaced.
        QCOMPARE(w->windowTitle(), QStringLiteral("Ivra Configuration v1.15"));
        QVERIFY(!child(w.get(), "tabWidget")->isVisible());

        child<QRadioButton>(w.get(), "radioButtonLanguageRus")->click();
        QCOMPARE(LanguageTrans, LanguageRussian);
        QCOMPARE(child<QGroupBox>(w.get(), "groupBoxLanguage")->title(), QStringLiteral("Язык приложения"));
        QCOMPARE(child<QPushButton>(w.get(), "pushButtonBootloader")->text(),
                 QStringLiteral("Обновление версии ПО\nустройства"));
        QCOMPARE(w->menuBar()->actions().value(0)->text(), QStringLiteral("Меню"));
    }

    void englishIsKeptAcrossARestart()
    {
        {
            auto w = makeWindow();
            child<QRadioButton>(w.get(), "radioButtonLanguageEn")->click();
        }
        const QList<QByteArray> lines = readIni(folder->path()).split('\n');
        QCOMPARE(lines.size(), 9); // eight lines, each ended by CR LF
        QCOMPARE(lines.at(7), QByteArray("Ivra_Configuration_en_US.\r"));

        LanguageTrans.clear();
        auto w = makeWindow();
        QVERIFY(child<QRadioButton>(w.get(), "radioButtonLanguageEn")->isChecked());
        QCOMPARE(child<QGroupBox>(w.get(), "groupBoxLanguage")->title(), QStringLiteral("Application language"));
    }

    void catalogueInTheWorkingDirectoryComesFirst()
    {
        // A catalogue named like the English one but holding the Russian texts,
        // placed in the working directory, wins over the one beside the program.
        const QString russian = ivraBinDir() + QStringLiteral("/Ivra_Configuration_ru_RU.qm");
        QVERIFY(QFile::exists(russian));
        QVERIFY(QFile::copy(russian, folder->path() + QStringLiteral("/Ivra_Configuration_en_US.qm")));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder->path()));
        auto w = makeWindow();
        child<QRadioButton>(w.get(), "radioButtonLanguageEn")->click();
        const QString title = child<QGroupBox>(w.get(), "groupBoxLanguage")->title();
        w.reset();
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(title, QStringLiteral("Язык приложения"));
    }

    void closingSavesTheRememberedPaths()
    {
        auto w = makeWindow();
        dir = QStringLiteral("/home/техник/архив");
        file_firmware_in = QStringLiteral("/home/техник/fw.hex");
        w.reset();
        const QList<QByteArray> lines = readIni(folder->path()).split('\n');
        QCOMPARE(lines.value(0), QString("/home/техник/архив\r").toUtf8());
        QCOMPARE(lines.value(6), QString("/home/техник/fw.hex\r").toUtf8());
        QCOMPARE(lines.value(7), QByteArray("Ivra_Configuration_ru_RU.\r"));
    }

    void unwritableSettingsDoNotStopTheWindow()
    {
        QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("ini")));
        auto w = makeWindow();
        QVERIFY(child<QRadioButton>(w.get(), "radioButtonLanguageRus")->isChecked());
        child<QRadioButton>(w.get(), "radioButtonLanguageEn")->click();
        w.reset(); // saves into a folder named ini: skipped
        QVERIFY(QFileInfo(folder->path() + QStringLiteral("/ini")).isDir());
        QCOMPARE(MainWindow_ptr, static_cast<MainWindow *>(nullptr));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
