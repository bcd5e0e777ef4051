// The detector commands of the main window end to end against the simulated
// detector: the factory-settings restore asks the user account for its
// password and sends nothing without it, and brings the factory settings back
// into the program; the switch-off goes to the register of the bootloader or
// of the detector, and the next refresh finds the detector gone.
#include "modal_answerer.h"
#include "sim_traffic.h"
#include "sim_window.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>

class TestE2eLiveCommands : public QObject
{
    Q_OBJECT

private slots:
    void factoryRestore_data();
    void factoryRestore();
    void switchOff_data();
    void switchOff();
};

void TestE2eLiveCommands::factoryRestore_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<QStringList>("passwords");  // typed into the password page, in turn
    QTest::addColumn<bool>("restored");
    QTest::addColumn<QStringList>("warnings");

    QTest::newRow("user, dialog cancelled") << "User" << QStringList() << false << QStringList();
    QTest::newRow("user, wrong password, then cancelled")
        << "User" << QStringList{"6283"} << false << QStringList{"Введите пароль"};
    QTest::newRow("user, factory-settings password") << "User" << QStringList{"4726"} << true << QStringList();
    QTest::newRow("administrator, no password asked") << "Admin" << QStringList() << true << QStringList();
}

void TestE2eLiveCommands::factoryRestore()
{
    QFETCH(QString, account);
    QFETCH(QStringList, passwords);
    QFETCH(bool, restored);
    QFETCH(QStringList, warnings);

    SimWindow w;
    QVERIFY2(w.connect({"--model", "405", "--layout", "p1", "--steady"}, 405, account), qPrintable(w.error));

    // A threshold changed and committed since the detector left the factory.
    Command &cmd = *w.cmd;
    const float factoryThreshold = cmd.p1.channel[1].alarm_threshold_1;
    cmd.p1.channel[1].alarm_threshold_1 = factoryThreshold + 5;
    QCOMPARE(cmd.Transmit_command(16, 1, 0x0102, 13), quint16(2));
    QCOMPARE(cmd.Transmit_command(16, 0xAA, 0x0240, 1), quint16(2));

    const int from = w.sim.log().size();
    int passwordPages = 0;
    ModalAnswerer answers([&](QWidget *dialog) {
        if (qstrcmp(dialog->metaObject()->className(), "AuthorizationWindow") != 0) {
            ModalAnswerer::defaultAnswer(dialog);
            return;
        }
        // The password page: type the next password and press "OK"
        // (queued, so that a warning it raises is answered by the next
        // poll), or give up with "Cancel" when none is left.
        const int turn = passwordPages++;
        if (turn < passwords.size()) {
            dialog->findChild<QLineEdit *>("password_2")->setText(passwords.at(turn));
            QMetaObject::invokeMethod(dialog->findChild<QPushButton *>("pushButton_OK"), "click",
                                      Qt::QueuedConnection);
        } else {
            QMetaObject::invokeMethod(dialog->findChild<QPushButton *>("pushButton_2"), "click",
                                      Qt::QueuedConnection);
        }
    });
    w.button("pushButtonReadFactorySettings")->click();

    QCOMPARE(answers.texts().filter(QRegularExpression(".+")), warnings);
    QCOMPARE(passwordPages, account == "User" ? passwords.size() + (restored ? 0 : 1) : 0);
    const QStringList sent = describe(simRequests(w.sim.log(), from));
    QVERIFY(w.sim.requestDump());
    if (!restored) {
        QCOMPARE(sent, QStringList());  // nothing at all went to the detector
        QCOMPARE(w.sim.dump().counter("factory-restores"), 0);
        QCOMPARE(cmd.p1.channel[1].alarm_threshold_1, factoryThreshold + 5);
        return;
    }
    QVERIFY(!sent.isEmpty());
    QCOMPARE(sent.first(), QStringLiteral("W(A, 0252, 1)"));
    QCOMPARE(sent.value(1), QStringLiteral("R4(A, 0010, 1)"));  // the refresh follows
    QCOMPARE(w.sim.dump().counter("factory-restores"), 1);
    QCOMPARE(cmd.factory_password_ok, quint8(0));
    QCOMPARE(w.status(), QStringLiteral("Успешная передача данных"));
    // The refresh brought the factory threshold back into the program.
    QCOMPARE(cmd.p1.channel[1].alarm_threshold_1, factoryThreshold);
}

void TestE2eLiveCommands::switchOff_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("write");
    QTest::newRow("bootloader") << 999 << "W(A, 0005, 1)";
    QTest::newRow("detector M4 405") << 405 << "W(A, 0800, 1)";
}

void TestE2eLiveCommands::switchOff()
{
    QFETCH(int, model);
    QFETCH(QString, write);

    SimWindow w;
    QStringList options{"--model", QString::number(model)};
    if (model != 999)
        options << "--layout" << "p1";
    QVERIFY2(w.connect(options, quint16(model), "User"), qPrintable(w.error));
    const int from = w.sim.log().size();
    w.button("pushButton_TurnOffDevice")->click();

    QCOMPARE(describe(simRequests(w.sim.log(), from)), QStringList{write});
    QCOMPARE(w.status(), QString());
    QVERIFY(w.sim.requestDump());
    QCOMPARE(w.sim.dump().counter("switch-offs"), 1);
    QCOMPARE(w.sim.dump().counter("switched-off"), 1);
    if (model == 999)
        return;
    // The next refresh finds the detector gone: back to the start-up look.
    w.button("pushButton_Read_Param")->click();
    QCOMPARE(w.status(), QStringLiteral("Ошибка обмена данными"));
    QCOMPARE(int(w.cmd->port_connected), 0);
    QVERIFY(!w.tabs()->isVisible());
}

QTEST_MAIN(TestE2eLiveCommands)
#include "tst_e2e_live_commands.moc"
