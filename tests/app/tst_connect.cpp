// The connection dialog against a detector on a pseudo-terminal: the ACTIV
// wake-up, the model read, refusals, and offline work on a chosen model.
#include "connect_com_port.h"

#include "command.h"
#include "iofile.h"
#include "mainwindow.h"
#include "modal_answerer.h"
#include "pty_peer.h"

#include <QComboBox>
#include <QInputDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

// A detector that echoes "ACTIV" (from a given try on, or with a stray byte)
// and answers the model-code read with `code`.
struct ScriptedDetector
{
    ScriptedDetector(int answerFromTry, const QByteArray &echo, quint16 code)
    {
        peer.setResponder([=](const QByteArray &frame) {
            if (frame == "ACTIV") {
                const int n = ++activTries;
                return n >= answerFromTry ? PtyPeer::answer(echo) : PtyPeer::Reply();
            }
            if (!PtyPeer::hasGoodCrc(frame) || frame.size() != 8 || quint8(frame[1]) != 4)
                return PtyPeer::Reply();
            QByteArray reply = frame.left(2);
            reply += char(2);
            reply += char(code >> 8);
            reply += char(code & 0xFF);
            return PtyPeer::answer(PtyPeer::withCrc(reply));
        });
        peer.start();
    }
    bool sawDeactiv() const
    {
        for (const PtyPeer::Frame &f : peer.frames())
            if (f.bytes.contains("DEACTIV"))
                return true;
        return false;
    }
    PtyPeer peer;
    std::atomic<int> activTries{0};
};

} // namespace

class TestConnect : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<Command> cmd;
    std::unique_ptr<MainWindow> window;

    QPushButton *button(Connect_com_port &d, const char *name) { return d.findChild<QPushButton *>(name); }

    void connectTo(Connect_com_port &d, const QString &port)
    {
        d.findChild<QComboBox *>("cb_Com")->setEditText(port);
        button(d, "Button_connect")->click();
    }

private slots:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        SetSettingsFolder(folder->path());
        cmd = std::make_unique<Command>();
        Command::setInstance(cmd.get());
        window = std::make_unique<MainWindow>();
        MainWindow_ptr = window.get();
    }
    void cleanup()
    {
        // Each test's scripted detector is gone by now. Take the program off
        // its line before the window's farewell request: a write to a dead
        // pseudo-terminal reopens the port by name, and the name may already
        // belong to another test's detector.
        cmd->port.close();
        cmd->port_connected = 0;
        window.reset();
        MainWindow_ptr = nullptr;
        Command::setInstance(nullptr);
        cmd.reset();
        SetSettingsFolder(QString());
    }

    void activAnsweredOnThirdTryConnects()
    {
        ScriptedDetector detector(3, "ACTIV", 404);
        Connect_com_port d;
        d.show();
        ModalAnswerer answers;
        connectTo(d, detector.peer.slavePath());
        QCOMPARE(answers.texts(), QStringList());
        QCOMPARE(detector.activTries.load(), 3);
        QCOMPARE(int(cmd->device_code), 404);
        QCOMPARE(int(cmd->channel_count), 4);
        QCOMPARE(int(cmd->port_connected), 1);
        QVERIFY(cmd->port.isOpen());
        QCOMPARE(button(d, "Button_connect")->text(), QStringLiteral("Disconnect"));
        QVERIFY(!button(d, "Button_Rescan")->isEnabled());
        QVERIFY(!d.isVisible());
        QVERIFY(!detector.sawDeactiv());
    }

    void refusals_data()
    {
        QTest::addColumn<int>("answerFromTry");
        QTest::addColumn<QByteArray>("echo");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("deactiv");
        QTest::newRow("echo with a carriage return") << 1 << QByteArray("ACTIV\r") << 404
                                                      << "COM port устройство не отвечает на запросы" << false;
        QTest::newRow("silent detector") << 99 << QByteArray("ACTIV") << 404
                                         << "COM port устройство не отвечает на запросы" << false;
        QTest::newRow("unknown model") << 1 << QByteArray("ACTIV") << 500 << "Прибор не опознан" << true;
    }

    void refusals()
    {
        QFETCH(int, answerFromTry);
        QFETCH(QByteArray, echo);
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(bool, deactiv);
        ScriptedDetector detector(answerFromTry, echo, quint16(code));
        Connect_com_port d;
        d.show();
        ModalAnswerer answers;
        connectTo(d, detector.peer.slavePath());
        QCOMPARE(answers.titles(), QStringList{QStringLiteral("Подключение")});
        QCOMPARE(answers.texts(), QStringList{message});
        QCOMPARE(window->statusBar()->currentMessage(), message);
        QVERIFY(!cmd->port.isOpen());
        QCOMPARE(int(cmd->device_code), 0);
        QCOMPARE(button(d, "Button_connect")->text(), QStringLiteral("Connect"));
        QVERIFY(button(d, "Button_Rescan")->isEnabled());
        QTRY_COMPARE(detector.sawDeactiv(), deactiv);
    }

    void modelReadFailureSendsDeactiv()
    {
        // Echoes ACTIV but never answers a Modbus request.
        PtyPeer peer;
        peer.setResponder([](const QByteArray &frame) {
            return frame == "ACTIV" ? PtyPeer::answer("ACTIV") : PtyPeer::Reply();
        });
        peer.start();
        Connect_com_port d;
        d.show();
        ModalAnswerer answers;
        connectTo(d, peer.slavePath());
        QCOMPARE(answers.texts(), QStringList{QStringLiteral("Ошибка обмена данными с прибором")});
        QVERIFY(!cmd->port.isOpen());
        const auto sawDeactiv = [&peer] {
            for (const PtyPeer::Frame &f : peer.frames())
                if (f.bytes.contains("DEACTIV"))
                    return true;
            return false;
        };
        QTRY_VERIFY(sawDeactiv());
    }

    void portThatCannotBeOpened()
    {
        Connect_com_port d;
        d.show();
        ModalAnswerer answers;
        connectTo(d, QStringLiteral("/dev/ivra-no-such-port"));
        QCOMPARE(answers.texts(), QStringList{QStringLiteral("Не открывает COM port")});
        QCOMPARE(int(cmd->port_connected), 0);
        // The status bar says why, not only that it failed.
        QVERIFY2(window->statusBar()->currentMessage().startsWith(QStringLiteral("Не открывает COM port: ")),
                 qPrintable(window->statusBar()->currentMessage()));
    }

    void offlineModels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("protocol");
        QTest::newRow("M1 v0.01") << "IVRA M1 v0.01" << 411 << 0;
        QTest::newRow("M4 v0.01") << "IVRA M4 v0.01" << 404 << 0;
        QTest::newRow("M4 Plus(4) v0.01") << "IVRA M4 Plus(4) v0.01" << 421 << 0;
        QTest::newRow("M4 Plus v0.01") << "IVRA M4 Plus v0.01" << 420 << 0;
        QTest::newRow("M1 v0.02") << "IVRA M1 v0.02" << 412 << 1;
        QTest::newRow("M4 v0.02") << "IVRA M4 v0.02" << 404 << 1;
        QTest::newRow("M4 Plus(4) v0.02") << "IVRA M4 Plus(4) v0.02" << 421 << 1;
        QTest::newRow("M4 Plus v0.02") << "IVRA M4 Plus v0.02" << 420 << 1;
        QTest::newRow("M5 Plus v0.02") << "IVRA M5 Plus v0.02" << 430 << 1;
    }

    void offlineModels()
    {
        QFETCH(QString, name);
        QFETCH(int, code);
        QFETCH(int, protocol);
        cmd->protocol_version = qint16(1 - protocol);
        Connect_com_port d;
        d.show();
        QString title;
        QStringList offered;
        ModalAnswerer answers([&](QWidget *dialog) {
            auto *input = qobject_cast<QInputDialog *>(dialog);
            QVERIFY(input);
            title = input->windowTitle();
            offered = input->comboBoxItems();
            input->setTextValue(name);
            input->accept();
        });
        button(d, "Button_Out")->click();
        QCOMPARE(title, QStringLiteral("Offline режим"));
        QCOMPARE(offered, Connect_com_port::offlineModelNames());
        QCOMPARE(int(cmd->device_code), code);
        QCOMPARE(int(cmd->protocol_version), protocol);
        QCOMPARE(int(cmd->port_connected), 0);
        QVERIFY(!d.isVisible());
    }

    void cancellingOfflineChoiceChangesNothing()
    {
        cmd->device_code = 0;
        cmd->protocol_version = 1;
        Connect_com_port d;
        d.show();
        ModalAnswerer answers; // rejects the item dialog
        button(d, "Button_Out")->click();
        QCOMPARE(answers.count(), 1);
        QCOMPARE(int(cmd->device_code), 0);
        QCOMPARE(int(cmd->protocol_version), 1);
        QVERIFY(!d.isVisible());
    }

    void modbusAddressOnlyForProduction_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("shown");
        QTest::newRow("production") << "Quorl" << "5038" << true;
        QTest::newRow("administrator") << "Admin" << "9150" << false;
        QTest::newRow("production name, other password") << "Quorl" << "9150" << false;
    }

    void modbusAddressOnlyForProduction()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(bool, shown);
        cmd->login_name = name;
        cmd->login_password = password;
        cmd->modbus_address = 17;
        Connect_com_port d;
        d.show();
        auto *spin = d.findChild<QSpinBox *>("spinBoxModbusAddress");
        QCOMPARE(spin->isVisible(), shown);
        QCOMPARE(int(cmd->modbus_address), shown ? 17 : 255);
        QCOMPARE(spin->value(), int(cmd->modbus_address));
    }
};

QTEST_MAIN(TestConnect)
#include "tst_connect.moc"
